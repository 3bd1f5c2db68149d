// Salted password hashes for the logon accounts a database keeps, made with
// PBKDF2-HMAC-SHA256 over OpenSSL's SHA-256 (checked against the standard
// test vectors). Each hash is stored with the parameters
// that made it ("pbkdf2-sha256$<iterations>$<hex digest>"), so the cost can be
// raised later without losing older accounts. Passwords are compared
// case-sensitively and never stored in clear.
#pragma once

#include "base/InternalApi.h"
#include "store/UserAccount.h"

#include <string>

namespace engine {

class ENGINE_INTERNAL_API PasswordHasher {
public:
    // Iterations of new hashes: each guess at a stolen hash costs that many
    // HMAC computations, while a logon still takes a few tens of milliseconds.
    static constexpr unsigned kIterations = 100000;

    // A new account for `name` with a fresh random salt.
    static UserAccount makeAccount(const std::string& name, const std::string& password);
    // Whether `password` is the one `account` was made with, in either form.
    static bool verify(const UserAccount& account, const std::string& password);
    // Whether `account` should be hashed again at its next successful logon:
    // an older form, or fewer iterations than new hashes get.
    static bool isOutdated(const UserAccount& account);
    // The hash of the form databases of earlier builds keep (an iterated
    // SHA-256 over salt and password), for their accounts' first logon.
    static std::string legacyHash(const std::string& salt, const std::string& password);
};

}  // namespace engine
