// The conversions of every external datatype the engine supports.
#include "base/ValueCodec.h"

#include "base/CallError.h"
#include "base/HexText.h"
#include "base/OraError.h"
#include "base/OracleDate.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace engine {
namespace {

// ---- reading client buffers -------------------------------------------------

template <typename T>
T load(const ub1* data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

template <typename T>
void store(ub1* data, T value) {
    std::memcpy(data, &value, sizeof value);
}

void bindTextOrNull(BindTarget& to, const ub1* text, std::size_t length, bool copy) {
    if (length == 0) {
        to.null();
        return;
    }
    to.text(reinterpret_cast<const char*>(text), length, copy);
}

void bindBlobOrNull(BindTarget& to, const ub1* bytes, std::size_t length, bool copy) {
    if (length == 0) {
        to.null();
        return;
    }
    to.blob(bytes, length, copy);
}

// Length of an element whose length comes from the length array or, without
// one, is the whole buffer.
std::size_t explicitLength(const BindElement& e) {
    const long length = e.length >= 0 ? e.length : e.capacity;
    if (length < 0 || length > e.capacity) throw CallError(CallCode::InvalidLength);
    return static_cast<std::size_t>(length);
}

// Length stored in a prefix of `Prefix` bytes, checked against the buffer.
template <typename Prefix>
std::size_t prefixedLength(const BindElement& e) {
    if (e.capacity < static_cast<sb4>(sizeof(Prefix))) throw CallError(CallCode::InvalidLength);
    const auto length = static_cast<long long>(load<Prefix>(e.data));
    if (length < 0 || length > e.capacity - static_cast<long long>(sizeof(Prefix))) {
        throw CallError(CallCode::InvalidLength);
    }
    return static_cast<std::size_t>(length);
}

void bindString(BindTarget& to, const BindElement& e) {
    const std::size_t capacity = e.capacity > 0 ? static_cast<std::size_t>(e.capacity) : 0;
    const void* end = std::memchr(e.data, '\0', capacity);
    const std::size_t length = end ? static_cast<const ub1*>(end) - e.data : capacity;
    bindTextOrNull(to, e.data, length, e.copy);
}

void bindChars(BindTarget& to, const BindElement& e) {
    bindTextOrNull(to, e.data, explicitLength(e), e.copy);
}

template <typename Prefix>
void bindPrefixedChars(BindTarget& to, const BindElement& e) {
    bindTextOrNull(to, e.data + sizeof(Prefix), prefixedLength<Prefix>(e), e.copy);
}

void bindBytes(BindTarget& to, const BindElement& e) {
    bindBlobOrNull(to, e.data, explicitLength(e), e.copy);
}

template <typename Prefix>
void bindPrefixedBytes(BindTarget& to, const BindElement& e) {
    bindBlobOrNull(to, e.data + sizeof(Prefix), prefixedLength<Prefix>(e), e.copy);
}

// A binary float the server cannot hold (an infinity or NaN) is refused, so
// that it is never stored: SQLite would keep an infinity and turn NaN into NULL.
void bindFiniteDouble(BindTarget& to, double value) {
    if (!std::isfinite(value)) throw OraError(OraCode::NumericOverflow);
    to.real(value);
}

void bindFloat(BindTarget& to, const BindElement& e) {
    if (e.capacity == sizeof(float)) {
        bindFiniteDouble(to, load<float>(e.data));
    } else if (e.capacity == sizeof(double)) {
        bindFiniteDouble(to, load<double>(e.data));
    } else {
        throw CallError(CallCode::InvalidLength);
    }
}

template <bool Signed>
void bindInteger(BindTarget& to, const BindElement& e) {
    using I8 = std::conditional_t<Signed, std::int8_t, std::uint8_t>;
    using I16 = std::conditional_t<Signed, std::int16_t, std::uint16_t>;
    using I32 = std::conditional_t<Signed, std::int32_t, std::uint32_t>;
    switch (e.capacity) {
    case 1: to.integer(load<I8>(e.data)); break;
    case 2: to.integer(load<I16>(e.data)); break;
    case 4: to.integer(load<I32>(e.data)); break;
    case 8:
        if (Signed) {
            to.integer(load<std::int64_t>(e.data));
        } else {
            to.real(static_cast<double>(load<std::uint64_t>(e.data)));
        }
        break;
    default: throw CallError(CallCode::InvalidLength);
    }
}

void bindDate(BindTarget& to, const BindElement& e) {
    if (e.capacity < static_cast<sb4>(OracleDate::kSize)) throw CallError(CallCode::InvalidLength);
    char text[OracleDate::kTextSize];
    const std::size_t length = OracleDate::toText(e.data, text);
    to.text(text, length, true);
}

// ---- reading columns --------------------------------------------------------

std::string formatNumber(double value) {
    char text[40];
    if (value == 0) return "0";
    if (std::nearbyint(value) == value && std::fabs(value) < 1e15) {
        std::snprintf(text, sizeof text, "%.0f", value);
    } else {
        std::snprintf(text, sizeof text, "%.15g", value);
    }
    return text;
}

double parseNumber(const char* text) {
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    while (end != text && *end == ' ') ++end;
    if (end == text || *end != '\0' || errno == ERANGE) throw OraError(OraCode::InvalidNumber);
    return value;
}

double columnNumber(const ColumnValue& v, int type) {
    switch (type) {
    case SQLITE_INTEGER: return static_cast<double>(v.integer());
    case SQLITE_FLOAT: return v.real();
    case SQLITE_TEXT: return parseNumber(v.text());
    default: throw CallError(CallCode::InconsistentTypes, ": expected NUMBER got BINARY");
    }
}

// Copies up to `room` bytes of `value` to `to`; records lengths and truncation.
void copyOut(std::string_view value, ub1* to, std::size_t room, FetchTarget& t) {
    const std::size_t n = std::min(value.size(), room);
    std::memcpy(to, value.data(), n);
    t.written = static_cast<ub4>(n);
    t.fullLength = static_cast<ub4>(value.size());
    t.truncated = n < value.size();
}

std::size_t roomAfter(const FetchTarget& t, std::size_t overhead) {
    if (t.capacity < static_cast<sb4>(overhead)) throw CallError(CallCode::InvalidLength);
    return static_cast<std::size_t>(t.capacity) - overhead;
}

void fetchString(const ColumnValue& v, FetchTarget& t) {
    std::string scratch;
    const std::size_t room = roomAfter(t, 1);
    copyOut(ValueCodec::columnText(v, t.columnType, scratch), t.data, room, t);
    t.data[t.written] = '\0';
}

void fetchChars(const ColumnValue& v, FetchTarget& t) {
    std::string scratch;
    copyOut(ValueCodec::columnText(v, t.columnType, scratch), t.data, roomAfter(t, 0), t);
}

// CHAR: blank-padded to the buffer's size, as the server pads fixed-length text.
void fetchFixedChars(const ColumnValue& v, FetchTarget& t) {
    fetchChars(v, t);
    std::memset(t.data + t.written, ' ', static_cast<std::size_t>(t.capacity) - t.written);
    t.written = static_cast<ub4>(t.capacity);
}

template <typename Prefix>
void fetchPrefixedChars(const ColumnValue& v, FetchTarget& t) {
    std::string scratch;
    copyOut(ValueCodec::columnText(v, t.columnType, scratch), t.data + sizeof(Prefix),
            roomAfter(t, sizeof(Prefix)), t);
    store<Prefix>(t.data, static_cast<Prefix>(t.written));
}

void fetchBytes(const ColumnValue& v, FetchTarget& t) {
    std::string scratch;
    copyOut(ValueCodec::columnBytes(v, scratch), t.data, roomAfter(t, 0), t);
}

template <typename Prefix>
void fetchPrefixedBytes(const ColumnValue& v, FetchTarget& t) {
    std::string scratch;
    copyOut(ValueCodec::columnBytes(v, scratch), t.data + sizeof(Prefix), roomAfter(t, sizeof(Prefix)), t);
    store<Prefix>(t.data, static_cast<Prefix>(t.written));
}

void fetchFloat(const ColumnValue& v, FetchTarget& t) {
    const double value = columnNumber(v, t.columnType);
    if (t.capacity == sizeof(float)) {
        store<float>(t.data, static_cast<float>(value));
    } else if (t.capacity == sizeof(double)) {
        store<double>(t.data, value);
    } else {
        throw CallError(CallCode::InvalidLength);
    }
    t.written = static_cast<ub4>(t.capacity);
}

// The column as an integer, rounded to the nearest as the server converts.
long double columnInteger(const ColumnValue& v, int type) {
    if (type == SQLITE_INTEGER) return static_cast<long double>(v.integer());
    return std::round(static_cast<long double>(columnNumber(v, type)));
}

template <typename T>
void storeInteger(ub1* data, long double value) {
    if (value < static_cast<long double>(std::numeric_limits<T>::min()) ||
        value > static_cast<long double>(std::numeric_limits<T>::max())) {
        throw CallError(CallCode::IntegerOverflow);
    }
    store<T>(data, static_cast<T>(value));
}

template <bool Signed>
void fetchInteger(const ColumnValue& v, FetchTarget& t) {
    const long double value = columnInteger(v, t.columnType);
    switch (t.capacity) {
    case 1: storeInteger<std::conditional_t<Signed, std::int8_t, std::uint8_t>>(t.data, value); break;
    case 2: storeInteger<std::conditional_t<Signed, std::int16_t, std::uint16_t>>(t.data, value); break;
    case 4: storeInteger<std::conditional_t<Signed, std::int32_t, std::uint32_t>>(t.data, value); break;
    case 8: storeInteger<std::conditional_t<Signed, std::int64_t, std::uint64_t>>(t.data, value); break;
    default: throw CallError(CallCode::InvalidLength);
    }
    t.written = static_cast<ub4>(t.capacity);
}

void fetchDate(const ColumnValue& v, FetchTarget& t) {
    roomAfter(t, OracleDate::kSize);
    if (t.columnType != SQLITE_TEXT) {
        throw CallError(CallCode::InconsistentTypes, ": expected DATE got NUMBER");
    }
    const char* chars = v.text();
    const std::string_view text(chars, v.bytes());
    if (!OracleDate::fromText(text, t.data)) throw OraError(OraCode::LiteralFormatMismatch);
    t.written = OracleDate::kSize;
}

constexpr ValueCodec kCodecs[] = {
    {SQLT_CHR, bindChars, fetchChars},
    {SQLT_INT, bindInteger<true>, fetchInteger<true>},
    {SQLT_FLT, bindFloat, fetchFloat},
    {SQLT_STR, bindString, fetchString},
    {SQLT_LNG, bindChars, fetchChars},
    {SQLT_VCS, bindPrefixedChars<ub2>, fetchPrefixedChars<ub2>},
    {SQLT_DAT, bindDate, fetchDate},
    {SQLT_VBI, bindPrefixedBytes<ub2>, fetchPrefixedBytes<ub2>},
    {SQLT_BIN, bindBytes, fetchBytes},
    {SQLT_LBI, bindBytes, fetchBytes},
    {SQLT_UIN, bindInteger<false>, fetchInteger<false>},
    {SQLT_LVC, bindPrefixedChars<sb4>, fetchPrefixedChars<sb4>},
    {SQLT_LVB, bindPrefixedBytes<sb4>, fetchPrefixedBytes<sb4>},
    {SQLT_AFC, bindChars, fetchFixedChars},
    {SQLT_AVC, bindString, fetchString},
};

}  // namespace

const ValueCodec& ValueCodec::forType(ub2 dty) {
    for (const ValueCodec& codec : kCodecs) {
        if (codec.type == dty) return codec;
    }
    throw CallError(CallCode::UnsupportedType);
}

void ValueCodec::fetch(const ColumnValue& value, FetchTarget& target) const {
    if (target.columnType == SQLITE_FLOAT && !std::isfinite(value.real())) throw OraError(OraCode::NumericOverflow);
    fetchFunction(value, target);
}

std::string_view ValueCodec::columnText(const ColumnValue& v, int type, std::string& scratch) {
    switch (type) {
    case SQLITE_INTEGER: scratch = std::to_string(v.integer()); return scratch;
    case SQLITE_FLOAT: scratch = formatNumber(v.real()); return scratch;
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const ub1*>(v.blob());
        scratch = hexOf(std::string_view(reinterpret_cast<const char*>(bytes), v.bytes()));
        return scratch;
    }
    default: {
        const char* text = v.text();
        return std::string_view(text ? text : "", v.bytes());
    }
    }
}

std::string_view ValueCodec::columnBytes(const ColumnValue& v, std::string& scratch) {
    const int type = v.type();
    if (type != SQLITE_BLOB) return columnText(v, type, scratch);
    const auto* bytes = static_cast<const char*>(v.blob());
    return std::string_view(bytes ? bytes : "", v.bytes());
}

}  // namespace engine
