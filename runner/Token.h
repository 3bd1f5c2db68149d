// One scanned token of a Vorlan script, and the vocabularies the tokenizer
// recognises: token kinds, keyword codes and type codes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Transl {

// Kind of a token; the numeric values are part of the language's description.
enum class TokenKind : std::int32_t {
    Delimiter = 0,
    Identifier = 1,
    Number = 2,
    Keyword = 3,
    Word = 4,      // only while a word is being scanned
    String = 5,
    Raw = 6,
    TypeName = 7,
    Semicolon = 8,
    EndOfInput = 9,
    Unknown = 10,  // before scanning has decided
    Dot = 11,
};

// Keyword codes. 3, 4 and 18 are unused and must stay free.
enum class Keyword : std::int32_t {
    None = 0,
    Checkproc = 1,
    Print = 2,
    Connect = 5,
    Dprint = 6,
    Rem = 7,
    Dowhile = 8,
    Ew = 9,
    If = 10,
    Endif = 11,
    Else = 12,
    Disconnect = 13,
    Execute = 14,
    Sql = 15,
    Sp = 16,
    Timeout = 17,
    Fun = 19,
    Efun = 20,
    Out = 21,
};

// Script type codes of the type keywords; 1 to 3 are scalars, 4 to 6 arrays.
enum class TypeCode : std::int32_t {
    None = 0,
    Number = 1,
    Varchar2 = 2,
    Raw = 3,
    RawArr = 4,
    NumberArr = 5,
    Varchar2Arr = 6,
};

struct KeywordEntry {
    std::string_view word;
    Keyword code;
};

// Exact, case-sensitive spellings of the keywords.
inline constexpr std::array<KeywordEntry, 18> kKeywords{{
    {"CHECKPROC", Keyword::Checkproc}, {"PRINT", Keyword::Print},
    {"CONNECT", Keyword::Connect},     {"DPRINT", Keyword::Dprint},
    {"REM", Keyword::Rem},             {"DOWHILE", Keyword::Dowhile},
    {"EW", Keyword::Ew},               {"IF", Keyword::If},
    {"ENDIF", Keyword::Endif},         {"ELSE", Keyword::Else},
    {"DISCONNECT", Keyword::Disconnect}, {"EXECUTE", Keyword::Execute},
    {"SQL", Keyword::Sql},             {"SP", Keyword::Sp},
    {"TIMEOUT", Keyword::Timeout},     {"FUN", Keyword::Fun},
    {"EFUN", Keyword::Efun},           {"OUT", Keyword::Out},
}};

constexpr bool keywordCodesDistinct()
{
    for (std::size_t i = 0; i < kKeywords.size(); ++i)
        for (std::size_t j = i + 1; j < kKeywords.size(); ++j)
            if (kKeywords[i].code == kKeywords[j].code || kKeywords[i].word == kKeywords[j].word)
                return false;
    return true;
}
static_assert(keywordCodesDistinct(), "each keyword has its own spelling and code");

// Spellings of the type keywords, indexed by type code - 1.
inline constexpr std::array<std::string_view, 6> kTypeNames{
    "NUMBER", "VARCHAR2", "RAW", "RAWARR", "NUMBERARR", "VARCHAR2ARR"};
static_assert(kTypeNames.size() == static_cast<std::size_t>(TypeCode::Varchar2Arr),
              "one spelling per type code");

// True for the array types RAWARR, NUMBERARR and VARCHAR2ARR.
constexpr bool isArrayType(TypeCode code)
{
    return code == TypeCode::RawArr || code == TypeCode::NumberArr ||
           code == TypeCode::Varchar2Arr;
}

// One token. `line` is the reader's line number once the token had been scanned.
struct Token {
    std::string text;                     // characters, without the quotes of constants
    TokenKind kind = TokenKind::Unknown;
    Keyword keyword = Keyword::None;      // set for Keyword tokens only
    TypeCode type = TypeCode::None;       // set for TypeName tokens only
    std::int32_t line = 0;

    // True when the text begins with c (the kind is not looked at).
    bool startsWith(char c) const { return !text.empty() && text.front() == c; }
};

} // namespace Transl
