// Opening and writing of the interpreter's text destinations.
#include "TextStream.h"

#include <fstream>
#include <iostream>

namespace Transl {

void TextStream::open(const std::string& name)
{
    if (name == kConsole) {
        // A stream of its own over standard output's buffer keeps the order of
        // everything written to standard output.
        stream_ = std::make_shared<std::ostream>(std::cout.rdbuf());
        return;
    }
    stream_ = std::make_shared<std::ofstream>(name, std::ios::out | std::ios::trunc);
}

void TextStream::share(const TextStream& other)
{
    stream_ = other.stream_;
}

void TextStream::write(std::string_view text)
{
    if (!stream_)
        return;
    stream_->write(text.data(), static_cast<std::streamsize>(text.size()));
    if (stream_->good())
        stream_->flush();
}

} // namespace Transl
