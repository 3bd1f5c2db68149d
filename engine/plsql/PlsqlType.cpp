// Describe codes and sizes of the block language's types.
#include "plsql/PlsqlType.h"

#include "plsql/PlsqlProgram.h"

#include <array>
#include <string_view>

namespace engine {
namespace {

constexpr unsigned kMaxVarchar = 4000;  // an unconstrained VARCHAR2 or CHAR argument
constexpr unsigned kMaxRaw = 2000;      // an unconstrained RAW argument
constexpr unsigned kNumberSize = 22;    // the server's NUMBER, as a describe reports it
constexpr unsigned kDateSize = 7;

}  // namespace

std::uint16_t PlsqlType::internalCode() const {
    switch (kind) {
    case Kind::Number: return 2;
    case Kind::Varchar2: return 1;
    case Kind::Char: return 96;
    case Kind::Date: return 12;
    case Kind::Raw: return 23;
    case Kind::Long: return 8;
    case Kind::LongRaw: return 24;
    case Kind::PlsInteger: return 3;
    case Kind::Boolean: return 252;
    case Kind::Record: return 250;
    case Kind::Table: return 251;
    }
    return 0;
}

unsigned PlsqlType::describedSize() const {
    switch (kind) {
    case Kind::Varchar2:
    case Kind::Char: return size != 0 ? size : kMaxVarchar;
    case Kind::Raw: return size != 0 ? size : kMaxRaw;
    case Kind::Number:
    case Kind::PlsInteger: return kNumberSize;
    case Kind::Date: return kDateSize;
    default: return 0;
    }
}

int PlsqlType::fieldIndex(const std::string& fieldName) const {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name == fieldName) return static_cast<int>(i);
    }
    return -1;
}

int predefinedExceptionNumber(const std::string& name) {
    struct Predefined {
        std::string_view name;
        int number;
    };
    static constexpr std::array<Predefined, 12> kPredefined{{
        {"DUP_VAL_ON_INDEX", 1}, {"TIMEOUT_ON_RESOURCE", 51}, {"INVALID_CURSOR", 1001}, {"NOT_LOGGED_ON", 1012},
        {"LOGIN_DENIED", 1017}, {"NO_DATA_FOUND", 1403}, {"TOO_MANY_ROWS", 1422}, {"ZERO_DIVIDE", 1476},
        {"INVALID_NUMBER", 1722}, {"STORAGE_ERROR", 6500}, {"PROGRAM_ERROR", 6501}, {"VALUE_ERROR", 6502},
    }};
    for (const Predefined& entry : kPredefined) {
        if (entry.name == name) return entry.number;
    }
    return 0;
}

TypeRef PlsqlType::scalar(Kind kind, unsigned size, int precision, int scale) {
    auto type = std::make_shared<PlsqlType>();
    type->kind = kind;
    type->size = size;
    type->precision = precision;
    type->scale = scale;
    return type;
}

}  // namespace engine
