// The conversion matrices of the typed accessor, one table row per cell: every
// setter and getter against every external type, with the null rules.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ValueTestSupport.h"
#include "vordb.h"

using namespace Oracle;
using ValueTest::Failure;

namespace {

using ValueTest::operator<<;

using Bytes = std::vector<unsigned char>;

// ---- setters ---------------------------------------------------------------------

struct SetterCase {
    const char* name;
    ExtTypes type;
    int size;
    std::function<void(ODbData&)> write;
    Failure failure;
    const char* expected; // describe() of the element afterwards
};

std::function<void(ODbData&)> shortInt(short v) { return [v](ODbData& d) { d.setShortInt(v); }; }
std::function<void(ODbData&)> longInt(long v) { return [v](ODbData& d) { d.setLongInt(v); }; }
std::function<void(ODbData&)> dbl(double v) { return [v](ODbData& d) { d.setDouble(v); }; }
std::function<void(ODbData&)> text(const char* v) { return [v](ODbData& d) { d.setCString(v); }; }
std::function<void(ODbData&)> str(std::string v) { return [v](ODbData& d) { d.setString(v); }; }
std::function<void(ODbData&)> raw(Bytes v)
{
    return [v](ODbData& d) { d.setRaw(v.empty() ? nullptr : v.data(), static_cast<unsigned int>(v.size())); };
}
std::function<void(ODbData&)> boolean(bool v) { return [v](ODbData& d) { d.setBool(v); }; }

const Bytes DoubleOnePointFive = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F}; // 1.5, little-endian IEEE

