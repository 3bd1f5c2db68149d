// Array accessors and parameters: element selection, typing once, resizing.
#include <gtest/gtest.h>

#include "ValueTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using ValueTest::Failure;

namespace {

TEST(ArrayData, IndexedSetWritesThatElement)
{
    ODbDynamicVariable var(extInt, 4, 3);
    ODbArrayData data(var);
    data.setLongInt(5, 2);
    EXPECT_EQ("i:5", ValueTest::describe(var, 2));
    EXPECT_TRUE(var.isNull(0));
    EXPECT_EQ(3u, data.getArraySize());
}

TEST(ArrayData, IndexOutsideThrowsAndChangesNothing)
{
    ODbDynamicVariable var(extInt, 4, 3);
    ODbArrayData data(var);
    data.setLongInt(7, 1);
    ValueTest::expectFailure(Failure::Empty, [&] { data.setLongInt(5, 3); });
    for (unsigned int i = 0; i < 3; ++i)
        EXPECT_EQ(i == 1 ? "i:7" : "NULL", ValueTest::describe(var, i));
    // The selection is kept: the plain form still acts on element 1.
    EXPECT_EQ(7, data.getLongInt());
}

// Every indexed operation rejects an index outside the array.
TEST(ArrayData, EveryIndexedFormChecksTheIndex)
{
    ODbDynamicVariable var(extString, 5, 2);
    ODbArrayData data(var);
    const unsigned char byte = 1;
    ODbDynamicVariable dates(extDate, 7, 1);
    ODbDate date(dates, 0);
    const std::function<void()> calls[] = {
        [&] { data.setShortInt(1, 2); },      [&] { data.setLongInt(1, 2); },
        [&] { data.setDouble(1, 2); },        [&] { data.setCString("a", 2); },
        [&] { data.setString("a", 2); },      [&] { data.setRaw(&byte, 1, 2); },
        [&] { data.setBool(true, 2); },       [&] { data.setDate(date, 2); },
        [&] { data.getShortInt(2); },         [&] { data.getLongInt(2); },
        [&] { data.getDouble(2); },           [&] { data.getCString(2); },
        [&] { data.getString(2); },           [&] { data.getRaw(2); },
        [&] {
            unsigned char* b;
            unsigned int n;
            data.getRaw(&b, n, 2);
        },
        [&] { data.getBool(2); },             [&] { data.getDate(2); },
        [&] { data.isNull(2); },              [&] { data.setNull(2); },
    };
    for (const auto& call : calls)
        ValueTest::expectFailure(Failure::Empty, call);
}

TEST(ArrayData, SelectionStaysForThePlainForms)
{
    ODbDynamicVariable var(extString, 5, 3);
    ODbArrayData data(var);
    data.setCString("one", 1);
    data.setCString("two", 2);
    EXPECT_STREQ("one", data.getCString(1));
    EXPECT_STREQ("one", data.getCString());
    EXPECT_FALSE(data.isNull());
    data.setNull();
    EXPECT_TRUE(data.isNull(1));
    EXPECT_EQ("s:two", ValueTest::describe(var, 2));
}

TEST(ArrayData, ArrayOperationsReachTheVariable)
{
    ODbDynamicVariable var(extFloat, 8, 2);
    ODbArrayData data(var);
    data.setArrayNotNull();
    EXPECT_FALSE(data.isNull(0));
    EXPECT_FALSE(data.isNull(1));
    data.setArrayNull();
    EXPECT_TRUE(data.isNull(1));
    data.setPlSqlTab(true);
    EXPECT_TRUE(data.isPlSqlTab());
    EXPECT_TRUE(var.isPlSqlTab());
}

TEST(ArrayData, ResizeWithAndWithoutFrozenFlag)
{
    ODbDynamicVariable var(extFloat, 8, 2);
    ODbArrayData data(var);
    data.resizeArray(4, true);
    EXPECT_EQ(4u, data.getArraySize());
    EXPECT_TRUE(var.isFrozen());
    data.resizeArray(4);
    EXPECT_TRUE(var.isFrozen());
    data.resizeArray(3, false);
    EXPECT_FALSE(var.isFrozen());
    data.resizeArray(1);
    EXPECT_EQ(1u, data.getArraySize());
}

TEST(ArrayData, LongViewsOfTheWholeArray)
{
    ODbDynamicVariable var(extLong, 4, 3);
    ODbArrayData data(var);
    ODbLongArr& view = data.getLong();
    view.setCString("row two", 2);
    view.setCString("row zero", 0);
    data.setLong(view);
    EXPECT_STREQ("row two", data.getLong().getCString(2));
    EXPECT_STREQ("row zero", data.getLong().getCString(0));
    EXPECT_TRUE(var.isNull(1));
    ODbDynamicVariable bytes(extLongRaw, 4, 2);
    ODbArrayData raw(bytes);
    const unsigned char value[] = {0xDE, 0xAD};
    raw.getLongRaw().setUnchainedRaw(value, 2, 1);
    EXPECT_STREQ("DEAD", raw.getLongRaw().getCString(1));
    ValueTest::expectFailure(Failure::Empty, [&] { ODbArrayData(var).getLongRaw(); });
}

TEST(ArrayData, SetLongFromAnotherVariableCopiesTheChain)
{
    ODbDynamicVariable source(extLong, 4, 1);
    ODbArrayData from(source);
    from.getLong().setCString("moved", 0);
    ODbDynamicVariable target(extLong, 4, 1);
    ODbArrayData to(target);
    to.setLong(from.getLong());
    EXPECT_FALSE(target.isNull(0));
    EXPECT_STREQ("moved", to.getLong().getCString(0));
    EXPECT_NE(source.getLob(), target.getLob());
}

TEST(ArrayData, SetLongOfAnEmptyTextLeavesTheElementNull)
{
    ODbDynamicVariable var(extLong, 4, 1);
    ODbData data(var);
    ODbLong& view = data.getLong();
    view.setCString("");
    data.setLong(view);
    EXPECT_TRUE(data.isNull());
    EXPECT_EQ(nullptr, data.getLong().getCString());
}

// ---- parameters -------------------------------------------------------------------

class Param : public ::testing::Test {
protected:
    Param() { param = var; }
    ODbDynamicVariable var;
    ODbParam param;
};

TEST_F(Param, SupportTypeTypesOnceUntilReset)
{
    EXPECT_FALSE(param.isParInit());
    param.initParam(supCString, 10, 1);
    EXPECT_TRUE(param.isParInit());
    EXPECT_EQ(11, var.getElemSize());
    EXPECT_EQ(supCString, param.getSupportType());
    param.initParam(supDouble, -1, 5);
    EXPECT_EQ(extString, var.getFtype());
    EXPECT_EQ(supCString, param.getSupportType());
    EXPECT_EQ(1u, param.getArraySize());
    param.resetParam();
    EXPECT_FALSE(param.isParInit());
    EXPECT_EQ(0u, param.getArraySize());
    param.initParam(supDouble, -1, 5);
    EXPECT_EQ(extFloat, var.getFtype());
    EXPECT_EQ(5u, param.getArraySize());
    EXPECT_EQ(supDouble, param.getSupportType());
}

TEST_F(Param, InternalTypeReturnsTheExistingType)
{
    EXPECT_EQ(extVarRaw, param.initParam(intRaw, 16, 2));
    EXPECT_EQ(18, var.getElemSize());
    EXPECT_EQ(supNone, param.getSupportType());
    EXPECT_EQ(extVarRaw, param.initParam(intNumber, 0, 2));
    EXPECT_EQ(18, var.getElemSize());
}

TEST_F(Param, InternalTypeWithoutSizeFails)
{
    ValueTest::expectFailure(Failure::Empty, [&] { param.initParam(intRaw, 0, 1); });
    EXPECT_FALSE(param.isParInit());
    EXPECT_EQ(extFloat, param.initParam(intNumber, 0, 1));
}

TEST_F(Param, DescriptionForm)
{
    ODbColumnDesc desc;
    desc.dataType = intVarchar2;
    desc.dataSize = 30;
    param.initParam(desc, 4);
    EXPECT_EQ(extString, var.getFtype());
    EXPECT_EQ(31, var.getElemSize());
    EXPECT_EQ(4u, var.getArraySize());
    EXPECT_EQ(supNone, param.getSupportType());
    desc.dataType = intNumber;
    param.initParam(desc, 1);
    EXPECT_EQ(extString, var.getFtype());
}

TEST_F(Param, MappingFailureLeavesItUntyped)
{
    ODbColumnDesc clob;
    clob.dataType = intClob;
    clob.dataSize = 4000;
    EXPECT_THROW(param.initParam(clob, 1), ODbException);
    EXPECT_THROW(param.initParam(supCString, 0, 1), ODbException);
    EXPECT_THROW(param.initParam(static_cast<SupportTypes>(10), 5, 1), ODbException);
    EXPECT_FALSE(param.isParInit());
}

TEST_F(Param, ScriptValueRoundTrip)
{
    param.initParam(supDouble, -1, 3);
    param.setDouble(2.5, 1);
    EXPECT_EQ(2.5, param.getDouble(1));
    EXPECT_EQ("2.500000", param.getString(1));
    param.setString("7.25", 2);
    EXPECT_EQ(7.25, param.getDouble(2));
}

TEST_F(Param, BoolSupportTypeHoldsOneCharacter)
{
    param.initParam(supBool, 0, 1);
    param.setBool(true);
    EXPECT_TRUE(param.getBool());
    param.setBool(false);
    EXPECT_FALSE(param.getBool());
}

TEST_F(Param, CopiesShareTheVariable)
{
    param.initParam(supLongInt, 0, 2);
    param.setLongInt(9, 1);
    ODbParam copy(param);
    EXPECT_EQ(9, copy.getLongInt());
    ODbParam assigned;
    assigned = param;
    EXPECT_EQ(9, assigned.getLongInt(1));
    EXPECT_EQ(copy.getDynamicVariable(), &var);
}

TEST(ParamWithoutVariable, Throws)
{
    ODbParam param;
    EXPECT_THROW(param.initParam(supDouble, -1, 1), ODbException);
    EXPECT_THROW(param.isParInit(), ODbException);
    EXPECT_THROW(param.getArraySize(), ODbException);
    EXPECT_THROW(param.resizeArray(2), ODbException);
}

} // namespace
