#include "ODbException.h"

#include <cstring>

namespace Oracle {

namespace {

// Length of text cut to at most limit bytes without splitting a UTF-8 sequence.
std::size_t cutLength(const char* text, std::size_t limit)
{
    std::size_t length = ::strnlen(text, limit + 1);
    if (length <= limit)
        return length;
    length = limit;
    // Back off continuation bytes (10xxxxxx) so that no character is cut in half.
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    return length;
}

std::unique_ptr<char[]> copyText(const char* text)
{
    if (text == nullptr)
        return nullptr;
    const std::size_t length = std::strlen(text);
    std::unique_ptr<char[]> copy(new char[length + 1]);
    std::memcpy(copy.get(), text, length + 1);
    return copy;
}

} // namespace

ODbException::ODbException()
{
    init(nullptr, 0, nullptr);
}

ODbException::ODbException(const char* message, int code, const char* stmText)
{
    init(message, code, stmText);
}

ODbException::ODbException(const ODbException& other)
{
    init(other.message_, other.code_, other.stmText_.get());
}

ODbException& ODbException::operator=(const ODbException& other)
{
    if (this != &other)
        init(other.message_, other.code_, other.stmText_.get());
    return *this;
}

ODbException::~ODbException() = default;

void ODbException::init(const char* message, int code, const char* stmText)
{
    // Copy the statement first: if that allocation fails, nothing has changed.
    std::unique_ptr<char[]> text = copyText(stmText);
    const std::size_t length = message == nullptr ? 0 : cutLength(message, MessageCapacity - 1);
    if (length > 0)
        std::memmove(message_, message, length);
    message_[length] = '\0';
    stmText_ = std::move(text);
    code_ = code;
}

char* ODbException::getErrMsg() const
{
    return message_;
}

char* ODbException::getStmText() const
{
    return stmText_.get();
}

int ODbException::getErrCode() const
{
    return code_;
}

} // namespace Oracle