const SetterCase SetterCases[] = {
    // setShortInt
    {"short into float", extFloat, 8, shortInt(12), Failure::None, "f:12"},
    {"short into int2", extInt, 2, shortInt(-12), Failure::None, "i:-12"},
    {"short into int4", extInt, 4, shortInt(12), Failure::None, "i:12"},
    {"short into string", extString, 9, shortInt(-12), Failure::None, "s:-12"},
    {"short into varraw", extVarRaw, 6, shortInt(1), Failure::Type, "NULL"},
    {"short into longvarraw", extLongVarRaw, 8, shortInt(1), Failure::Type, "NULL"},
    {"short into date", extDate, 7, shortInt(1), Failure::Type, "NULL"},
    {"short into long", extLong, 4, shortInt(1), Failure::Type, "NULL"},
    // setLongInt
    {"long into float", extFloat, 8, longInt(70000), Failure::None, "f:70000"},
    {"long into int2 is cut to 16 bits", extInt, 2, longInt(70000), Failure::None, "i:4464"},
    {"long into int4", extInt, 4, longInt(-70000), Failure::None, "i:-70000"},
    {"long into int8 has no layout", extInt, 8, longInt(1), Failure::Type, "NULL"},
    {"long into string", extString, 9, longInt(70000), Failure::None, "s:70000"},
    {"lowest long into string", extString, 21, longInt(LONG_MIN), Failure::None, "s:-9223372036854775808"},
    {"long into short string", extString, 5, longInt(70000), Failure::Length, "NULL"},
    {"long into varraw", extVarRaw, 6, longInt(1), Failure::Type, "NULL"},
    {"long into longvarraw", extLongVarRaw, 8, longInt(1), Failure::Type, "NULL"},
    {"long into date", extDate, 7, longInt(1), Failure::Type, "NULL"},
    // setDouble
    {"double into float", extFloat, 8, dbl(2.7), Failure::None, "f:2.7"},
    {"double into int2 truncates", extInt, 2, dbl(2.7), Failure::None, "i:2"},
    {"negative double into int4 truncates toward zero", extInt, 4, dbl(-2.7), Failure::None, "i:-2"},
    {"huge double into int4 saturates then cuts", extInt, 4, dbl(1e300), Failure::None, "i:-1"},
    {"double into string", extString, 9, dbl(1.5), Failure::None, "s:1.500000"},
    {"negative zero into string", extString, 10, dbl(-0.0), Failure::None, "s:-0.000000"},
    {"double into too short string", extString, 8, dbl(1.5), Failure::Length, "NULL"},
    {"double into varraw", extVarRaw, 6, dbl(1.5), Failure::Type, "NULL"},
    {"double into longvarraw", extLongVarRaw, 8, dbl(1.5), Failure::Type, "NULL"},
    {"double into date", extDate, 7, dbl(1.5), Failure::Type, "NULL"},
    // setCString / setString
    {"text into float", extFloat, 8, text("3.25"), Failure::None, "f:3.25"},
    {"non-numeric text into float is 0", extFloat, 8, text("abc"), Failure::None, "f:0"},
    {"text into int4", extInt, 4, text("3.25"), Failure::None, "i:3"},
    {"text into int2 is cut", extInt, 2, text("70000"), Failure::None, "i:4464"},
    {"text with trailing letters into int2", extInt, 2, text("12abc"), Failure::None, "i:12"},
    {"text into string", extString, 9, text("hello"), Failure::None, "s:hello"},
    {"text of size - 1 fits", extString, 9, text("12345678"), Failure::None, "s:12345678"},
    {"text of element size does not fit", extString, 9, text("123456789"), Failure::Length, "NULL"},
    {"std::string into string", extString, 9, str("abc"), Failure::None, "s:abc"},
    {"lower-case hex into varraw", extVarRaw, 6, text("0aff"), Failure::None, "r:0AFF"},
    {"odd hex into varraw", extVarRaw, 6, text("abc"), Failure::None, "r:ABC0"},
    {"hex of 4 bytes fills varraw(4)", extVarRaw, 6, text("01020304"), Failure::None, "r:01020304"},
    {"hex of 5 bytes into varraw(4)", extVarRaw, 6, text("0102030405"), Failure::Length, "NULL"},
    {"hex into longvarraw", extLongVarRaw, 8, text("0aFF"), Failure::None, "r:0AFF"},
    {"hex of 5 bytes into longvarraw(4)", extLongVarRaw, 8, text("0102030405"), Failure::Length, "NULL"},
    {"non-hex text into varraw", extVarRaw, 6, text("zz"), Failure::Type, "NULL"},
    {"date text into date", extDate, 7, text("19/10/2002 14:05:09"), Failure::None, "d:78660A130F060A"},
    {"other text into date", extDate, 7, text("2002-10-19"), Failure::Conversion, "NULL"},
    {"date out of range into date", extDate, 7, text("32/10/2002 14:05:09"), Failure::Conversion, "NULL"},
    {"text into long", extLong, 4, text("abc"), Failure::Type, "NULL"},
    // empty and null texts mark NULL on any type
    {"empty text into float", extFloat, 8, text(""), Failure::None, "NULL"},
    {"null text into int4", extInt, 4, text(nullptr), Failure::None, "NULL"},
    {"empty std::string into string", extString, 9, str(""), Failure::None, "NULL"},
    {"empty text into varraw", extVarRaw, 6, text(""), Failure::None, "NULL"},
    {"empty text into date", extDate, 7, text(""), Failure::None, "NULL"},
    // setRaw
    {"native bytes into float", extFloat, 8, raw(DoubleOnePointFive), Failure::None, "f:1.5"},
    {"short byte count into float", extFloat, 8, raw({1, 2}), Failure::Empty, "NULL"},
    {"native bytes into int2", extInt, 2, raw({0x34, 0x12}), Failure::None, "i:4660"},
    {"wrong byte count into int4", extInt, 4, raw({0x34, 0x12}), Failure::Empty, "NULL"},
    {"bytes into string as hex", extString, 9, raw({0x0A, 0xFF}), Failure::None, "s:0AFF"},
    {"bytes whose hex does not fit", extString, 4, raw({0x0A, 0xFF}), Failure::Length, "NULL"},
    {"bytes into varraw", extVarRaw, 6, raw({0x0A, 0xFF}), Failure::None, "r:0AFF"},
    {"too many bytes into varraw", extVarRaw, 4, raw({1, 2, 3}), Failure::Length, "NULL"},
    {"bytes into longvarraw", extLongVarRaw, 8, raw({0x0A, 0xFF}), Failure::None, "r:0AFF"},
    {"too many bytes into longvarraw", extLongVarRaw, 6, raw({1, 2, 3}), Failure::Length, "NULL"},
    {"bytes into date", extDate, 7, raw({1, 2, 3, 4, 5, 6, 7}), Failure::Type, "NULL"},
    {"no bytes mark NULL", extVarRaw, 6, raw({}), Failure::None, "NULL"},
    // setBool writes the true or false string
    {"true into string", extString, 2, boolean(true), Failure::None, "s:T"},
    {"false into string", extString, 2, boolean(false), Failure::None, "s:F"},
    {"bool into float reads the text as a number", extFloat, 8, boolean(true), Failure::None, "f:0"},
    {"bool into int4", extInt, 4, boolean(false), Failure::None, "i:0"},
    {"bool into varraw is not hex", extVarRaw, 6, boolean(true), Failure::Type, "NULL"},
    {"bool into date", extDate, 7, boolean(true), Failure::Conversion, "NULL"},
    {"bool into a string of one character", extString, 1, boolean(true), Failure::Length, "NULL"},
};

