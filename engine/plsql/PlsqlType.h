// The types of the block language: the server's scalar types, PLS_INTEGER and
// BOOLEAN, and a package's own record and index-by table types. A type is
// shared and never changes once made.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace engine {

struct PlsqlType;
using TypeRef = std::shared_ptr<const PlsqlType>;

struct PlsqlType {
    enum class Kind : std::uint8_t { Number, Varchar2, Char, Date, Raw, Long, LongRaw, PlsInteger, Boolean, Record, Table };

    struct Field {
        std::string name;  // dictionary name (upper case when unquoted)
        TypeRef type;
    };

    Kind kind = Kind::Number;
    unsigned size = 0;     // declared length of VARCHAR2, CHAR, RAW; 0 when unconstrained
    int precision = 0;     // NUMBER(p, s); 0 when not declared
    int scale = 0;
    std::string name;      // a record or table type's own name
    TypeRef element;       // Table: the element type
    std::vector<Field> fields;  // Record: its fields in order

    bool isComposite() const { return kind == Kind::Record || kind == Kind::Table; }
    // The server's internal type code a describe reports for this type.
    std::uint16_t internalCode() const;
    // The size a describe reports: the declared size, or for an unconstrained
    // type the largest it can hold (so that a client can size its buffers).
    unsigned describedSize() const;
    // The position of field `name` (dictionary name), or -1.
    int fieldIndex(const std::string& name) const;

    static TypeRef scalar(Kind kind, unsigned size = 0, int precision = 0, int scale = 0);
};

}  // namespace engine
