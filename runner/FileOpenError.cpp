// The error value for a file that could not be opened.
#include "FileOpenError.h"

#include <cerrno>

namespace Transl {

std::system_error fileOpenError(const std::string& name)
{
    const int reason = errno != 0 ? errno : EIO;
    return std::system_error(reason, std::generic_category(), name);
}

} // namespace Transl