class SetterMatrix : public ::testing::TestWithParam<SetterCase> {};

TEST_P(SetterMatrix, StoresOrFailsAsSpecified)
{
    const SetterCase& c = GetParam();
    ODbDynamicVariable var(c.type, c.size, 1);
    ODbData data(var);
    ValueTest::expectFailure(c.failure, [&] { c.write(data); });
    if (c.type != extLong) {
        EXPECT_EQ(c.expected, ValueTest::describe(var)) << c.name;
    } else {
        EXPECT_TRUE(var.isNull(0));
    }
}

INSTANTIATE_TEST_SUITE_P(Values, SetterMatrix, ::testing::ValuesIn(SetterCases), ValueTest::CaseName());

// ---- getters ---------------------------------------------------------------------

enum class Getter { ShortInt, LongInt, Double, CString, String, Raw, Bool, BufferLength };

struct GetterCase {
    const char* name;
    ExtTypes type;
    int size;
    std::function<void(ODbDynamicVariable&)> prepare; // null leaves the element NULL
    Getter getter;
    Failure failure;
    const char* expected;
};

std::string read(ODbData& data, Getter getter)
{
    char text[64];
    switch (getter) {
    case Getter::ShortInt:
        return std::to_string(data.getShortInt());
    case Getter::LongInt:
        return std::to_string(data.getLongInt());
    case Getter::Double:
        std::snprintf(text, sizeof text, "%g", data.getDouble());
        return text;
    case Getter::CString: {
        const char* value = data.getCString();
        return value == nullptr ? "<null>" : value;
    }
    case Getter::String:
        return "[" + data.getString() + "]";
    case Getter::Raw: {
        unsigned char* bytes = reinterpret_cast<unsigned char*>(1);
        unsigned int length = 99;
        data.getRaw(&bytes, length);
        return (bytes == nullptr ? std::string("<null>") : ValueTest::hexOf(bytes, length)) + "/" +
               std::to_string(length);
    }
    case Getter::Bool:
        return data.getBool() ? "true" : "false";
    case Getter::BufferLength:
        return std::to_string(data.getBufferLength());
    }
    return "";
}

std::function<void(ODbDynamicVariable&)> asDouble(double v)
{
    return [v](ODbDynamicVariable& var) { ValueTest::storeDouble(var, v); };
}
std::function<void(ODbDynamicVariable&)> asInt(long long v)
{
    return [v](ODbDynamicVariable& var) { ValueTest::storeInt(var, v); };
}
std::function<void(ODbDynamicVariable&)> asText(const char* v)
{
    return [v](ODbDynamicVariable& var) { ValueTest::storeText(var, v); };
}
std::function<void(ODbDynamicVariable&)> asRaw(Bytes v)
{
    return [v](ODbDynamicVariable& var) { ValueTest::storeRaw(var, v); };
}
std::function<void(ODbDynamicVariable&)> asDate(Bytes v)
{
    return [v](ODbDynamicVariable& var) { ValueTest::store(var, 0, v.data(), v.size()); };
}
std::function<void(ODbDynamicVariable&)> asFullText(const char* v)
{
    // A string element filled to the last byte, with no terminator.
    return [v](ODbDynamicVariable& var) { ValueTest::store(var, 0, v, var.getElemSize()); };
}

const std::function<void(ODbDynamicVariable&)> Null;
const Bytes Oct19th2002 = {120, 102, 10, 19, 15, 6, 10}; // 19/10/2002 14:05:09

