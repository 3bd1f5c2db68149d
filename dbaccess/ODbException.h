// The library's one exception: a message, a code and, where a statement was
// involved, the statement text.
#pragma once

#include <memory>

#include "VorDbApi.h"

namespace Oracle {

// Thrown by value for every failure of the library. Code 0 marks a precondition
// failure with a fixed message, -1 a failure reported by the call interface,
// 100 a value that does not fit its element.
class VORDB_API ODbException {
public:
    // Size of the message array; longer messages are cut to MessageCapacity - 1.
    static constexpr unsigned int MessageCapacity = 2048;

    ODbException();
    // message and statement text may be null; both are copied.
    ODbException(const char* message, int code, const char* stmText);
    ODbException(const ODbException& other);
    ODbException& operator=(const ODbException& other);
    ~ODbException();

    // The message (never null; empty when none was given).
    char* getErrMsg() const;
    // The statement text, or null.
    char* getStmText() const;
    // The code given at construction.
    int getErrCode() const;

protected:
    // Shared body of the constructors: replaces all three fields.
    void init(const char* message, int code, const char* stmText);

private:
    mutable char message_[MessageCapacity]; // NUL-terminated; mutable because getErrMsg hands out char*
    std::unique_ptr<char[]> stmText_;       // owned copy, or null
    int code_;
};

} // namespace Oracle
