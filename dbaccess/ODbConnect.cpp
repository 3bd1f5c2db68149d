// Connect-string handling shared by both back ends.
#include "ODbConnect.h"

#include <cstring>
#include <string>
#include <vector>

#include "ODbException.h"
#include "ODbStatementMessages.h"

namespace Oracle {

namespace {

// A connect string has at most user name, password and database.
constexpr std::size_t MaxConnStrParts = 3;

bool isSeparator(char c)
{
    return c == '/' || c == '@';
}

// The parts between runs of separators; separators at the ends give no part.
std::vector<std::string> splitConnStr(const char* text)
{
    std::vector<std::string> parts;
    for (const char* p = text; *p != '\0';) {
        while (isSeparator(*p))
            ++p;
        const char* start = p;
        while (*p != '\0' && !isSeparator(*p))
            ++p;
        if (p != start)
            parts.emplace_back(start, p);
    }
    return parts;
}

std::unique_ptr<char[]> copyText(const std::string& text)
{
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

} // namespace

ODbConnect::ODbConnect() : connected_(false) {}

ODbConnect::~ODbConnect() = default;

bool ODbConnect::isConnected() const
{
    return connected_;
}

char* ODbConnect::getUserName() const
{
    return userName_.get();
}

char* ODbConnect::getConnStr() const
{
    return connStr_.get();
}

void ODbConnect::parseConnStr(const char* connStr)
{
    if (connStr == nullptr || std::strlen(connStr) > MaxConnStrLength)
        throw ODbException(Messages::ConnStrTooLong, 0, nullptr);
    const std::vector<std::string> parts = splitConnStr(connStr);
    if (parts.size() > MaxConnStrParts)
        throw ODbException(Messages::ConnStrTooManyParts, 0, nullptr);
    if (parts.size() < 2)
        throw ODbException(Messages::ConnStrNoPassword, 0, nullptr);
    connStrFree();
    userName_ = copyText(parts[0]);
    password_ = copyText(parts[1]);
    if (parts.size() == MaxConnStrParts)
        database_ = copyText(parts[2]);
    connStr_ = copyText(connStr);
}

void ODbConnect::connStrFree()
{
    database_.reset();
    userName_.reset();
    password_.reset();
    connStr_.reset();
}

} // namespace Oracle