const GetterCase GetterCases[] = {
    // extFloat
    {"float as short", extFloat, 8, asDouble(2.7), Getter::ShortInt, Failure::None, "2"},
    {"negative float as short", extFloat, 8, asDouble(-2.7), Getter::ShortInt, Failure::None, "-2"},
    {"large float as short is cut", extFloat, 8, asDouble(70000.9), Getter::ShortInt, Failure::None, "4464"},
    {"float as long", extFloat, 8, asDouble(70000.9), Getter::LongInt, Failure::None, "70000"},
    {"float as double", extFloat, 8, asDouble(2.7), Getter::Double, Failure::None, "2.7"},
    {"float as text", extFloat, 8, asDouble(2.7), Getter::CString, Failure::None, "2.700000"},
    {"float as string", extFloat, 8, asDouble(-1), Getter::String, Failure::None, "[-1.000000]"},
    {"negative zero as text keeps its sign", extFloat, 8, asDouble(-0.0), Getter::CString, Failure::None,
     "-0.000000"},
    {"large float as text has every digit", extFloat, 8, asDouble(1e22), Getter::CString, Failure::None,
     "10000000000000000000000.000000"},
    {"float text tie rounds to even down", extFloat, 8, asDouble(0.0078125), Getter::CString, Failure::None,
     "0.007812"},
    {"float text tie rounds to even up", extFloat, 8, asDouble(0.0234375), Getter::CString, Failure::None,
     "0.023438"},
    {"tiny float as text is zero", extFloat, 8, asDouble(-1e-300), Getter::CString, Failure::None, "-0.000000"},
    {"infinite float as text", extFloat, 8, asDouble(-HUGE_VAL), Getter::CString, Failure::None, "-inf"},
    {"not-a-number float as text", extFloat, 8, asDouble(std::nan("")), Getter::CString, Failure::None, "nan"},
    {"float as raw", extFloat, 8, asDouble(1.5), Getter::Raw, Failure::None, "000000000000F83F/8"},
    {"float as bool", extFloat, 8, asDouble(1), Getter::Bool, Failure::Type, ""},
    {"float buffer length", extFloat, 8, asDouble(1), Getter::BufferLength, Failure::None, "4294967295"},
    // extInt
    {"int2 as short", extInt, 2, asInt(-5), Getter::ShortInt, Failure::None, "-5"},
    {"int2 as long is sign-extended", extInt, 2, asInt(-5), Getter::LongInt, Failure::None, "-5"},
    {"int4 as short is cut", extInt, 4, asInt(70000), Getter::ShortInt, Failure::None, "4464"},
    {"int4 as long", extInt, 4, asInt(70000), Getter::LongInt, Failure::None, "70000"},
    {"int4 as double", extInt, 4, asInt(-70000), Getter::Double, Failure::None, "-70000"},
    {"int2 as text", extInt, 2, asInt(-5), Getter::CString, Failure::None, "-5"},
    {"lowest int4 as text", extInt, 4, asInt(-2147483648LL), Getter::CString, Failure::None, "-2147483648"},
    {"int2 as raw", extInt, 2, asInt(-5), Getter::Raw, Failure::None, "FBFF/2"},
    {"int4 as bool", extInt, 4, asInt(1), Getter::Bool, Failure::Type, ""},
    {"int buffer length", extInt, 4, asInt(1), Getter::BufferLength, Failure::None, "4294967295"},
    {"int8 as short has no layout", extInt, 8, asRaw({}), Getter::ShortInt, Failure::Type, ""},
    {"int8 as long has no layout", extInt, 8, asRaw({}), Getter::LongInt, Failure::Type, ""},
    {"int8 as text is no text", extInt, 8, asRaw({}), Getter::CString, Failure::None, "<null>"},
    // extString
    {"text as short", extString, 11, asText("42.5"), Getter::ShortInt, Failure::None, "42"},
    {"large text as short is cut", extString, 11, asText("70000"), Getter::ShortInt, Failure::None, "4464"},
    {"text as long", extString, 11, asText("-70000"), Getter::LongInt, Failure::None, "-70000"},
    {"text as double", extString, 11, asText("42.5"), Getter::Double, Failure::None, "42.5"},
    {"non-numeric text as double is 0", extString, 11, asText("xyz"), Getter::Double, Failure::None, "0"},
    {"non-numeric text as short is 0", extString, 11, asText("xyz"), Getter::ShortInt, Failure::None, "0"},
    {"text as text", extString, 11, asText("hello"), Getter::CString, Failure::None, "hello"},
    {"unterminated text is cut at the element", extString, 4, asFullText("abcd"), Getter::CString,
     Failure::None, "abcd"},
    {"text as string", extString, 11, asText("hello"), Getter::String, Failure::None, "[hello]"},
    {"hex text as raw", extString, 11, asText("0aFF"), Getter::Raw, Failure::None, "0AFF/2"},
    {"odd hex text as raw", extString, 11, asText("abc"), Getter::Raw, Failure::None, "ABC0/2"},
    {"non-hex text as raw", extString, 11, asText("42.5"), Getter::Raw, Failure::Type, ""},
    {"T as bool", extString, 2, asText("T"), Getter::Bool, Failure::None, "true"},
    {"F as bool", extString, 2, asText("F"), Getter::Bool, Failure::None, "false"},
    {"Y as bool", extString, 2, asText("Y"), Getter::Bool, Failure::Type, ""},
    {"TRUE as bool", extString, 5, asText("TRUE"), Getter::Bool, Failure::Type, ""},
    {"string buffer length counts the terminator", extString, 11, asText("a"), Getter::BufferLength,
     Failure::None, "11"},
    // extVarRaw and extLongVarRaw
    {"varraw as short", extVarRaw, 6, asRaw({1, 0xAB}), Getter::ShortInt, Failure::Type, ""},
    {"varraw as long", extVarRaw, 6, asRaw({1, 0xAB}), Getter::LongInt, Failure::Type, ""},
    {"varraw as double", extVarRaw, 6, asRaw({1, 0xAB}), Getter::Double, Failure::Type, ""},
    {"varraw as text", extVarRaw, 6, asRaw({1, 0xAB}), Getter::CString, Failure::None, "01AB"},
    {"varraw as raw", extVarRaw, 6, asRaw({1, 0xAB}), Getter::Raw, Failure::None, "01AB/2"},
    {"varraw as bool", extVarRaw, 6, asRaw({1}), Getter::Bool, Failure::Type, ""},
    {"varraw buffer length", extVarRaw, 6, asRaw({1}), Getter::BufferLength, Failure::None, "4"},
    {"longvarraw as short", extLongVarRaw, 8, asRaw({1}), Getter::ShortInt, Failure::Type, ""},
    {"longvarraw as double", extLongVarRaw, 8, asRaw({1}), Getter::Double, Failure::Type, ""},
    {"longvarraw as text", extLongVarRaw, 8, asRaw({1, 0xAB}), Getter::CString, Failure::None, "01AB"},
    {"longvarraw as raw", extLongVarRaw, 8, asRaw({1, 0xAB}), Getter::Raw, Failure::None, "01AB/2"},
    {"longvarraw buffer length", extLongVarRaw, 8, asRaw({1}), Getter::BufferLength, Failure::None, "4"},
    // extDate
    {"date as short", extDate, 7, asDate(Oct19th2002), Getter::ShortInt, Failure::Type, ""},
    {"date as long", extDate, 7, asDate(Oct19th2002), Getter::LongInt, Failure::Type, ""},
    {"date as double", extDate, 7, asDate(Oct19th2002), Getter::Double, Failure::Type, ""},
    {"date as text", extDate, 7, asDate(Oct19th2002), Getter::CString, Failure::None, "19/10/2002 14:05:09"},
    {"date as raw", extDate, 7, asDate(Oct19th2002), Getter::Raw, Failure::Type, ""},
    {"date as bool", extDate, 7, asDate(Oct19th2002), Getter::Bool, Failure::Type, ""},
    {"date buffer length", extDate, 7, asDate(Oct19th2002), Getter::BufferLength, Failure::Type, ""},
    // NULL elements
    {"NULL float as short", extFloat, 8, Null, Getter::ShortInt, Failure::Null, ""},
    {"NULL int as long", extInt, 4, Null, Getter::LongInt, Failure::Null, ""},
    {"NULL string as double", extString, 11, Null, Getter::Double, Failure::Null, ""},
    {"NULL varraw as short checks NULL first", extVarRaw, 6, Null, Getter::ShortInt, Failure::Null, ""},
    {"NULL float as text is the null string", extFloat, 8, Null, Getter::CString, Failure::None, ""},
    {"NULL date as text is the null string", extDate, 7, Null, Getter::CString, Failure::None, ""},
    {"NULL string as string", extString, 11, Null, Getter::String, Failure::None, "[]"},
    {"NULL varraw as raw", extVarRaw, 6, Null, Getter::Raw, Failure::None, "<null>/0"},
    {"NULL float as raw", extFloat, 8, Null, Getter::Raw, Failure::None, "<null>/0"},
    {"NULL string as bool", extString, 2, Null, Getter::Bool, Failure::Type, ""},
    {"NULL string buffer length", extString, 11, Null, Getter::BufferLength, Failure::None, "11"},
};

