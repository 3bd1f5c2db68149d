// One logon account as a database keeps it.
#pragma once

#include <string>

namespace engine {

struct UserAccount {
    std::string name;  // dictionary name, upper case for an unquoted user name
    std::string salt;  // bytes
    // The password's hash with the parameters that made it (PasswordHasher.h);
    // in databases of earlier builds, the bare bytes of the older hash form.
    std::string hash;
};

}  // namespace engine
