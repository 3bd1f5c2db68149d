// Describes through the call interface: statement types, select lists by
// describe-only execution, and tables, views and schemas by OCIDescribeAny.
#include "OciTestSession.h"
#include "TempDataDirectory.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using engine_test::OciTestSession;
using engine_test::TempDataDirectory;

namespace {

// What one column's parameter descriptor reports.
struct Column {
    std::string name;
    ub2 type;
    ub2 size;
    int precision;
    int scale;
    bool nullable;

    bool operator==(const Column& o) const {
        return name == o.name && type == o.type && size == o.size && precision == o.precision &&
               scale == o.scale && nullable == o.nullable;
    }
};

std::ostream& operator<<(std::ostream& out, const Column& c) {
    return out << c.name << " type " << c.type << " size " << c.size << " (" << c.precision << "," << c.scale
               << ") " << (c.nullable ? "null" : "not null");
}

class Describe : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(session.logon("scott", "tiger"), OCI_SUCCESS) << session.lastError();
        session.run("create table emp (id number(6) not null, name varchar2(30), salary number(8,2), "
                    "hired date, photo raw(64))");
        session.run("create table \"Mixed\" (\"lower\" number)");
        session.run("create view rich as select name, salary from emp where salary > 1000");
        session.run("create sequence emp_seq");
    }

    std::string text(void* parameter, ub4 attribute) {
        OraText* value = nullptr;
        ub4 size = 0;
        EXPECT_EQ(OCIAttrGet(parameter, OCI_DTYPE_PARAM, &value, &size, attribute, session.err()), OCI_SUCCESS)
            << session.lastError();
        return std::string(reinterpret_cast<char*>(value), size);
    }

    template <typename T>
    T number(void* parameter, ub4 attribute) {
        T value{};
        EXPECT_EQ(OCIAttrGet(parameter, OCI_DTYPE_PARAM, &value, nullptr, attribute, session.err()), OCI_SUCCESS)
            << session.lastError();
        return value;
    }

    // Precision is an sb2 for select lists and a ub1 for object describes.
    Column column(void* parameter, bool selectList) {
        return {text(parameter, OCI_ATTR_NAME),
                number<ub2>(parameter, OCI_ATTR_DATA_TYPE),
                number<ub2>(parameter, OCI_ATTR_DATA_SIZE),
                selectList ? number<sb2>(parameter, OCI_ATTR_PRECISION) : number<ub1>(parameter, OCI_ATTR_PRECISION),
                number<sb1>(parameter, OCI_ATTR_SCALE),
                number<ub1>(parameter, OCI_ATTR_IS_NULL) != 0};
    }

    std::vector<Column> selectList(const std::string& sql) {
        OCIStmt* stmt = session.prepare(sql);
        EXPECT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 0, 0, nullptr, nullptr, OCI_DESCRIBE_ONLY),
                  OCI_SUCCESS)
            << session.lastError();
        ub4 count = 0;
        OCIAttrGet(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, session.err());
        std::vector<Column> columns;
        for (ub4 position = 1; position <= count; ++position) {
            void* parameter = nullptr;
            EXPECT_EQ(OCIParamGet(stmt, OCI_HTYPE_STMT, session.err(), &parameter, position), OCI_SUCCESS);
            columns.push_back(column(parameter, true));
        }
        return columns;
    }

    // OCIDescribeAny of `name` as `type`; the top-level descriptor, or null
    // with the error text in `error`.
    void* describe(const std::string& name, ub1 type, std::string* error = nullptr) {
        void* handle = nullptr;
        OCIHandleAlloc(session.env(), &handle, OCI_HTYPE_DESCRIBE, 0, nullptr);
        describes_.push_back(handle);
        const sword status = OCIDescribeAny(session.svc(), session.err(), const_cast<char*>(name.c_str()),
                                            static_cast<ub4>(name.size()), OCI_OTYPE_NAME, 1, type,
                                            static_cast<OCIDescribe*>(handle));
        if (status != OCI_SUCCESS) {
            if (error != nullptr) *error = session.lastError();
            return nullptr;
        }
        void* parameter = nullptr;
        OCIAttrGet(handle, OCI_HTYPE_DESCRIBE, &parameter, nullptr, OCI_ATTR_PARAM, session.err());
        return parameter;
    }

    std::vector<Column> relationColumns(const std::string& name, ub1 type) {
        std::string error;
        void* top = describe(name, type, &error);
        EXPECT_NE(top, nullptr) << error;
        if (top == nullptr) return {};
        const ub2 count = number<ub2>(top, OCI_ATTR_NUM_COLS);
        void* list = nullptr;
        OCIAttrGet(top, OCI_DTYPE_PARAM, &list, nullptr, OCI_ATTR_LIST_COLUMNS, session.err());
        std::vector<Column> columns;
        for (ub4 position = 1; position <= count; ++position) {
            void* parameter = nullptr;
            EXPECT_EQ(OCIParamGet(list, OCI_DTYPE_PARAM, session.err(), &parameter, position), OCI_SUCCESS);
            columns.push_back(column(parameter, false));
        }
        return columns;
    }

    void TearDown() override {
        for (void* handle : describes_) OCIHandleFree(handle, OCI_HTYPE_DESCRIBE);
    }

    TempDataDirectory dir;
    OciTestSession session;
    std::vector<void*> describes_;
};

