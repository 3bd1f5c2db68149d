// Dynamic variables: creation, resizing, copies, element operations, bind variables.
#include <gtest/gtest.h>

#include <cstring>

#include "ValueTestSupport.h"
#include "vordb.h"

using namespace Oracle;

namespace {

void setDoubles(ODbDynamicVariable& var, std::initializer_list<double> values)
{
    ODbArrayData data(var);
    unsigned int i = 0;
    for (double v : values)
        data.setDouble(v, i++);
}

TEST(DynamicVariable, DefaultIsNotInitialised)
{
    ODbDynamicVariable var;
    EXPECT_EQ(extNone, var.getFtype());
    EXPECT_EQ(0, var.getElemSize());
    EXPECT_EQ(0u, var.getArraySize());
    EXPECT_EQ(supNone, var.getSupportType());
    EXPECT_FALSE(var.isFrozen());
    EXPECT_FALSE(var.isPlSqlTab());
    EXPECT_EQ(nullptr, var.getData());
    EXPECT_EQ(nullptr, var.getIndicators());
    EXPECT_EQ(nullptr, var.getHandle());
}

TEST(DynamicVariable, NewElementsAreNullWithFullLengths)
{
    ODbDynamicVariable var(extString, 11, 3);
    for (unsigned int i = 0; i < 3; ++i) {
        EXPECT_TRUE(var.isNull(i));
        EXPECT_EQ(-1, var.getIndVar(i));
        EXPECT_EQ(11, var.getLenVar(i));
        EXPECT_EQ(11u, var.getPieceLengths()[i]);
        EXPECT_EQ(0, var.getReturnCodes()[i]);
        EXPECT_EQ(0, var.val(i)[0]);
    }
    EXPECT_EQ(var.val(0) + 22, var.val(2));
    EXPECT_EQ(0u, var.getCurElements());
    var.setNotNull(1);
    EXPECT_EQ(11, var.getIndVar(1));
    EXPECT_FALSE(var.isNull(1));
}

TEST(DynamicVariable, TruncationIndicatorCountsAsNotNull)
{
    ODbDynamicVariable var(extString, 5, 1);
    var.getIndicators()[0] = -2;
    EXPECT_FALSE(var.isNull(0));
}

TEST(DynamicVariable, ArrayWideNullFlags)
{
    ODbDynamicVariable var(extFloat, 8, 4);
    var.setArrayNotNull();
    for (unsigned int i = 0; i < 4; ++i)
        EXPECT_EQ(8, var.getIndVar(i));
    var.setArrayNull();
    for (unsigned int i = 0; i < 4; ++i)
        EXPECT_TRUE(var.isNull(i));
}

TEST(DynamicVariable, ElementOperationsCheckTheIndex)
{
    ODbDynamicVariable var(extFloat, 8, 2);
    EXPECT_THROW(var.setNull(2), ODbException);
    EXPECT_THROW(var.setNotNull(2), ODbException);
    EXPECT_THROW(var.isNull(2), ODbException);
    EXPECT_THROW(var.getIndVar(5), ODbException);
    EXPECT_THROW(var.getLenVar(5), ODbException);
}

TEST(DynamicVariable, InitRejectsBadArgumentsAndSecondInit)
{
    ODbDynamicVariable var;
    EXPECT_THROW(var.init(extString, 0, 1), ODbException);
    EXPECT_THROW(var.init(extString, 40000, 1), ODbException);
    EXPECT_THROW(var.init(extNone, 4, 1), ODbException);
    EXPECT_THROW(var.init(extFloat, 4, 1), ODbException);
    EXPECT_THROW(var.init(extDate, 8, 1), ODbException);
    EXPECT_THROW(var.init(extVarRaw, 1, 1), ODbException);
    EXPECT_THROW(var.init(extLongVarRaw, 3, 1), ODbException);
    EXPECT_EQ(extNone, var.getFtype());
    var.init(extString, 5, 2);
    EXPECT_THROW(var.init(extFloat, 8, 1), ODbException);
    EXPECT_EQ(extString, var.getFtype());
}

TEST(DynamicVariable, GrowingKeepsOldElementsAndAddsNullOnes)
{
    ODbDynamicVariable var(extFloat, 8, 2);
    setDoubles(var, {1.5, 2.5});
    var.resizeArray(5);
    ASSERT_EQ(5u, var.getArraySize());
    EXPECT_EQ("f:1.5", ValueTest::describe(var, 0));
    EXPECT_EQ("f:2.5", ValueTest::describe(var, 1));
    for (unsigned int i = 2; i < 5; ++i) {
        EXPECT_TRUE(var.isNull(i));
        EXPECT_EQ(8, var.getLenVar(i));
        EXPECT_EQ(8u, var.getPieceLengths()[i]);
        EXPECT_EQ(0, var.getReturnCodes()[i]);
    }
    var.resizeArray(2);
    ASSERT_EQ(2u, var.getArraySize());
    EXPECT_EQ("f:2.5", ValueTest::describe(var, 1));
    EXPECT_THROW(var.isNull(2), ODbException);
}

TEST(DynamicVariable, ResizeToZeroAndBack)
{
    ODbDynamicVariable var(extString, 4, 2);
    var.resizeArray(0);
    EXPECT_EQ(0u, var.getArraySize());
    EXPECT_EQ(extString, var.getFtype());
    var.resizeArray(1);
    EXPECT_TRUE(var.isNull(0));
}

TEST(DynamicVariable, ResizeOfALongVariableKeepsItsChain)
{
    ODbDynamicVariable var(extLong, 4, 1);
    ODbLongArr view(var);
    view.setCString("kept", 0);
    var.resizeArray(3);
    EXPECT_STREQ("kept", view.getCString(0));
    EXPECT_EQ(nullptr, view.getCString(2));
}

TEST(DynamicVariable, AssignWholeCopiesEveryArray)
{
    ODbDynamicVariable source(extString, 6, 2);
    ODbArrayData(source).setCString("ab", 1);
    source.getLengths()[1] = 3;
    source.getReturnCodes()[1] = 1406;
    source.getPieceLengths()[1] = 2;
    ODbDynamicVariable target(extString, 6, 2);
    target.assignData(source);
    EXPECT_EQ("NULL", ValueTest::describe(target, 0));
    EXPECT_EQ("s:ab", ValueTest::describe(target, 1));
    EXPECT_EQ(3, target.getLenVar(1));
    EXPECT_EQ(1406, target.getReturnCodes()[1]);
    EXPECT_EQ(2u, target.getPieceLengths()[1]);
}

// The length, piece-length and return-code arrays are made when first asked
// for; until then lengths read as the element size, and copies and resizes
// of variables with and without them agree.
TEST(DynamicVariable, BindArraysMadeOnFirstUseKeepTheirValues)
{
    ODbDynamicVariable var(extString, 6, 2);
    ODbArrayData(var).setCString("ab", 1);
    EXPECT_EQ(6, var.getLenVar(1));
    ODbDynamicVariable unbound(var);
    var.getLengths()[1] = 3;
    var.getPieceLengths()[1] = 2;
    var.getReturnCodes()[1] = 1406;
    var.resizeArray(4);
    EXPECT_EQ("s:ab", ValueTest::describe(var, 1));
    for (unsigned int i = 0; i < 4; ++i) {
        EXPECT_EQ(i == 1 ? 3 : 6, var.getLenVar(i));
        EXPECT_EQ(i == 1 ? 2u : 6u, var.getPieceLengths()[i]);
        EXPECT_EQ(i == 1 ? 1406 : 0, var.getReturnCodes()[i]);
    }
    ODbDynamicVariable bound(var);
    bound.resizeArray(2);
    bound.assignData(unbound);
    EXPECT_EQ(6, bound.getLenVar(1));
    EXPECT_EQ(6u, bound.getPieceLengths()[1]);
    EXPECT_EQ(0, bound.getReturnCodes()[1]);
    unbound.assignData(var, 1, 2);
    EXPECT_EQ(3, unbound.getLenVar(0));
    EXPECT_EQ(1406, unbound.getReturnCodes()[0]);
    EXPECT_EQ(6u, unbound.getPieceLengths()[1]);
    var.deleteData();
    EXPECT_EQ(nullptr, var.getLengths());
}

TEST(DynamicVariable, AssignRangeCopiesToTheFront)
{
    ODbDynamicVariable source(extFloat, 8, 4);
    setDoubles(source, {1, 2, 3, 4});
    ODbDynamicVariable target(extFloat, 8, 2);
    target.assignData(source, 2, 2);
    EXPECT_EQ("f:3", ValueTest::describe(target, 0));
    EXPECT_EQ("f:4", ValueTest::describe(target, 1));
}

TEST(DynamicVariable, AssignRejectsMismatchesAndRangesOutside)
{
    ODbDynamicVariable source(extFloat, 8, 4);
    ODbDynamicVariable small(extFloat, 8, 2);
    ODbDynamicVariable text(extString, 8, 4);
    EXPECT_THROW(small.assignData(source), ODbException);
    EXPECT_THROW(text.assignData(source), ODbException);
    EXPECT_THROW(small.assignData(source, 3, 2), ODbException);
    EXPECT_THROW(small.assignData(source, 0, 3), ODbException);
    EXPECT_THROW(small.assignData(source, 0xFFFFFFFFu, 2), ODbException);
    EXPECT_NO_THROW(small.assignData(source, 2, 2));
}

TEST(DynamicVariable, CopyCarriesFlagsSupportTypeAndCount)
{
    ODbDynamicVariable source(extString, 11, 3);
    ODbArrayData(source).setCString("abc", 2);
    source.setSupportType(supCString);
    source.setFrozen(true);
    source.setPlSqlTab(true);
    source.setCurElements(2);
    ODbDynamicVariable copy(source);
    EXPECT_EQ(extString, copy.getFtype());
    EXPECT_EQ(11, copy.getElemSize());
    EXPECT_EQ(3u, copy.getArraySize());
    EXPECT_EQ("s:abc", ValueTest::describe(copy, 2));
    EXPECT_NE(source.val(0), copy.val(0));
    EXPECT_EQ(supCString, copy.getSupportType());
    EXPECT_TRUE(copy.isFrozen());
    EXPECT_TRUE(copy.isPlSqlTab());
    EXPECT_EQ(2u, copy.getCurElements());
}

TEST(DynamicVariable, AssignmentReplacesAnInitialisedTarget)
{
    ODbDynamicVariable source(extString, 11, 1);
    ODbData(source).setCString("new");
    source.setFrozen(true);
    ODbDynamicVariable target(extFloat, 8, 5);
    target = source;
    EXPECT_EQ(extString, target.getFtype());
    EXPECT_EQ(1u, target.getArraySize());
    EXPECT_EQ("s:new", ValueTest::describe(target));
    EXPECT_TRUE(target.isFrozen());
}

TEST(DynamicVariable, AssigningFromUninitialisedOrSelfKeepsTheTarget)
{
    ODbDynamicVariable target(extFloat, 8, 1);
    ODbData(target).setDouble(4);
    target = ODbDynamicVariable();
    EXPECT_EQ("f:4", ValueTest::describe(target));
    ODbDynamicVariable& self = target;
    target = self;
    EXPECT_EQ("f:4", ValueTest::describe(target));
}

TEST(DynamicVariable, CopyOfALongVariableOwnsACopyOfTheChain)
{
    ODbDynamicVariable source(extLong, 4, 1);
    ODbLongArr(source).setCString("abc", 0);
    ODbDynamicVariable copy(source);
    EXPECT_NE(source.getLob(), copy.getLob());
    ODbLongArr(source).setCString("changed", 0);
    EXPECT_STREQ("abc", ODbLongArr(copy).getCString(0));
    EXPECT_FALSE(copy.isNull(0));
}

TEST(DynamicVariable, DeleteDataReturnsToNotInitialised)
{
    ODbDynamicVariable var(extString, 5, 3);
    var.setFrozen(true);
    var.setPlSqlTab(true);
    var.setSupportType(supCString);
    var.setCurElements(3);
    int handleTarget = 0;
    var.setHandle(&handleTarget);
    var.deleteData();
    EXPECT_EQ(extNone, var.getFtype());
    EXPECT_EQ(0u, var.getArraySize());
    EXPECT_EQ(0, var.getElemSize());
    EXPECT_EQ(supNone, var.getSupportType());
    EXPECT_FALSE(var.isFrozen());
    EXPECT_FALSE(var.isPlSqlTab());
    EXPECT_EQ(0u, var.getCurElements());
    EXPECT_EQ(&handleTarget, var.getHandle()); // the handle belongs to the call interface
    var.deleteData(); // nothing to do
    EXPECT_EQ(extNone, var.getFtype());
    var.init(extFloat, 8, 1); // can be typed again
    EXPECT_TRUE(var.isNull(0));
}

TEST(DynamicVariable, NonNativeDataTellsChainedTypesApart)
{
    ODbDynamicVariable inline_(extFloat, 8, 1);
    EXPECT_TRUE(inline_.nonNativeData(true));
    ODbDynamicVariable chained(extLongRaw, 4, 1);
    ODbLob* before = chained.getLob();
    ASSERT_NE(nullptr, before);
    before->newPiece();
    EXPECT_FALSE(chained.nonNativeData(false));
    EXPECT_EQ(1, chained.getLob()->getSize());
    EXPECT_FALSE(chained.nonNativeData(true));
    EXPECT_EQ(0, chained.getLob()->getSize());
    chained.freeData();
    EXPECT_EQ(nullptr, chained.getLob());
    EXPECT_THROW(chained.chain(), ODbException);
}

TEST(BindVariable, PositionNameAndCopies)
{
    ODbBindVariable var;
    EXPECT_EQ(-1, var.getBindPos());
    EXPECT_EQ(nullptr, var.getBindName());
    EXPECT_FALSE(var.getFlag());
    var.setBindName("ID");
    var.init(extFloat, 8, 1);
    ODbBindVariable copy(var);
    var.setBindName("OTHER");
    EXPECT_STREQ("ID", copy.getBindName());
    EXPECT_EQ(extFloat, copy.getFtype());
    copy.setBindName(nullptr);
    EXPECT_EQ(nullptr, copy.getBindName());
    copy.setBindPos(2);
    EXPECT_EQ(2, copy.getBindPos());
}

TEST(DataInterface, SetAindChecksTheIndex)
{
    ODbDynamicVariable var(extDate, 7, 2);
    ODbDate view(var, 0);
    EXPECT_NO_THROW(view.setAind(1));
    ValueTest::expectFailure(ValueTest::Failure::Empty, [&] { view.setAind(2); });
    ValueTest::expectFailure(ValueTest::Failure::Empty, [&] { view.setAind(-1); });
    view.setDay(5); // still on element 1
    EXPECT_EQ(5, ODbDate(var, 1).getDay());
}

} // namespace
