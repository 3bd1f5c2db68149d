#include "ODbData.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "DecimalPairs.h"
#include "HexText.h"
#include "ODbDate.h"
#include "ODbDynamicVariable.h"
#include "ODbException.h"
#include "ODbLob.h"
#include "ODbLong.h"
#include "ODbLongRaw.h"
#include "ODbMessages.h"
#include "ODbOraGlobal.h"

namespace Oracle {

namespace {

// The element an accessor works on.
struct Cell {
    ODbDynamicVariable* var;
    ODbIndex index;
    unsigned char* p;  // element bytes; null for chained types
    unsigned int size; // element size
    ExtTypes type;
};

[[noreturn]] void typeError()
{
    throw ODbException(Messages::NotExpectedType, 0, nullptr);
}

[[noreturn]] void lengthError(const Cell& c, std::size_t actual)
{
    const std::string message = std::string(Messages::InvalidLength) +
                                " EXTERNAL OCI TYPE CODE: " + std::to_string(static_cast<int>(c.type)) +
                                " EXPECTED LENGTH: " + std::to_string(c.size) +
                                " ACTUAL LENGTH: " + std::to_string(actual);
    throw ODbException(message.c_str(), Messages::LengthErrorCode, nullptr);
}

// Most fetched and computed numbers are whole or have a short binary fraction
// (halves, quarters ... 64ths). Their six-decimal text is exact: it can be written
// from the integer value * 10^6 without the general conversion, and reading it
// back gives the very same number.
bool hasExactFixedText(double value)
{
    // value * 10^6 is then a whole number, exact below 2^53.
    constexpr double kLimit = 9007199254740992.0 / 1e6;
    const double magnitude = std::fabs(value);
    if (!(magnitude < kLimit) || (value == 0 && std::signbit(value)))
        return false;
    const double sixtyFourths = magnitude * 64;
    return static_cast<double>(static_cast<long long>(sixtyFourths)) == sixtyFourths;
}

// Writes the text of a value that hasExactFixedText; returns its end.
char* exactFixedText(char* text, double value)
{
    const auto scaled = static_cast<unsigned long long>(std::fabs(value) * 1e6);
    unsigned long long whole = scaled / 1000000;
    auto decimals = static_cast<unsigned int>(scaled % 1000000);
    // The whole part from its last digit backwards, then the point and the decimals.
    char digits[32];
    char* first = digits + sizeof digits;
    for (; whole >= 100; whole /= 100) {
        first -= 2;
        DecimalPairs::put(first, static_cast<unsigned>(whole % 100));
    }
    if (whole >= 10) {
        first -= 2;
        DecimalPairs::put(first, static_cast<unsigned>(whole));
    } else {
        *--first = static_cast<char>('0' + whole);
    }
    if (value < 0)
        *--first = '-';
    const std::size_t length = static_cast<std::size_t>(digits + sizeof digits - first);
    std::memcpy(text, first, length);
    char* out = text + length;
    *out = '.';
    for (char* pair = out + 5; pair > out; pair -= 2, decimals /= 100)
        DecimalPairs::put(pair, decimals % 100);
    return out + 7;
}

// The text printf's "%f" gives for value (same digits and rounding, "-0.000000",
// "inf", "nan"), written in one pass into buffer; the text ends at its NUL, which
// need not be the end of the buffer.
char* fixedText(std::vector<char>& buffer, double value)
{
    if (hasExactFixedText(value)) {
        // Below 2^53 / 10^6 the whole part has at most 10 digits.
        buffer.resize(32);
        *exactFixedText(buffer.data(), value) = '\0';
        return buffer.data();
    }
    // The largest double has 309 integer digits; with sign, point and 6 decimals
    // that stays well below this size.
    char text[400];
    buffer.assign(text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6).ptr);
    buffer.push_back('\0');
    return buffer.data();
}

char* integerText(std::vector<char>& buffer, long long value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    buffer.assign(text, result.ptr);
    buffer.push_back('\0');
    return buffer.data();
}

// A double cut toward zero into the integer range (saturating, NaN gives 0).
long long truncateDouble(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9.2e18)
        return LLONG_MAX;
    if (value <= -9.2e18)
        return LLONG_MIN;
    return static_cast<long long>(value);
}

