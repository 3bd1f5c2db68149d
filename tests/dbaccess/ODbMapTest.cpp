// The type map: described types and support types to external types and sizes.
#include <gtest/gtest.h>

#include <cstring>

#include "ValueTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using ValueTest::Failure;

namespace {

using ValueTest::operator<<;

// Opens the protected mapping operations for the tests.
class OpenMap : public ODbMap {
public:
    using ODbMap::datatypeSize;
    using ODbMap::getDefSizes;
    using ODbMap::int2ext;
    using ODbMap::mapFtype;
};

ODbColumnDesc described(short type, int size)
{
    ODbColumnDesc desc;
    desc.dataType = type;
    desc.dataSize = size;
    return desc;
}

struct DescribedCase {
    const char* name;
    short type;
    int size;
    Failure failure;
    ExtTypes ext;
    int elemSize;
};

const DescribedCase DescribedCases[] = {
    {"VARCHAR2(30)", intVarchar2, 30, Failure::None, extString, 31},
    {"VARCHAR2 without size takes the default 1", intVarchar2, 0, Failure::None, extString, 2},
    {"CHAR(5)", intChar, 5, Failure::None, extString, 6},
    {"ROWID whatever its size", intRowid, 200, Failure::None, extString, 19},
    {"NUMBER(5)", intNumber, 22, Failure::None, extFloat, 8},
    {"DATE", intDate, 7, Failure::None, extDate, 7},
    {"RAW(16)", intRaw, 16, Failure::None, extVarRaw, 18},
    {"LONG", intLong, 0, Failure::None, extLong, 4},
    {"LONG RAW", intLongRaw, 0, Failure::None, extLongRaw, 4},
    {"CLOB", intClob, 4000, Failure::Empty, extNone, 0},
    {"BLOB", intBlob, 4000, Failure::Empty, extNone, 0},
    {"BFILE", intBfile, 530, Failure::Empty, extNone, 0},
    {"record type", 250, 0, Failure::Empty, extNone, 0},
    {"unknown type", 7, 10, Failure::Empty, extNone, 0},
};

class DescribedMapping : public ::testing::TestWithParam<DescribedCase> {};

TEST_P(DescribedMapping, InitVarTypesTheVariable)
{
    const DescribedCase& c = GetParam();
    ODbDynamicVariable var;
    ODbMap map;
    try {
        map.initVar(var, described(c.type, c.size), 3);
        ASSERT_EQ(Failure::None, c.failure) << c.name;
        EXPECT_EQ(c.ext, var.getFtype());
        EXPECT_EQ(c.elemSize, var.getElemSize());
        EXPECT_EQ(3u, var.getArraySize());
        EXPECT_EQ(supNone, var.getSupportType());
    } catch (const ODbException& e) {
        ASSERT_NE(Failure::None, c.failure) << c.name << ": " << e.getErrMsg();
        EXPECT_STREQ("Cannot proceed Oracle datatype", e.getErrMsg());
        EXPECT_EQ(extNone, var.getFtype()); // nothing changed
    }
}

INSTANTIATE_TEST_SUITE_P(Types, DescribedMapping, ::testing::ValuesIn(DescribedCases), ValueTest::CaseName());

struct SupportCase {
    const char* name;
    int type;
    int size;
    Failure failure;
    ExtTypes ext;
    int elemSize;
};

const SupportCase SupportCases[] = {
    {"short", supShortInt, 0, Failure::None, extInt, 2},
    {"long", supLongInt, -1, Failure::None, extInt, 4},
    {"double ignores a size of -1", supDouble, -1, Failure::None, extFloat, 8},
    {"text of 10", supCString, 10, Failure::None, extString, 11},
    {"text of 0", supCString, 0, Failure::Empty, extNone, 0},
    {"text of -1", supCString, -1, Failure::Empty, extNone, 0},
    {"bool", supBool, 99, Failure::None, extString, 2},
    {"raw of 1999", supRaw, 1999, Failure::None, extVarRaw, 2001},
    {"raw of 2000", supRaw, 2000, Failure::None, extLongVarRaw, 2004},
    {"raw of 1", supRaw, 1, Failure::None, extVarRaw, 3},
    {"raw of 0", supRaw, 0, Failure::Empty, extNone, 0},
    {"date", supDate, 0, Failure::None, extDate, 7},
    {"long raw", supLongRaw, 0, Failure::None, extLongRaw, 4},
    {"long", supLong, 0, Failure::None, extLong, 4},
    {"9 is not accepted", 9, 10, Failure::Empty, extNone, 0},
    {"11 is not accepted", 11, 10, Failure::Empty, extNone, 0},
    {"supNone is not accepted", supNone, 10, Failure::Empty, extNone, 0},
    {"text too large for an element", supCString, 1000000, Failure::Empty, extNone, 0},
};

class SupportMapping : public ::testing::TestWithParam<SupportCase> {};

TEST_P(SupportMapping, MapsOrFails)
{
    const SupportCase& c = GetParam();
    OpenMap map;
    ExtTypes ext = extNone;
    int elemSize = 0;
    try {
        map.mapFtype(static_cast<SupportTypes>(c.type), c.size, ext, elemSize);
        ASSERT_EQ(Failure::None, c.failure) << c.name;
        EXPECT_EQ(c.ext, ext) << c.name;
        EXPECT_EQ(c.elemSize, elemSize) << c.name;
    } catch (const ODbException& e) {
        ASSERT_NE(Failure::None, c.failure) << c.name;
        const bool known = c.type >= 0 && c.type <= supLong;
        EXPECT_STREQ(known ? "" : "Cannot proceed Oracle datatype", e.getErrMsg()) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Types, SupportMapping, ::testing::ValuesIn(SupportCases), ValueTest::CaseName());

TEST(TypeMap, Int2ExtTable)
{
    OpenMap map;
    EXPECT_EQ(extString, map.int2ext(intVarchar2));
    EXPECT_EQ(extString, map.int2ext(intRowid));
    EXPECT_EQ(extString, map.int2ext(intChar));
    EXPECT_EQ(extFloat, map.int2ext(intNumber));
    EXPECT_EQ(extLong, map.int2ext(intLong));
    EXPECT_EQ(extDate, map.int2ext(intDate));
    EXPECT_EQ(extVarRaw, map.int2ext(intRaw));
    EXPECT_EQ(extLongRaw, map.int2ext(intLongRaw));
    EXPECT_EQ(extClob, map.int2ext(intClob));
    EXPECT_EQ(extBlob, map.int2ext(intBlob));
    EXPECT_EQ(extBfile, map.int2ext(intBfile));
    EXPECT_THROW(map.int2ext(static_cast<IntTypes>(3)), ODbException);
}

TEST(TypeMap, DatatypeSizeRules)
{
    OpenMap map;
    EXPECT_EQ(19, map.datatypeSize(extString, 5, intRowid));
    EXPECT_EQ(6, map.datatypeSize(extString, 5, intVarchar2));
    EXPECT_EQ(8, map.datatypeSize(extFloat, -1, intNumber));
    EXPECT_EQ(7, map.datatypeSize(extDate, 0, intDate));
    EXPECT_EQ(12, map.datatypeSize(extVarRaw, 10, intRaw));
    EXPECT_EQ(14, map.datatypeSize(extLongVarRaw, 10, intRaw));
    EXPECT_EQ(4, map.datatypeSize(extLong, 10, intLong));
    EXPECT_EQ(4, map.datatypeSize(extLongRaw, 10, intLongRaw));
    ValueTest::expectFailure(Failure::Empty, [&] { map.datatypeSize(extVarRaw, 0, intRaw); });
    try {
        map.datatypeSize(extClob, 10, intClob);
        FAIL();
    } catch (const ODbException& e) {
        EXPECT_STREQ("Cannot proceed Oracle datatype", e.getErrMsg());
    }
    EXPECT_EQ(1, map.getDefSizes(intVarchar2));
    EXPECT_EQ(1, map.getDefSizes(intRaw));
}

TEST(TypeMap, InitVarLeavesAnInitialisedVariableAlone)
{
    ODbDynamicVariable var(extFloat, 8, 2);
    ODbMap map;
    map.initVar(var, described(intVarchar2, 30), 5);
    EXPECT_EQ(extFloat, var.getFtype());
    EXPECT_EQ(8, var.getElemSize());
    EXPECT_EQ(2u, var.getArraySize());
}

TEST(TypeMap, ConstructorInitialisesTheVariable)
{
    ODbDynamicVariable var;
    ODbMap map(var, described(intRaw, 16), 4);
    EXPECT_EQ(extVarRaw, var.getFtype());
    EXPECT_EQ(18, var.getElemSize());
    EXPECT_EQ(4u, var.getArraySize());
}

// A derived map that changes one rule: initVar goes through the virtual slot.
class WideStrings : public ODbMap {
protected:
    int datatypeSize(ExtTypes ext, int size, IntTypes type) const override
    {
        return ext == extString ? size * 2 : ODbMap::datatypeSize(ext, size, type);
    }
};

TEST(TypeMap, DerivedMapChangesTheRule)
{
    ODbDynamicVariable var;
    WideStrings map;
    map.initVar(var, described(intVarchar2, 10), 1);
    EXPECT_EQ(20, var.getElemSize());
}

TEST(ColumnDesc, FreshRecordAndDeepCopy)
{
    ODbColumnDesc desc;
    EXPECT_STREQ("", desc.name);
    EXPECT_STREQ("", desc.uniqueName);
    EXPECT_EQ(2, desc.mode);
    EXPECT_EQ(0, desc.dataSize);
    EXPECT_EQ(0, desc.position);
    EXPECT_FALSE(desc.hasDefault);
    EXPECT_TRUE(desc.elements.empty());
    std::strcpy(desc.name, "REC");
    ODbColumnDesc field;
    std::strcpy(field.name, "FIELD");
    desc.elements.push_back(field);
    ODbColumnDesc copy(desc);
    std::strcpy(desc.elements[0].name, "CHANGED");
    EXPECT_STREQ("REC", copy.name);
    EXPECT_STREQ("FIELD", copy.elements[0].name);
}

} // namespace
