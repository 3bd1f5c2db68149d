// Character reader of the script: one character of look-ahead and the current line
// number, over a file or an in-memory text (the body of a user function).
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <string>

namespace Transl {

class Inp {
public:
    // Look-ahead value at the end of the input.
    static constexpr int kEnd = -1;

    Inp() = default;
    virtual ~Inp() = default;
    Inp(const Inp&) = delete;
    Inp& operator=(const Inp&) = delete;

    // Reads the named file. Throws std::system_error naming the file when it
    // cannot be opened (a folder included).
    void openFile(const std::string& path);
    // Reads the given text.
    void openText(const std::string& text);

    // The character at the reading position (0 to 255), or kEnd.
    int peekChar() const { return lookAhead_; }
    // Moves one character on. Line ends arrive as one '\n' whether the input has
    // LF or CR LF; the line number grows once the reader has moved past one.
    void advanceChar();
    // Advances past blanks, tabs, CR and LF; tells whether anything was skipped.
    bool skipWhitespace();
    // Line of the reading position, from 1.
    std::int32_t lineNumber() const { return line_; }

private:
    void start(std::unique_ptr<std::istream> input);
    int readChar();

    std::unique_ptr<std::istream> input_;  // null until opened: an empty input
    int lookAhead_ = kEnd;
    std::int32_t line_ = 1;
};

} // namespace Transl