// strtol with atol's forgiveness: text that is not a number gives 0.
long long textToInteger(const char* text)
{
    return std::strtoll(text, nullptr, 10);
}

// strtod's reading of text (leading blanks, sign, hexadecimal, trailing rest
// ignored). A plain decimal number, by far the most common text, is read by
// from_chars, which rounds it to the same double and is much faster.
double textToDouble(const char* text)
{
    double value = 0;
    const char* end = text + std::strlen(text);
    const auto result = std::from_chars(text, end, value);
    if (result.ec == std::errc() && result.ptr == end)
        return value;
    return std::strtod(text, nullptr);
}

// ---- element layouts ----------------------------------------------------------

long long readInteger(const Cell& c)
{
    if (c.size == sizeof(std::int16_t)) {
        std::int16_t v;
        std::memcpy(&v, c.p, sizeof v);
        return v;
    }
    if (c.size == sizeof(std::int32_t)) {
        std::int32_t v;
        std::memcpy(&v, c.p, sizeof v);
        return v;
    }
    typeError();
}

// Stores the low 16 or 32 bits of value.
void writeInteger(const Cell& c, long long value)
{
    if (c.size == sizeof(std::int16_t)) {
        const auto v = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
        std::memcpy(c.p, &v, sizeof v);
    } else if (c.size == sizeof(std::int32_t)) {
        const auto v = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        std::memcpy(c.p, &v, sizeof v);
    } else {
        typeError();
    }
}

double readDouble(const Cell& c)
{
    double v;
    std::memcpy(&v, c.p, sizeof v);
    return v;
}

void writeDouble(const Cell& c, double value)
{
    std::memcpy(c.p, &value, sizeof value);
}

// The text of a string element; copied into scratch only when the element
// holds no terminator (the call interface may fill it completely).
const char* elementText(const Cell& c, std::string& scratch)
{
    const char* text = reinterpret_cast<const char*>(c.p);
    if (std::memchr(text, '\0', c.size) != nullptr)
        return text;
    scratch.assign(text, c.size);
    return scratch.c_str();
}

// Text rule: at most size - 1 characters, stored with the terminator.
void writeText(const Cell& c, const char* text, std::size_t length)
{
    if (length >= c.size)
        lengthError(c, length);
    std::memcpy(c.p, text, length);
    c.p[length] = '\0';
}

// Length-prefix rule: the byte count in a native prefix of Prefix bytes, then the bytes.
template <class Prefix> void writePrefixed(const Cell& c, const unsigned char* bytes, unsigned int length)
{
    if (length > c.size - sizeof(Prefix))
        lengthError(c, length);
    const auto prefix = static_cast<Prefix>(length);
    std::memcpy(c.p, &prefix, sizeof prefix);
    std::memcpy(c.p + sizeof prefix, bytes, length);
}

template <class Prefix> void readPrefixed(const Cell& c, const unsigned char*& bytes, unsigned int& length)
{
    Prefix prefix;
    std::memcpy(&prefix, c.p, sizeof prefix);
    if (prefix > c.size - sizeof(Prefix))
        lengthError(c, prefix); // a corrupt prefix must not read past the element
    bytes = c.p + sizeof prefix;
    length = prefix;
}

// Native-bytes rule of numeric elements: exactly the element size.
void writeNative(const Cell& c, const unsigned char* bytes, unsigned int length)
{
    if (length != c.size)
        throw ODbException();
    std::memcpy(c.p, bytes, length);
}

// ---- conversions per external type ---------------------------------------------

