// The release-7 describes: select-list items (odescr) and the arguments of
// stored programs (odessp).
#include "Oci7TestSession.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using engine_test::Oci7TestSession;
using engine_test::oraText;
using engine_test::TempDataDirectory;

namespace {

class Oci7Describe : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(session.logon("scott", "tiger"), 0) << session.message(session.lda()); }

    TempDataDirectory dir;
    Oci7TestSession session;
};

TEST_F(Oci7Describe, SelectItemsUpToTheEndOfTheList) {
    session.run("create table t (id number(5), name varchar2(10) not null, born date)");
    cda_def& cursor = session.openCursor();
    ASSERT_EQ(session.parse(cursor, "select id, name, born from t"), 0);
    const struct {
        const char* name;
        sb2 type;
        sb4 size;
        sb2 precision;
        sb2 nullable;
    } expected[] = {{"ID", SQLT_NUM, 22, 5, 1}, {"NAME", SQLT_CHR, 10, 0, 0}, {"BORN", SQLT_DAT, 7, 0, 1}};
    for (sword pos = 1; pos <= 3; ++pos) {
        const auto& item = expected[pos - 1];
        SCOPED_TRACE(item.name);
        sb4 size = 0, displaySize = 0, nameLength = 241;
        sb2 type = 0, precision = -1, scale = -1, nullable = -1;
        sb1 name[241] = {};
        ASSERT_EQ(odescr(&cursor, pos, &size, &type, name, &nameLength, &displaySize, &precision, &scale, &nullable),
                  0)
            << session.message(cursor);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(name), static_cast<std::size_t>(nameLength)), item.name);
        EXPECT_EQ(type, item.type);
        EXPECT_EQ(size, item.size);
        EXPECT_EQ(precision, item.precision);
        EXPECT_EQ(nullable, item.nullable);
        EXPECT_GT(displaySize, 0);
        EXPECT_EQ(cursor.fc, FC_ODESCR);
    }
    sb4 nameLength = 2;
    sb1 name[2];
    ASSERT_EQ(odescr(&cursor, 2, nullptr, nullptr, name, &nameLength, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(nameLength, 2) << "a name cut to the buffer";
    EXPECT_EQ(odescr(&cursor, 4, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              VAR_NOT_IN_LIST);
    EXPECT_EQ(cursor.rc, VAR_NOT_IN_LIST);
    EXPECT_EQ(odescr(&cursor, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              VAR_NOT_IN_LIST);

    // Describing after the execute keeps the rows the execute opened.
    session.run("insert into t values (1, 'a', null)");
    sb4 id = 0;
    ASSERT_EQ(odefin(&cursor, 1, reinterpret_cast<ub1*>(&id), sizeof id, SQLT_INT, -1, nullptr, nullptr, -1, -1,
                     nullptr, nullptr),
              0);
    ASSERT_EQ(oexec(&cursor), 0);
    ASSERT_EQ(odescr(&cursor, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(ofen(&cursor, 1), 0) << session.message(cursor);
    EXPECT_EQ(id, 1);

    ASSERT_EQ(session.parse(cursor, "select nosuch from t"), 0);
    EXPECT_EQ(odescr(&cursor, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 904);
    EXPECT_EQ(session.message(cursor), "ORA-00904: \"NOSUCH\": invalid identifier");
}

// One odessp row as the test compares it.
struct Row {
    ub2 overload;
    ub2 position;
    ub2 level;
    std::string name;
    ub2 type;
    ub1 mode;
    ub1 hasDefault;

    bool operator==(const Row& o) const {
        return overload == o.overload && position == o.position && level == o.level && name == o.name &&
               type == o.type && mode == o.mode && hasDefault == o.hasDefault;
    }
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
    return out << "{" << r.overload << "," << r.position << "," << r.level << ",'" << r.name << "'," << r.type << ","
               << int(r.mode) << "," << int(r.hasDefault) << "}";
}

constexpr ub4 kRoom = 20;

// odessp on `area` for `name` with arrays of `capacity` rows; the result and
// the rows.
sword describeProcedure(cda_def& area, const std::string& name, ub4 capacity, std::vector<Row>& rows) {
    ub2 overload[kRoom], position[kRoom], level[kRoom], nameLength[kRoom], type[kRoom];
    char names[kRoom][30];
    ub1 hasDefault[kRoom], mode[kRoom], radix[kRoom];
    ub4 size[kRoom], spare[kRoom];
    sb2 precision[kRoom], scale[kRoom];
    ub4 count = capacity;
    const sword result = odessp(&area, oraText(name), static_cast<size_t>(-1), nullptr, 0, nullptr, 0, overload,
                                position, level, reinterpret_cast<OraText**>(names), nameLength, type, hasDefault,
                                mode, size, precision, scale, radix, spare, &count);
    rows.clear();
    for (ub4 i = 0; i < count; ++i) {
        rows.push_back({overload[i], position[i], level[i], std::string(names[i], nameLength[i]), type[i], mode[i],
                        hasDefault[i]});
    }
    return result;
}

TEST_F(Oci7Describe, StoredProgramArgumentsWithNestedRowsAndOverloads) {
    session.run("create package shapes is type point is record (x number, y number); "
                "type points is table of point index by binary_integer; "
                "procedure draw(p in point, ps in out points, label varchar2 default 'a'); "
                "function area(w number, h number) return number; "
                "procedure move(n number); procedure move(s varchar2, n out number); procedure reset; end;");
    session.run("create package body shapes is "
                "procedure draw(p in point, ps in out points, label varchar2 default 'a') is begin null; end; "
                "function area(w number, h number) return number is begin return w * h; end; "
                "procedure move(n number) is begin null; end; "
                "procedure move(s varchar2, n out number) is begin n := 1; end; "
                "procedure reset is begin null; end; end;");
    session.run("create function twice(x number) return number is begin return 2 * x; end;");
    session.run("create procedure tick is begin null; end;");
    const std::vector<Row> draw = {
        {0, 1, 0, "P", SQLT_REC, 0, 0},  {0, 1, 1, "X", SQLT_NUM, 0, 0}, {0, 2, 1, "Y", SQLT_NUM, 0, 0},
        {0, 2, 0, "PS", SQLT_TAB, 2, 0}, {0, 1, 1, "", SQLT_REC, 0, 0},  {0, 1, 2, "X", SQLT_NUM, 0, 0},
        {0, 2, 2, "Y", SQLT_NUM, 0, 0},  {0, 3, 0, "LABEL", SQLT_CHR, 0, 1},
    };
    const std::vector<Row> twice = {{0, 0, 0, "", SQLT_NUM, 1, 0}, {0, 1, 0, "X", SQLT_NUM, 0, 0}};
    const struct {
        const char* name;
        std::vector<Row> rows;
    } cases[] = {
        {"SHAPES.DRAW", draw},
        {"shapes.draw", draw},
        {"SHAPES.AREA", {{0, 0, 0, "", SQLT_NUM, 1, 0}, {0, 1, 0, "W", SQLT_NUM, 0, 0}, {0, 2, 0, "H", SQLT_NUM, 0, 0}}},
        {"SHAPES.MOVE", {{1, 1, 0, "N", SQLT_NUM, 0, 0}, {2, 1, 0, "S", SQLT_CHR, 0, 0}, {2, 2, 0, "N", SQLT_NUM, 1, 0}}},
        {"SHAPES.RESET", {}},
        {"twice", twice},
        {".TWICE", twice},
        {"TICK", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Row> rows;
        ASSERT_EQ(describeProcedure(session.lda(), c.name, kRoom, rows), 0) << session.message(session.lda());
        EXPECT_EQ(rows, c.rows);
    }
    cda_def& cursor = session.openCursor();
    std::vector<Row> rows;
    EXPECT_EQ(describeProcedure(cursor, "twice", kRoom, rows), 0) << "a cursor area serves as well";
    EXPECT_EQ(rows, twice);

    const struct {
        const char* name;
        ub4 capacity;
        ub2 rc;
    } failures[] = {
        {"SHAPES.DRAW", 7, 6513}, {"nothing", kRoom, 4043}, {"SHAPES.NOTHING", kRoom, 4043}, {"NOPKG.DRAW", kRoom, 4043},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(describeProcedure(session.lda(), f.name, f.capacity, rows), f.rc);
        EXPECT_EQ(session.lda().rc, f.rc);
        EXPECT_TRUE(rows.empty()) << "the row count is 0 after a failure";
    }
    EXPECT_EQ(session.message(session.lda()), "ORA-04043: object NOPKG.DRAW does not exist");
    cda_def zeroed{};
    EXPECT_EQ(describeProcedure(zeroed, "twice", kRoom, rows), 1012);
}

}  // namespace