TEST_F(Describe, StatementTypeOfEveryKind) {
    const std::vector<std::pair<std::string, ub2>> cases{
        {"select * from emp", OCI_STMT_SELECT},
        {"  -- leading comment\n  /* and a block */ SELECT 1 FROM dual", OCI_STMT_SELECT},
        {"update emp set name = 'x'", OCI_STMT_UPDATE},
        {"delete from emp", OCI_STMT_DELETE},
        {"insert into emp (id) values (1)", OCI_STMT_INSERT},
        {"create table t2 (a number)", OCI_STMT_CREATE},
        {"drop table emp", OCI_STMT_DROP},
        {"alter table emp add (extra number)", OCI_STMT_ALTER},
        {"begin dbms_session.sleep(0); end;", OCI_STMT_BEGIN},
        {"declare x number; begin null; end;", OCI_STMT_DECLARE},
    };
    for (const auto& [sql, type] : cases) {
        OCIStmt* stmt = session.prepare(sql);
        ub2 actual = 0;
        ASSERT_EQ(OCIAttrGet(stmt, OCI_HTYPE_STMT, &actual, nullptr, OCI_ATTR_STMT_TYPE, session.err()), OCI_SUCCESS);
        EXPECT_EQ(actual, type) << sql;
    }
}

TEST_F(Describe, SelectListFromDeclaredTypesAndExpressions) {
    const std::vector<Column> expected{
        {"ID", SQLT_NUM, 22, 6, 0, false},      {"NAME", SQLT_CHR, 30, 0, 0, true},
        {"SALARY", SQLT_NUM, 22, 8, 2, true},   {"HIRED", SQLT_DAT, 7, 0, 0, true},
        {"PHOTO", SQLT_BIN, 64, 0, 0, true},
    };
    EXPECT_EQ(selectList("select id, name, salary, hired, photo from emp"), expected);
    const std::vector<Column> counted = selectList("select count(*) from emp");
    ASSERT_EQ(counted.size(), 1u);
    EXPECT_EQ(counted[0].type, SQLT_NUM);
}