// How values enter and leave an element of one external type. A null entry
// means the conversion is a type error for that type.
struct Codec {
    void (*fromInteger)(const Cell&, long long);
    void (*fromDouble)(const Cell&, double);
    void (*fromText)(const Cell&, const char*, std::size_t);
    void (*fromBytes)(const Cell&, const unsigned char*, unsigned int);
    long long (*toInteger)(const Cell&);
    double (*toDouble)(const Cell&);
    // Returns the text (in the element or in buffer), or null when there is none.
    char* (*toText)(const Cell&, std::vector<char>& buffer);
    void (*toBytes)(const Cell&, std::vector<unsigned char>& buffer, const unsigned char*& bytes,
                    unsigned int& length);
    unsigned int (*bufferLength)(unsigned int size);
};

constexpr unsigned int NoTextBuffer = 0xFFFFFFFFu; // numeric elements have no text buffer

template <class Prefix> void prefixedFromText(const Cell& c, const char* text, std::size_t length)
{
    std::vector<unsigned char> bytes;
    if (!HexText::decode(text, length, bytes))
        typeError();
    writePrefixed<Prefix>(c, bytes.data(), static_cast<unsigned int>(bytes.size()));
}

template <class Prefix> char* prefixedToText(const Cell& c, std::vector<char>& buffer)
{
    const unsigned char* bytes = nullptr;
    unsigned int length = 0;
    readPrefixed<Prefix>(c, bytes, length);
    HexText::encode(bytes, length, buffer);
    return buffer.data();
}

template <class Prefix>
void prefixedToBytes(const Cell& c, std::vector<unsigned char>&, const unsigned char*& bytes, unsigned int& length)
{
    readPrefixed<Prefix>(c, bytes, length);
}

void nativeToBytes(const Cell& c, std::vector<unsigned char>&, const unsigned char*& bytes, unsigned int& length)
{
    bytes = c.p;
    length = c.size;
}

const Codec FloatCodec = {
    [](const Cell& c, long long v) { writeDouble(c, static_cast<double>(v)); },
    writeDouble,
    [](const Cell& c, const char* text, std::size_t) { writeDouble(c, textToDouble(text)); },
    writeNative,
    [](const Cell& c) { return truncateDouble(readDouble(c)); },
    readDouble,
    [](const Cell& c, std::vector<char>& buffer) { return fixedText(buffer, readDouble(c)); },
    nativeToBytes,
    [](unsigned int) { return NoTextBuffer; },
};

const Codec IntCodec = {
    writeInteger,
    [](const Cell& c, double v) { writeInteger(c, truncateDouble(v)); },
    [](const Cell& c, const char* text, std::size_t) { writeInteger(c, textToInteger(text)); },
    writeNative,
    readInteger,
    [](const Cell& c) { return static_cast<double>(readInteger(c)); },
    [](const Cell& c, std::vector<char>& buffer) -> char* {
        if (c.size != sizeof(std::int16_t) && c.size != sizeof(std::int32_t)) {
            buffer.clear();
            return nullptr;
        }
        return integerText(buffer, readInteger(c));
    },
    nativeToBytes,
    [](unsigned int) { return NoTextBuffer; },
};

const Codec StringCodec = {
    [](const Cell& c, long long v) {
        char text[32];
        const auto result = std::to_chars(text, text + sizeof text, v);
        writeText(c, text, static_cast<std::size_t>(result.ptr - text));
    },
    [](const Cell& c, double v) {
        std::vector<char> buffer;
        const char* text = fixedText(buffer, v);
        writeText(c, text, std::strlen(text));
    },
    writeText,
    [](const Cell& c, const unsigned char* bytes, unsigned int length) {
        std::vector<char> text;
        HexText::encode(bytes, length, text);
        writeText(c, text.data(), text.size() - 1);
    },
    [](const Cell& c) {
        std::string scratch;
        return textToInteger(elementText(c, scratch));
    },
    [](const Cell& c) {
        std::string scratch;
        return textToDouble(elementText(c, scratch));
    },
    [](const Cell& c, std::vector<char>& buffer) {
        if (std::memchr(c.p, '\0', c.size) != nullptr)
            return reinterpret_cast<char*>(c.p);
        buffer.assign(c.p, c.p + c.size);
        buffer.push_back('\0');
        return buffer.data();
    },
    [](const Cell& c, std::vector<unsigned char>& buffer, const unsigned char*& bytes, unsigned int& length) {
        std::string scratch;
        const char* text = elementText(c, scratch);
        if (!HexText::decode(text, std::strlen(text), buffer))
            typeError();
        bytes = buffer.empty() ? nullptr : buffer.data();
        length = static_cast<unsigned int>(buffer.size());
    },
    [](unsigned int size) { return size; },
};

