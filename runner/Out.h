// The script output stream: everything PRINT and DPRINT write.
#pragma once

#include "TextStream.h"

#include <string>
#include <string_view>

namespace Transl {

class Out {
public:
    Out() = default;
    virtual ~Out() = default;
    Out(const Out&) = delete;
    Out& operator=(const Out&) = delete;

    // Opens the output file, or the console for "con".
    void openOutputStream(const std::string& name) { outputStream_.open(name); }
    // Writes to the destination of another interpreter.
    void shareOutputStream(const Out& other) { outputStream_.share(other.outputStream_); }
    const TextStream& outputStream() const { return outputStream_; }
    // Writes text to the output stream and flushes it.
    void writeOutput(std::string_view text) { outputStream_.write(text); }

private:
    TextStream outputStream_;  // unopened until the run driver opens it
};

} // namespace Transl
