// Operating-system error texts and the unexpected-exception handler.
#include "SysError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <unistd.h>

namespace Utils {

namespace {

// Longest system message kept; glibc's longest is well below it.
constexpr std::size_t errorTextCapacity = 256;

// strerror_r comes in two shapes; the GNU one returns the text, which need not
// be the buffer.
[[maybe_unused]] const char* strerrorResult(char* text, const char*) { return text; }
[[maybe_unused]] const char* strerrorResult(int failed, const char* buffer) { return failed ? "" : buffer; }

// Installs the handler while the deliverable's static objects are constructed.
struct HandlerInstaller {
    HandlerInstaller() { std::set_terminate(&SysError::unexpectedHandler); }
};
const HandlerInstaller installer;

} // namespace

std::string SysError::lastErrorText() { return errorText(errno); }

std::string SysError::errorText(int errorNumber)
{
    char buffer[errorTextCapacity] = {};
    return strerrorResult(strerror_r(errorNumber, buffer, sizeof buffer), buffer);
}

void SysError::throwLastError(ContextKey context) { throwError(context, errno); }

void SysError::throwError(ContextKey context, int errorNumber)
{
    throw ResourceFailure(context, errorText(errorNumber));
}

void SysError::showMessage(const char* text)
{
    // write(2) rather than a stream: this also runs inside the terminate handler.
    const std::size_t length = std::strlen(text);
    std::size_t written = 0;
    while (written < length) {
        const ssize_t n = ::write(STDERR_FILENO, text + written, length - written);
        if (n <= 0 && errno != EINTR)
            return;
        if (n > 0)
            written += static_cast<std::size_t>(n);
    }
}

void SysError::unexpectedHandler()
{
    showMessage("Unexpected exception.\n");
    std::abort();
}

} // namespace Utils