class GetterMatrix : public ::testing::TestWithParam<GetterCase> {};

TEST_P(GetterMatrix, ReadsOrFailsAsSpecified)
{
    const GetterCase& c = GetParam();
    ODbDynamicVariable var(c.type, c.size, 1);
    if (c.prepare)
        c.prepare(var);
    ODbData data(var);
    std::string result;
    ValueTest::expectFailure(c.failure, [&] { result = read(data, c.getter); });
    if (c.failure == Failure::None) {
        EXPECT_EQ(c.expected, result) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Values, GetterMatrix, ::testing::ValuesIn(GetterCases), ValueTest::CaseName());

// ---- rules outside the matrices --------------------------------------------------

// Restores the library settings that a test changes.
class SettingsGuard {
public:
    SettingsGuard() : saved_(*ODbOraGlobal::Ptr) {}
    ~SettingsGuard() { *ODbOraGlobal::Ptr = saved_; }

private:
    ODbOraGlobal saved_;
};

TEST(DataLengthError, CarriesTypeSizesAndCode100)
{
    ODbDynamicVariable var(extString, 11, 1); // VARCHAR2(10)
    ODbData data(var);
    try {
        data.setCString("12345678901");
        FAIL() << "no exception";
    } catch (const ODbException& e) {
        EXPECT_STREQ("Invalid attribute length EXTERNAL OCI TYPE CODE: 5 EXPECTED LENGTH: 11 ACTUAL LENGTH: 11",
                     e.getErrMsg());
        EXPECT_EQ(100, e.getErrCode());
        EXPECT_EQ(nullptr, e.getStmText());
    }
}

TEST(DataLengthError, RawCountsBytes)
{
    ODbDynamicVariable var(extVarRaw, 4, 1);
    ODbData data(var);
    const unsigned char bytes[3] = {1, 2, 3};
    try {
        data.setRaw(bytes, 3);
        FAIL() << "no exception";
    } catch (const ODbException& e) {
        EXPECT_STREQ("Invalid attribute length EXTERNAL OCI TYPE CODE: 15 EXPECTED LENGTH: 4 ACTUAL LENGTH: 3",
                     e.getErrMsg());
    }
}

TEST(DataWrite, FailedWriteKeepsTheOldValue)
{
    ODbDynamicVariable var(extString, 4, 1);
    ODbData data(var);
    data.setCString("abc");
    EXPECT_THROW(data.setCString("abcd"), ODbException);
    EXPECT_EQ("s:abc", ValueTest::describe(var));
    EXPECT_THROW(data.setDouble(1.5), ODbException);
    EXPECT_EQ("s:abc", ValueTest::describe(var));
}

TEST(DataWrite, WritingMarksNotNullWithTheElementSize)
{
    ODbDynamicVariable var(extFloat, 8, 1);
    ODbData data(var);
    data.setDouble(1);
    EXPECT_EQ(8, var.getIndVar(0));
    data.setNull();
    EXPECT_TRUE(data.isNull());
}

TEST(DataSettings, BoolStringsComeFromTheSettings)
{
    SettingsGuard guard;
    ODbOraGlobal::Ptr->setTrueString("Y");
    ODbOraGlobal::Ptr->setFalseString("N");
    ODbDynamicVariable var(extString, 2, 1);
    ODbData data(var);
    data.setBool(true);
    EXPECT_EQ("s:Y", ValueTest::describe(var));
    EXPECT_TRUE(data.getBool());
    data.setBool(false);
    EXPECT_FALSE(data.getBool());
    data.setCString("T");
    EXPECT_THROW(data.getBool(), ODbException);
}

TEST(DataSettings, NullStringComesFromTheSettings)
{
    SettingsGuard guard;
    ODbOraGlobal::Ptr->setNullString("<NULL>");
    ODbDynamicVariable var(extFloat, 8, 1);
    ODbData data(var);
    EXPECT_STREQ("<NULL>", data.getCString());
    EXPECT_EQ("<NULL>", data.getString());
    ODbOraGlobal::Ptr->setNullString(nullptr);
    EXPECT_EQ(nullptr, data.getCString());
    EXPECT_EQ("", data.getString());
}

TEST(DataSettings, NullTextIsAFreshCopyNotTheSetting)
{
    ODbDynamicVariable var(extFloat, 8, 1);
    ODbData data(var);
    const char* text = data.getCString();
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ("", text);
    EXPECT_NE(ODbOraGlobal::Ptr->getNullString(), text);
}

TEST(DataBuffers, TextStaysValidUntilTheNextConversion)
{
    ODbDynamicVariable var(extFloat, 8, 2);
    ODbArrayData data(var);
    data.setDouble(1.5, 0);
    data.setDouble(2.5, 1);
    const char* first = data.getCString(0);
    const std::string kept = first;
    EXPECT_EQ("1.500000", kept);
    ODbData other(var);
    other.getCString(); // another accessor's buffer does not touch this one
    EXPECT_STREQ("1.500000", first);
}

TEST(DataBuffers, CopyPointsAtTheSameElementWithItsOwnBuffers)
{
    ODbDynamicVariable var(extInt, 4, 3);
    ODbArrayData data(var);
    data.setLongInt(7, 2);
    ODbData copy(data);
    EXPECT_EQ(7, copy.getLongInt());
    const char* text = data.getCString();
    EXPECT_NE(text, copy.getCString());
    ODbData assigned;
    assigned = copy;
    EXPECT_EQ(7, assigned.getLongInt());
    assigned = assigned;
    EXPECT_EQ(7, assigned.getLongInt());
}

TEST(DataBuffers, AccessorWithoutVariableThrows)
{
    ODbData data;
    EXPECT_THROW(data.getDouble(), ODbException);
    EXPECT_THROW(data.setDouble(1), ODbException);
    EXPECT_THROW(data.getBufferLength(), ODbException);
}

TEST(DataBuffers, IndexBeyondAShrunkArrayThrows)
{
    ODbDynamicVariable var(extFloat, 8, 3);
    ODbArrayData data(var);
    data.setDouble(1, 2);
    var.resizeArray(1);
    EXPECT_THROW(data.getDouble(), ODbException);
    EXPECT_THROW(data.setDouble(1), ODbException);
    ODbDynamicVariable empty;
    ODbData none(empty);
    EXPECT_THROW(none.getCString(), ODbException);
}

TEST(DataViews, DateViewReadsAndWritesTheElement)
{
    ODbDynamicVariable var(extDate, 7, 2);
    ODbArrayData data(var);
    EXPECT_THROW(data.getDate(0), ODbException); // NULL
    ODbDate direct(var, 1);
    direct.fromCstring(const_cast<char*>("19/10/2002 14:05:09"));
    ODbDate& view = data.getDate(1);
    EXPECT_EQ(2002, view.getYear());
    view.setYear(2003);
    data.setDate(view);
    EXPECT_STREQ("19/10/2003 14:05:09", data.getCString(1));
    data.setDate(view, 0); // another element takes the value of the view
    EXPECT_STREQ("19/10/2003 14:05:09", data.getCString(0));
}

TEST(DataViews, ViewGettersCheckTheType)
{
    ODbDynamicVariable number(extFloat, 8, 1);
    ODbData data(number);
    data.setDouble(1);
    ValueTest::expectFailure(Failure::Type, [&] { data.getDate(); });
    ValueTest::expectFailure(Failure::Empty, [&] { data.getLong(); });
    ValueTest::expectFailure(Failure::Empty, [&] { data.getLongRaw(); });
    ODbDynamicVariable date(extDate, 7, 1);
    ODbDate view(date, 0);
    ValueTest::expectFailure(Failure::Type, [&] { data.setDate(view); });
}

} // namespace

