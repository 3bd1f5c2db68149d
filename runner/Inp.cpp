// Character reading with CR LF folding and line counting.
#include "Inp.h"

#include "FileOpenError.h"
#include "Limits.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace Transl {

namespace {

bool isWhitespace(int c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

void Inp::openFile(const std::string& path)
{
    // A folder opens for reading on this platform but reads nothing; it is no script.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        errno = EISDIR;
        throw fileOpenError(path);
    }
    errno = 0;
    // Binary mode: the CR LF pairs are folded here, the same on every platform.
    auto file = std::make_unique<std::ifstream>(path, std::ios::in | std::ios::binary);
    if (!*file)
        throw fileOpenError(path);
    start(std::move(file));
}

void Inp::openText(const std::string& text)
{
    start(std::make_unique<std::istringstream>(text, std::ios::in | std::ios::binary));
}

void Inp::start(std::unique_ptr<std::istream> input)
{
    input_ = std::move(input);
    line_ = 1;
    lookAhead_ = readChar();
}

int Inp::readChar()
{
    if (!input_ || !*input_)
        return kEnd;
    std::streambuf* buffer = input_->rdbuf();
    int c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) {
        input_->setstate(std::ios::eofbit);
        return kEnd;
    }
    if (c == '\r' && buffer->sgetc() == '\n') {
        buffer->sbumpc();
        c = '\n';
    }
    return static_cast<unsigned char>(c);
}

void Inp::advanceChar()
{
    if (lookAhead_ == kEnd)
        return;
    if (lookAhead_ == '\n' && line_ < kMaxLineNumber)
        ++line_;
    lookAhead_ = readChar();
}

bool Inp::skipWhitespace()
{
    bool skipped = false;
    while (isWhitespace(lookAhead_)) {
        advanceChar();
        skipped = true;
    }
    return skipped;
}

} // namespace Transl
