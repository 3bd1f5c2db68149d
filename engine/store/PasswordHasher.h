// Salted, iterated password hashes for the logon accounts a database keeps.
// Passwords are compared case-sensitively and never stored in clear.
#pragma once

#include "Catalog.h"

#include <string>

namespace engine {

class PasswordHasher {
public:
    // A new account for `name` with a fresh random salt.
    static UserAccount makeAccount(const std::string& name, const std::string& password);
    // Whether `password` is the one `account` was made with.
    static bool verify(const UserAccount& account, const std::string& password);

private:
    static std::string hash(const std::string& salt, const std::string& password);
};

}  // namespace engine