TEST_F(Describe, DescribeOnlyDoesNotRunTheQuery) {
    OCIStmt* stmt = session.prepare("select emp_seq.nextval from dual");
    ASSERT_EQ(OCIStmtExecute(session.svc(), stmt, session.err(), 0, 0, nullptr, nullptr, OCI_DESCRIBE_ONLY),
              OCI_SUCCESS);
    EXPECT_EQ(session.value("select emp_seq.nextval from dual"), "1");
    EXPECT_EQ(OCIStmtFetch(stmt, session.err(), 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-24338: statement handle not executed");
}

TEST_F(Describe, RepeatedSelectListNamesAreEachReported) {
    const std::vector<Column> columns = selectList("select a.id, b.id, a.name, b.name from emp a, emp b");
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[0].name, "ID");
    EXPECT_EQ(columns[1].name, "ID");
    EXPECT_EQ(columns[2].name, "NAME");
    EXPECT_EQ(columns[3].name, "NAME");
}

TEST_F(Describe, TableByQuotedNameIsExact) {
    const std::vector<Column> columns = relationColumns("\"EMP\"", OCI_PTYPE_TABLE);
    ASSERT_EQ(columns.size(), 5u);
    EXPECT_EQ(columns[0], (Column{"ID", SQLT_NUM, 22, 6, 0, false}));
    EXPECT_EQ(columns[2], (Column{"SALARY", SQLT_NUM, 22, 8, 2, true}));
    EXPECT_EQ(relationColumns("\"Mixed\"", OCI_PTYPE_TABLE), (std::vector<Column>{{"lower", SQLT_NUM, 22, 0, -127, true}}));

    std::string error;
    EXPECT_EQ(describe("\"emp\"", OCI_PTYPE_TABLE, &error), nullptr);
    EXPECT_EQ(error.substr(0, 10), "ORA-04043:");
    EXPECT_EQ(describe("\"MIXED\"", OCI_PTYPE_TABLE, &error), nullptr);
    EXPECT_EQ(describe("\"RICH\"", OCI_PTYPE_TABLE, &error), nullptr) << "a view is not a table";
}

TEST_F(Describe, ViewColumnsComeFromItsQuery) {
    const std::vector<Column> columns = relationColumns("\"RICH\"", OCI_PTYPE_VIEW);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].name, "NAME");
    EXPECT_EQ(columns[1], (Column{"SALARY", SQLT_NUM, 22, 8, 2, true}));
}

TEST_F(Describe, SchemaListsUserObjectsOnly) {
    void* top = describe("SCOTT", OCI_PTYPE_SCHEMA);
    ASSERT_NE(top, nullptr) << session.lastError();
    void* list = nullptr;
    ASSERT_EQ(OCIAttrGet(top, OCI_DTYPE_PARAM, &list, nullptr, OCI_ATTR_LIST_OBJECTS, session.err()), OCI_SUCCESS);
    const ub2 count = number<ub2>(list, OCI_ATTR_NUM_PARAMS);
    std::map<std::string, int> objects;
    for (ub4 index = 0; index < count; ++index) {
        void* object = nullptr;
        ASSERT_EQ(OCIParamGet(list, OCI_DTYPE_PARAM, session.err(), &object, index), OCI_SUCCESS);
        objects[text(object, OCI_ATTR_OBJ_NAME)] = number<ub1>(object, OCI_ATTR_PTYPE);
    }
    const std::map<std::string, int> expected{
        {"EMP", OCI_PTYPE_TABLE}, {"Mixed", OCI_PTYPE_TABLE}, {"RICH", OCI_PTYPE_VIEW}, {"EMP_SEQ", OCI_PTYPE_SEQ}};
    EXPECT_EQ(objects, expected);

    void* past = nullptr;
    EXPECT_EQ(OCIParamGet(list, OCI_DTYPE_PARAM, session.err(), &past, count), OCI_ERROR);
    EXPECT_EQ(session.lastError(), "ORA-24334: no descriptor for this position");
    std::string error;
    EXPECT_EQ(describe("NOBODY", OCI_PTYPE_SCHEMA, &error), nullptr);
    EXPECT_EQ(error.substr(0, 10), "ORA-04043:");
}

TEST_F(Describe, EngineObjectsNeverClashWithUserNames) {
    // Names a naive engine might use for its own tables are free for users.
    for (const char* name : {"users", "sequences", "\"^$USERS\"", "\"^$SEQUENCES\""}) {
        EXPECT_EQ(session.execute(std::string("create table ") + name + " (x number)"), OCI_SUCCESS)
            << name << ": " << session.lastError();
    }
}

}  // namespace
