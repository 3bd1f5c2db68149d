// Conversions of the block language's values.
#include "plsql/PlsqlValue.h"

#include "base/HexText.h"
#include "base/OraError.h"
#include "base/OracleDate.h"
#include "sql/SqlFunctionSupport.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdlib>

namespace engine {
namespace {

constexpr double kLargestExactInteger = 9007199254740992.0;  // 2^53

OraError valueError(const char* detail) { return OraError(OraCode::NumericOrValue, {detail}); }

std::string rawOfHex(const std::string& hex) {
    std::optional<std::string> bytes = bytesOfHex(hex);
    if (!bytes) throw valueError(": hex to raw conversion error");
    return std::move(*bytes);
}

std::string dateText(const PlsqlValue& value) {
    if (value.kind == PlsqlValue::Kind::Date) return value.text;
    ub1 bytes[OracleDate::kSize];
    if (value.kind != PlsqlValue::Kind::Text || !OracleDate::fromText(value.text, bytes))
        throw OraError(OraCode::LiteralFormatMismatch);
    char text[OracleDate::kTextSize];
    return std::string(text, OracleDate::toText(bytes, text));
}

// A number rounded to `scale` decimals and checked against `precision` digits.
double fitNumber(double value, int precision, int scale) {
    if (!std::isfinite(value)) throw OraError(OraCode::NumericOverflow);
    if (precision == 0) return value;
    const double factor = std::pow(10.0, scale);
    const double rounded = std::round(value * factor) / factor;
    if (std::fabs(rounded) >= std::pow(10.0, precision - scale)) throw valueError(": number precision too large");
    return rounded;
}

std::string fitText(std::string text, const PlsqlType& type) {
    if (type.size != 0 && text.size() > type.size) throw valueError(": character string buffer too small");
    if (type.kind == PlsqlType::Kind::Char && type.size != 0 && !text.empty()) text.resize(type.size, ' ');
    return text;
}

}  // namespace

PlsqlValue PlsqlValue::ofNumber(double value) {
    PlsqlValue v;
    v.kind = Kind::Number;
    v.number = value;
    return v;
}

PlsqlValue PlsqlValue::ofText(std::string value) {
    PlsqlValue v;
    if (value.empty()) return v;
    v.kind = Kind::Text;
    v.text = std::move(value);
    return v;
}

PlsqlValue PlsqlValue::ofBoolean(bool value) {
    PlsqlValue v;
    v.kind = Kind::Boolean;
    v.boolean = value;
    return v;
}

PlsqlValue PlsqlValue::emptyOf(const PlsqlType& type) {
    PlsqlValue v;
    if (!type.isComposite()) return v;
    v.kind = type.kind == PlsqlType::Kind::Table ? Kind::Table : Kind::Record;
    v.composite = std::make_shared<PlsqlComposite>();
    v.composite->elementType = type.element;
    for (const PlsqlType::Field& field : type.fields) v.composite->fields.push_back(emptyOf(*field.type));
    return v;
}

PlsqlValue PlsqlValue::of(const ColumnValue& value) {
    switch (value.type()) {
    case SQLITE_INTEGER: return ofNumber(static_cast<double>(value.integer()));
    case SQLITE_FLOAT: return ofNumber(value.real());
    case SQLITE_TEXT: {
        const char* text = value.text();
        return ofText(std::string(text == nullptr ? "" : text, value.bytes()));
    }
    case SQLITE_BLOB: {
        PlsqlValue v;
        const auto* bytes = static_cast<const char*>(value.blob());
        v.text.assign(bytes == nullptr ? "" : bytes, value.bytes());
        if (!v.text.empty()) v.kind = Kind::Raw;
        return v;
    }
    default: return {};
    }
}

bool PlsqlValue::isExactInteger() const {
    return kind == Kind::Number && std::fabs(number) < kLargestExactInteger && number == std::floor(number);
}

PlsqlComposite& PlsqlValue::mutableComposite() {
    if (composite.use_count() > 1) composite = std::make_shared<PlsqlComposite>(*composite);
    return *composite;
}

double PlsqlValue::toNumber() const {
    switch (kind) {
    case Kind::Number: return number;
    case Kind::Text: {
        const char* begin = text.c_str();
        char* end = nullptr;
        const double value = std::strtod(begin, &end);
        while (end != nullptr && *end == ' ') ++end;
        if (end == begin || *end != '\0') throw valueError(": character to number conversion error");
        return value;
    }
    default: throw valueError("");
    }
}

std::string PlsqlValue::toText() const {
    switch (kind) {
    case Kind::Null: return {};
    case Kind::Number:
        if (isExactInteger()) return std::to_string(static_cast<long long>(number));
        return SqlFunctionSupport::numberText(number);
    case Kind::Boolean: return boolean ? "TRUE" : "FALSE";
    case Kind::Raw: return hexOf(text);
    case Kind::Text:
    case Kind::Date: return text;
    default: throw valueError("");
    }
}

PlsqlValue PlsqlValue::convertedTo(const PlsqlType& type) const {
    if (isNull() && !type.isComposite()) return {};
    PlsqlValue out;
    switch (type.kind) {
    case PlsqlType::Kind::Number: return ofNumber(fitNumber(toNumber(), type.precision, type.scale));
    case PlsqlType::Kind::PlsInteger: return ofNumber(fitNumber(std::round(toNumber()), 10, 0));
    case PlsqlType::Kind::Varchar2:
    case PlsqlType::Kind::Char:
    case PlsqlType::Kind::Long: return ofText(fitText(toText(), type));
    case PlsqlType::Kind::Raw:
    case PlsqlType::Kind::LongRaw:
        out.kind = Kind::Raw;
        out.text = kind == Kind::Raw ? text : rawOfHex(toText());
        if (type.size != 0 && out.text.size() > type.size) throw valueError(": raw variable length too long");
        return out;
    case PlsqlType::Kind::Date:
        out.kind = Kind::Date;
        out.text = dateText(*this);
        return out;
    case PlsqlType::Kind::Boolean:
        if (kind != Kind::Boolean) throw valueError("");
        return *this;
    case PlsqlType::Kind::Table:
    case PlsqlType::Kind::Record:
        if (kind != (type.kind == PlsqlType::Kind::Table ? Kind::Table : Kind::Record)) throw valueError("");
        return *this;
    }
    return out;
}

void PlsqlValue::bindTo(BindTarget& target, bool copy) const {
    switch (kind) {
    case Kind::Number:
        if (!std::isfinite(number)) throw OraError(OraCode::NumericOverflow);
        if (isExactInteger())
            target.integer(static_cast<sqlite3_int64>(number));
        else
            target.real(number);
        break;
    case Kind::Text:
    case Kind::Date: target.text(text.data(), text.size(), copy); break;
    case Kind::Raw: target.blob(text.data(), text.size(), copy); break;
    case Kind::Boolean: target.integer(boolean ? 1 : 0); break;
    case Kind::Null: target.null(); break;
    default: throw OraError(OraCode::InconsistentTypes, {"-", kind == Kind::Table ? "TABLE" : "RECORD"});
    }
}

std::optional<int> compareValues(const PlsqlValue& left, const PlsqlValue& right) {
    using Kind = PlsqlValue::Kind;
    if (left.isNull() || right.isNull()) return std::nullopt;
    if (left.kind == Kind::Number || right.kind == Kind::Number) {
        const double a = left.toNumber();
        const double b = right.toNumber();
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    if (left.kind == Kind::Boolean || right.kind == Kind::Boolean) {
        if (left.kind != right.kind) throw OraError(OraCode::NumericOrValue, {""});
        return static_cast<int>(left.boolean) - static_cast<int>(right.boolean);
    }
    const int c = left.toText().compare(right.toText());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace engine