// ---- numbers as text ---------------------------------------------------------------

// The text of a FLOAT element is printf's "%f" of its value, whichever way it is
// produced: the boundaries of the short route for numbers with a short binary
// fraction, and values on either side of them.
TEST(NumberText, IsPrintfFixedForEveryKindOfValue)
{
    const double limit = 9007199254740992.0 / 1e6; // 2^53 / 10^6
    std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 0.5, -0.5, 1.0 / 64, -1.0 / 64, 1.0 / 128,
                                  3.0 / 128, 0.1, 1.0 / 3, 2.0 / 3, 0.0000005, 0.0000015, 123456.015625,
                                  999999.984375, limit, -limit, std::nextafter(limit, 0.0), 1e15, -1e15,
                                  1e300, 5e-324, HUGE_VAL, -HUGE_VAL, NAN, 4294967295.5, 9.2e18, -9.2e18};
    for (int k = -5000; k <= 5000; ++k) {
        values.push_back(k / 64.0 + 1e9);
        values.push_back(k * 1.5);
        values.push_back(k / 1000.0);
    }
    ODbDynamicVariable var(extFloat, 8, 1);
    ODbArrayData data(var);
    for (const double value : values) {
        char expected[400];
        std::snprintf(expected, sizeof expected, "%f", value);
        data.setDouble(value, 0);
        EXPECT_STREQ(expected, data.getCString(0)) << "value " << value;
    }
}

