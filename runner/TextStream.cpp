// Opening and writing of the interpreter's text destinations.
#include "TextStream.h"

#include "FileOpenError.h"

#include <cerrno>
#include <fstream>

namespace Transl {

void TextStream::open(const std::string& name, std::ostream& console)
{
    if (name == kConsole) {
        // A stream of its own over the console's buffer keeps the order of
        // everything written to that console.
        stream_ = std::make_shared<std::ostream>(console.rdbuf());
        return;
    }
    errno = 0;
    auto file = std::make_shared<std::ofstream>(name, std::ios::out | std::ios::trunc);
    if (!*file)
        throw fileOpenError(name);
    stream_ = std::move(file);
}

void TextStream::checkWritable(const std::string& name)
{
    if (name == kConsole)
        return;
    errno = 0;
    if (!std::ofstream(name, std::ios::out | std::ios::app))
        throw fileOpenError(name);
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
