// Placeholder scan and the shared part of the SQL describe.
#include "ODbDescribeSql.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

#include "ODbException.h"
#include "ODbStatementMessages.h"

namespace Oracle {

namespace {

bool isNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// A character of an unquoted SQL name.
bool isSqlNameChar(char c)
{
    return isNameChar(c) || c == '$' || c == '#';
}

// The position just after the quoted text that starts at `p` (on its quote);
// a doubled quote inside a literal simply starts the next quoted run.
const char* skipQuoted(const char* p)
{
    const char* end = std::strchr(p + 1, *p);
    return end != nullptr ? end + 1 : p + std::strlen(p);
}

const char* skipLineComment(const char* p)
{
    const char* end = std::strchr(p, '\n');
    return end != nullptr ? end : p + std::strlen(p);
}

const char* skipBlockComment(const char* p)
{
    const char* end = std::strstr(p + 2, "*/");
    return end != nullptr ? end + 2 : p + std::strlen(p);
}

// The position after the text that starts at `p` and is not SQL to scan
// (a literal, a quoted identifier or a comment); `p` itself when it is SQL.
const char* skipNonSql(const char* p)
{
    if (*p == '\'' || *p == '"')
        return skipQuoted(p);
    if (p[0] == '-' && p[1] == '-')
        return skipLineComment(p);
    if (p[0] == '/' && p[1] == '*')
        return skipBlockComment(p);
    return p;
}

// The statement keywords, each beside the kind it gives.
struct Keyword {
    const char* text;
    SQLKind kind;
};
constexpr Keyword Keywords[] = {
    {"SELECT", SqlSelect}, {"UPDATE", SqlUpdate}, {"DELETE", SqlDelete},
    {"INSERT", SqlInsert}, {"CREATE", SqlCreate}, {"DROP", SqlDrop},
    {"ALTER", SqlAlter},   {"BEGIN", SqlBegin},   {"DECLARE", SqlDeclare},
};
static_assert(std::size(Keywords) == SqlDeclare, "one keyword per statement kind");

// The text with literals, quoted identifiers and comments blanked out (so no
// keyword runs across their place), in upper case.
std::string plainUpperSql(const char* sql)
{
    std::string plain;
    for (const char* p = sql; *p != '\0';) {
        const char* after = skipNonSql(p);
        if (after != p) {
            plain += ' ';
            p = after;
            continue;
        }
        plain += static_cast<char>(std::toupper(static_cast<unsigned char>(*p++)));
    }
    return plain;
}

// The first place of `word` in `text` as a whole word (a name such as
// UPDATED_AT does not hold the keyword UPDATE); npos when there is none.
std::size_t findWord(const std::string& text, const char* word)
{
    const std::size_t length = std::strlen(word);
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const bool startsWord = at == 0 || !isSqlNameChar(text[at - 1]);
        const bool endsWord = at + length == text.size() || !isSqlNameChar(text[at + length]);
        if (startsWord && endsWord)
            return at;
    }
    return std::string::npos;
}

const char* validSql(const char* sql)
{
    if (sql == nullptr || *sql == '\0')
        throw ODbException(Messages::SqlNotValid, 0, nullptr);
    return sql;
}

} // namespace

ODbDescribeSql::ODbDescribeSql(ODbConnect&, const char* sql)
    : paramList_(scanPlaceholders(validSql(sql))), sqlKind_(SqlUnknown), duplicates_(1)
{
}

ODbDescribeSql::~ODbDescribeSql() = default;

const std::vector<std::string>& ODbDescribeSql::getParamList() const
{
    return paramList_;
}

SQLKind ODbDescribeSql::getSqlKind()
{
    return sqlKind_;
}

void ODbDescribeSql::setSqlKind(SQLKind kind)
{
    sqlKind_ = kind;
}

SQLKind ODbDescribeSql::kindFromText(const char* sql)
{
    const std::string plain = plainUpperSql(sql != nullptr ? sql : "");
    SQLKind kind = SqlDeclare;
    std::size_t first = std::string::npos;
    for (const Keyword& keyword : Keywords) {
        const std::size_t at = findWord(plain, keyword.text);
        if (at < first) {
            first = at;
            kind = keyword.kind;
        }
    }
    return kind;
}

void ODbDescribeSql::addColumn(ODbColumnDesc desc, int position)
{
    std::string unique = desc.name;
    if (getNumcols().count(unique) != 0)
        unique += "_" + std::to_string(duplicates_++);
    std::strncpy(desc.uniqueName, unique.c_str(), ODbColumnDesc::NameCapacity - 1);
    desc.position = static_cast<short>(position);
    getNumcols()[desc.uniqueName] = position;
    getDescription()[position] = desc;
}

std::vector<std::string> ODbDescribeSql::scanPlaceholders(const char* sql)
{
    std::vector<std::string> names;
    const char* p = sql != nullptr ? sql : "";
    while (*p != '\0') {
        const char* after = skipNonSql(p);
        if (after != p) {
            p = after;
            continue;
        }
        if (*p++ != ':')
            continue;
        const char* start = p;
        while (isNameChar(*p))
            ++p;
        if (p != start)
            names.emplace_back(start, p);
    }
    return names;
}

} // namespace Oracle