// Text stored into a FLOAT element is read as strtod reads it, whether or not it is
// a plain decimal number.
TEST(NumberText, IsReadAsStrtodReadsIt)
{
    const char* const texts[] = {"1.5", "-0", "0.1", "123456789.123456789", "1e308", "1e400", "-1e400",
                                 "1e-400", "4.9e-324", " 2.5", "+2", "0x10", "12abc", "abc", ".5",
                                 "5.", "inf", "-nan", "1,5", "9007199254740993", "2.2250738585072011e-308"};
    ODbDynamicVariable var(extFloat, 8, 1);
    ODbArrayData data(var);
    for (const char* text : texts) {
        const double expected = std::strtod(text, nullptr);
        data.setCString(text, 0);
        const double stored = data.getDouble(0);
        if (std::isnan(expected))
            EXPECT_TRUE(std::isnan(stored)) << "text \"" << text << "\"";
        else
            EXPECT_EQ(0, std::memcmp(&expected, &stored, sizeof stored)) << "text \"" << text << "\"";
    }
}

// setTextOf stores exactly what setCString stores from the source's text (or
// fails alike), for every pair of types, for numbers on both sides of the direct
// route between number elements, and for the texts and dates it copies without
// the source's text buffer.
TEST(TextOf, StoresWhatTheSourcesTextStores)
{
    struct Source {
        const char* name;
        ExtTypes type;
        int size;
        std::function<void(ODbData&)> write; // null leaves the element NULL
    };
    const Source sources[] = {
        {"zero", extFloat, 8, dbl(0.0)},
        {"minus zero", extFloat, 8, dbl(-0.0)},
        {"half", extFloat, 8, dbl(-2.5)},
        {"64ths", extFloat, 8, dbl(123456789.015625)},
        {"128ths", extFloat, 8, dbl(1.0 / 128)},
        {"third", extFloat, 8, dbl(1.0 / 3)},
        {"huge", extFloat, 8, dbl(1e20)},
        {"nan", extFloat, 8, dbl(NAN)},
        {"null number", extFloat, 8, nullptr},
        {"integer", extInt, 4, longInt(-42)},
        {"number text", extString, 20, text("12.5")},
        {"word", extString, 20, text("abc")},
        {"null text", extString, 20, nullptr},
        {"text filling its element", extString, 4,
         [](ODbData& d) {
             std::memcpy(d.getDynamicVariable()->val(0), "wxyz", 4);
             d.getDynamicVariable()->setNotNull(0);
         }},
        {"date", extDate, 7, text("19/10/2002 14:05:09")},
        {"earliest plain date", extDate, 7, text("01/01/0001 00:00:00")},
        {"latest date", extDate, 7, text("31/12/9999 24:59:59")},
        {"date before year 0", extDate, 7, text("01/01/-4712 00:00:00")},
        {"null date", extDate, 7, nullptr},
    };
    const std::pair<ExtTypes, int> targets[] = {{extFloat, 8},   {extInt, 4},  {extString, 30},
                                                {extString, 3},  {extDate, 7}, {extString, 20}};
    for (const Source& source : sources) {
        ODbDynamicVariable sourceVar(source.type, source.size, 1);
        ODbArrayData sourceData(sourceVar);
        if (source.write)
            source.write(sourceData);
        for (const auto& [type, size] : targets) {
            ODbDynamicVariable viaText(type, size, 2), direct(type, size, 2);
            ODbArrayData viaTextData(viaText), directData(direct);
            std::string textFailure = "none", directFailure = "none";
            try {
                viaTextData.setCString(sourceData.getCString(0), 1);
            } catch (const ODbException& failure) {
                textFailure = failure.getErrMsg();
            }
            try {
                directData.setTextOf(sourceData, 1);
            } catch (const ODbException& failure) {
                directFailure = failure.getErrMsg();
            }
            const std::string where = std::string(source.name) + " into type " + std::to_string(type) + "/" +
                                      std::to_string(size);
            EXPECT_EQ(textFailure, directFailure) << where;
            EXPECT_EQ(viaText.getIndVar(1), direct.getIndVar(1)) << where;
            EXPECT_EQ(0, std::memcmp(viaText.val(1), direct.val(1), static_cast<std::size_t>(size))) << where;
        }
    }
}
