// A text destination of the interpreter (script output or diagnostics): a file, or
// a console stream for the console name "con". Every piece of text is flushed at
// once, so that whatever was written before a failure stays in the file.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace Transl {

class TextStream {
public:
    // The console device name; it stands for the console stream passed to open.
    static constexpr std::string_view kConsole = "con";

    // Opens (creates or truncates) the named file, or attaches `console` for "con".
    // Throws std::system_error naming the file when it cannot be created.
    void open(const std::string& name, std::ostream& console);
    // Throws as open would, but leaves an existing file's text as it is (a new
    // file is created empty): lets a run check all its files before it empties one.
    static void checkWritable(const std::string& name);
    // Writes to the same destination as `other` (shares its open stream).
    void share(const TextStream& other);
    // Writes text and flushes it; a stream that failed drops text silently.
    void write(std::string_view text);

private:
    // Shared between the interpreters of one run; null while unopened.
    std::shared_ptr<std::ostream> stream_;
};

} // namespace Transl
