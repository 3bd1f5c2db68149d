// Placeholder scan and the shared part of the SQL describe.
#include "ODbDescribeSql.h"

#include <cctype>
#include <cstring>

namespace Oracle {

namespace {

bool isNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
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

} // namespace

ODbDescribeSql::ODbDescribeSql(ODbConnect&, const char* sql)
    : paramList_(scanPlaceholders(sql)), sqlKind_(SqlUnknown)
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