const Codec VarRawCodec = {
    nullptr, nullptr, prefixedFromText<std::uint16_t>, writePrefixed<std::uint16_t>, nullptr, nullptr,
    prefixedToText<std::uint16_t>, prefixedToBytes<std::uint16_t>,
    [](unsigned int size) { return size - static_cast<unsigned int>(sizeof(std::uint16_t)); },
};

const Codec LongVarRawCodec = {
    nullptr, nullptr, prefixedFromText<std::uint32_t>, writePrefixed<std::uint32_t>, nullptr, nullptr,
    prefixedToText<std::uint32_t>, prefixedToBytes<std::uint32_t>,
    [](unsigned int size) { return size - static_cast<unsigned int>(sizeof(std::uint32_t)); },
};

// A date reads and is written as "DD/MM/YYYY HR:MN:SC", the form ODbDate
// writes and reads, so a date's text can be given back to it.
const Codec DateCodec = {
    nullptr, nullptr,
    [](const Cell& c, const char* text, std::size_t length) {
        std::string copy(text, length);
        ODbDate(*c.var, static_cast<int>(c.index)).fromCstring(copy.data());
    },
    nullptr, nullptr, nullptr,
    [](const Cell& c, std::vector<char>& buffer) {
        if (c.p == nullptr)
            throw ODbException();
        buffer.resize(ODbDate::TextCapacity);
        buffer.resize(ODbDate::writeText(c.p, buffer.data()) + 1);
        return buffer.data();
    },
    nullptr, nullptr,
};

const Codec NoCodec = {};

const Codec& codecFor(ExtTypes type)
{
    switch (type) {
    case extFloat:
        return FloatCodec;
    case extInt:
        return IntCodec;
    case extString:
        return StringCodec;
    case extVarRaw:
        return VarRawCodec;
    case extLongVarRaw:
        return LongVarRawCodec;
    case extDate:
        return DateCodec;
    default:
        return NoCodec;
    }
}

// The entry, or a type error when the type has none.
template <class Fn> Fn entry(Fn fn)
{
    if (fn == nullptr)
        typeError();
    return fn;
}

// The element at index, checked to exist (empty-message ODbException otherwise).
Cell cellAt(ODbDynamicVariable* var, ODbIndex index)
{
    if (var == nullptr || index >= var->getArraySize())
        throw ODbException();
    unsigned char* p = var->getData() == nullptr ? nullptr : var->val(index);
    return Cell{var, index, p, var->getElemSize(), var->getFtype()};
}

// The text of a string or date element that is not NULL, had without an
// accessor's text buffer: a string element holding its terminator in place, a
// date written into `scratch` (ODbDate::TextCapacity bytes). Either way the
// text is followed by a NUL. A null view for every other element.
std::string_view directText(const Cell& c, char* scratch)
{
    if (c.p == nullptr)
        return std::string_view();
    if (c.type == extString) {
        const void* end = std::memchr(c.p, '\0', c.size);
        if (end == nullptr)
            return std::string_view();
        const char* text = reinterpret_cast<const char*>(c.p);
        return std::string_view(text, static_cast<std::size_t>(static_cast<const char*>(end) - text));
    }
    if (c.type == extDate)
        return std::string_view(scratch, ODbDate::writeText(c.p, scratch));
    return std::string_view();
}

// Writes a LONG or LONG RAW view into the element. The element is NULL exactly
// when its row holds no pieces afterwards, whatever it was before.
void writeChained(const Cell& c, ExtTypes expected, const ODbDataInterface& view)
{
    if (c.type != expected)
        typeError();
    view.assign(*c.var);
    if (c.var->chain().first(c.index))
        c.var->setNotNull(c.index);
    else
        c.var->setNull(c.index);
}

