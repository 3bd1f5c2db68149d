// Operating-system error texts, the raising of ResourceFailure right after a
// failed call, and the handler for exceptions that nothing may let through.
#pragma once

#include <string>

#include "Exception.h"

namespace Utils {

class VOR_UTILS_VISIBLE SysError {
public:
    // The system's message for the calling thread's last error (errno).
    static std::string lastErrorText();
    // The system's message for an error number.
    static std::string errorText(int errorNumber);

    // Throws ResourceFailure for the operation with the last error's text; call it
    // immediately after the failing call, before anything can change errno.
    [[noreturn]] static void throwLastError(ContextKey context);
    // The same for services that return their error number instead of setting errno.
    [[noreturn]] static void throwError(ContextKey context, int errorNumber);

    // Shows a message to the user: standard error on this platform.
    static void showMessage(const char* text);

    // Terminate handler: shows "Unexpected exception." and aborts. Installed while
    // each deliverable is loaded.
    [[noreturn]] static void unexpectedHandler();
};

} // namespace Utils
