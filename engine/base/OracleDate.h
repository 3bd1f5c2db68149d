// The server's 7-byte DATE form and the text form the engine stores dates in
// ('YYYY-MM-DD HH24:MI:SS').
//
// Bytes: century + 100, year of century + 100, month, day, hour + 1,
// minute + 1, second + 1. Years before 1 AD have a century byte below 100.
#pragma once

#include "base/InternalApi.h"
#include "oratypes.h"

#include <string>
#include <string_view>

namespace engine {

class ENGINE_INTERNAL_API OracleDate {
public:
    static constexpr std::size_t kSize = 7;

    struct Fields {
        int year, month, day, hour, minute, second;
    };

    // Room for the longest stored text ('-4712-01-01 00:00:00') and its NUL.
    static constexpr std::size_t kTextSize = 24;

    // Writes the stored text of `bytes` to `text` (kTextSize bytes) and
    // returns its length; throws ORA-01861 when a field is out of range.
    static std::size_t toText(const ub1* bytes, char* text);
    // Parses 'YYYY-MM-DD[ HH24:MI:SS]' (a leading '-' for years BC) into
    // `bytes`; false when `text` is not such a date.
    static bool fromText(std::string_view text, ub1* bytes);
    // The fields of 'YYYY-MM-DD' or 'YYYY-MM-DD HH24:MI:SS' exactly as laid
    // out (no sign, no blanks), read from their fixed places without checking
    // their ranges; false, and `fields` unchanged, for any other text.
    static bool readLayout(std::string_view text, Fields& fields);
};

}  // namespace engine
