// The error stream of an interpreter: where its diagnostics and internal-failure
// reports go.
#pragma once

#include "TextStream.h"

#include <iostream>
#include <string>
#include <string_view>

namespace Transl {

class ErrorOut {
public:
    ErrorOut() = default;
    virtual ~ErrorOut() = default;
    ErrorOut(const ErrorOut&) = delete;
    ErrorOut& operator=(const ErrorOut&) = delete;

    // Opens the error file, or standard error for "con": diagnostics stay apart from
    // what the script prints. Throws std::system_error when the file cannot be created.
    void openErrorStream(const std::string& name) { errorStream_.open(name, std::cerr); }
    // Sends diagnostics to the destination of another interpreter.
    void shareErrorStream(const ErrorOut& other) { errorStream_.share(other.errorStream_); }
    void shareErrorStream(const TextStream& stream) { errorStream_.share(stream); }
    // Writes text to the error stream and flushes it.
    void writeError(std::string_view text) { errorStream_.write(text); }

private:
    TextStream errorStream_;  // unopened until the run driver opens it
};

} // namespace Transl