// Replaces the accessor's view by a new LONG or LONG RAW view of the element
// (View and its Arr form); the old view goes even when the type is wrong.
template <class View>
View& newChainView(const Cell& c, ExtTypes expected, std::unique_ptr<ODbDataInterface>& owned)
{
    owned.reset();
    if (c.type != expected)
        throw ODbException();
    std::unique_ptr<View> view(new View(*c.var));
    view->setAind(static_cast<int>(c.index));
    View& result = *view;
    owned = std::move(view);
    return result;
}

// The element's NULL mark, read in place: the index is checked already.
bool isNullCell(const Cell& c)
{
    return c.var->getIndicators()[c.index] == -1;
}

void checkNotNull(const Cell& c)
{
    if (isNullCell(c))
        throw ODbException(Messages::AttributeNull, 0, nullptr);
}

} // namespace

// ---- ODbData ----------------------------------------------------------------------

ODbData::ODbData() : var_(nullptr), index_(0) {}

ODbData::ODbData(ODbDynamicVariable& var) : var_(&var), index_(0) {}

ODbData::ODbData(const ODbData& other) : var_(other.var_), index_(other.index_) {}

ODbData& ODbData::operator=(const ODbData& other)
{
    var_ = other.var_;
    index_ = other.index_;
    return *this;
}

ODbData& ODbData::operator=(ODbDynamicVariable& var)
{
    var_ = &var;
    return *this;
}

ODbData::~ODbData() = default;

ODbDynamicVariable& ODbData::variable() const
{
    if (var_ == nullptr)
        throw ODbException();
    return *var_;
}

unsigned char* ODbData::element() const
{
    return cellAt(var_, index_).p;
}

void ODbData::setView(std::unique_ptr<ODbDataInterface> view) const
{
    view_ = std::move(view);
}

void ODbData::markNotNull()
{
    var_->setNotNull(index_);
}

void ODbData::setShortInt(short value)
{
    setLongInt(value);
}

void ODbData::setLongInt(long value)
{
    const Cell c = cellAt(var_, index_);
    entry(codecFor(c.type).fromInteger)(c, value);
    markNotNull();
}

void ODbData::setDouble(double value)
{
    const Cell c = cellAt(var_, index_);
    entry(codecFor(c.type).fromDouble)(c, value);
    markNotNull();
}

void ODbData::setCString(const char* text)
{
    storeText(text, text == nullptr ? 0 : std::strlen(text));
}

void ODbData::setTextOf(const ODbData& source)
{
    const Cell from = cellAt(source.var_, source.index_);
    if (!isNullCell(from)) {
        if (from.type == extFloat && var_ != nullptr && var_->getFtype() == extFloat) {
            const double value = readDouble(from);
            if (hasExactFixedText(value)) {
                setDouble(value);
                return;
            }
        }
        char scratch[ODbDate::TextCapacity];
        const std::string_view text = directText(from, scratch);
        if (text.data() != nullptr) {
            storeText(text.data(), text.size());
            return;
        }
    }
    setCString(source.getCString());
}

void ODbData::setString(const std::string& text)
{
    // The text ends at its first NUL, as every C text does.
    storeText(text.c_str(), std::strlen(text.c_str()));
}

void ODbData::storeText(const char* text, std::size_t length)
{
    const Cell c = cellAt(var_, index_);
    if (length == 0) {
        var_->setNull(index_);
        return;
    }
    entry(codecFor(c.type).fromText)(c, text, length);
    markNotNull();
}

void ODbData::setRaw(const unsigned char* bytes, unsigned int length)
{
    storeBytes(bytes, bytes == nullptr ? 0 : length);
}

void ODbData::storeBytes(const unsigned char* bytes, unsigned int length)
{
    const Cell c = cellAt(var_, index_);
    if (length == 0) {
        var_->setNull(index_);
        return;
    }
    entry(codecFor(c.type).fromBytes)(c, bytes, length);
    markNotNull();
}

