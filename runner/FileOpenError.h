// The failure to open one of the run's files, told with the file's name and the
// system's reason, so the command line can refuse the run before anything runs.
#pragma once

#include <string>
#include <system_error>

namespace Transl {

// A std::system_error for `name` from the current errno (EIO when the library
// left errno unset); its what() reads "<name>: <reason>".
std::system_error fileOpenError(const std::string& name);

} // namespace Transl