void ODbData::setBool(bool value)
{
    const ODbOraGlobal& settings = *ODbOraGlobal::Ptr;
    setCString(value ? settings.getTrueString() : settings.getFalseString());
}

void ODbData::setDate(const ODbDate& date)
{
    unsigned char* p = element();
    if (var_->getFtype() != extDate)
        typeError();
    const unsigned char* source = date.getElement();
    if (source != p)
        std::memmove(p, source, var_->getElemSize());
    markNotNull();
}

void ODbData::setLong(const ODbLong& text)
{
    writeChained(cellAt(var_, index_), extLong, text);
}

void ODbData::setLongRaw(const ODbLongRaw& bytes)
{
    writeChained(cellAt(var_, index_), extLongRaw, bytes);
}

void ODbData::setNull()
{
    variable().setNull(index_); // checks the index
}

short ODbData::getShortInt() const
{
    return static_cast<short>(static_cast<std::uint16_t>(getLongInt()));
}

long ODbData::getLongInt() const
{
    const Cell c = cellAt(var_, index_);
    checkNotNull(c);
    return static_cast<long>(entry(codecFor(c.type).toInteger)(c));
}

double ODbData::getDouble() const
{
    const Cell c = cellAt(var_, index_);
    checkNotNull(c);
    return entry(codecFor(c.type).toDouble)(c);
}

char* ODbData::getCString() const
{
    const Cell c = cellAt(var_, index_);
    if (isNullCell(c)) {
        const char* nullText = ODbOraGlobal::Ptr->getNullString();
        if (nullText == nullptr) {
            text_.clear();
            return nullptr;
        }
        text_.assign(nullText, nullText + std::strlen(nullText) + 1);
        return text_.data();
    }
    return entry(codecFor(c.type).toText)(c, text_);
}

std::string ODbData::getString()
{
    const char* text = getCString();
    return text == nullptr ? std::string() : std::string(text);
}

void ODbData::getRaw(unsigned char** bytes, unsigned int& length) const
{
    const Cell c = cellAt(var_, index_);
    length = 0;
    if (bytes != nullptr)
        *bytes = nullptr;
    if (var_->isNull(index_))
        return;
    const unsigned char* found = nullptr;
    unsigned int count = 0;
    entry(codecFor(c.type).toBytes)(c, raw_, found, count);
    if (bytes != nullptr)
        *bytes = const_cast<unsigned char*>(found);
    length = count;
}

unsigned char* ODbData::getRaw() const
{
    unsigned char* bytes = nullptr;
    unsigned int length = 0;
    getRaw(&bytes, length);
    return bytes;
}

bool ODbData::getBool() const
{
    const char* text = getCString();
    if (var_->getFtype() != extString || text == nullptr || std::strlen(text) != 1)
        typeError();
    const ODbOraGlobal& settings = *ODbOraGlobal::Ptr;
    if (settings.getFalseString() != nullptr && std::strcmp(text, settings.getFalseString()) == 0)
        return false;
    if (settings.getTrueString() != nullptr && std::strcmp(text, settings.getTrueString()) == 0)
        return true;
    typeError();
}

ODbDate& ODbData::getDate() const
{
    const Cell c = cellAt(var_, index_);
    checkNotNull(c);
    if (c.type != extDate)
        typeError();
    std::unique_ptr<ODbDate> date(new ODbDate(*var_, static_cast<int>(index_)));
    ODbDate& result = *date;
    view_ = std::move(date);
    return result;
}

ODbLong& ODbData::getLong() const
{
    return newChainView<ODbLong>(cellAt(var_, index_), extLong, view_);
}

ODbLongRaw& ODbData::getLongRaw() const
{
    return newChainView<ODbLongRaw>(cellAt(var_, index_), extLongRaw, view_);
}

bool ODbData::isNull() const
{
    return variable().isNull(index_); // checks the index
}

unsigned int ODbData::getBufferLength() const
{
    const ODbDynamicVariable& var = variable();
    return entry(codecFor(var.getFtype()).bufferLength)(var.getElemSize());
}

} // namespace Oracle
