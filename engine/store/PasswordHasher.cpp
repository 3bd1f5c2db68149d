// Password hashing through OpenSSL's libcrypto.
#include "store/PasswordHasher.h"

#include "base/HexText.h"
#include "base/OraError.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

#include <charconv>
#include <optional>
#include <string_view>

namespace engine {
namespace {

constexpr std::string_view kScheme = "pbkdf2-sha256$";
constexpr std::size_t kSaltBytes = 16;    // enough that no two accounts share a salt by chance
constexpr std::size_t kDigestBytes = 32;  // SHA-256's output
constexpr int kLegacyRounds = 4096;       // the iterations of the older form

struct StoredHash {
    unsigned iterations = 0;
    std::string digest;  // bytes
};

// The parameters and digest of a hash in the stored form; none for the older form.
std::optional<StoredHash> parse(std::string_view stored) {
    if (stored.substr(0, kScheme.size()) != kScheme) return std::nullopt;
    const std::string_view rest = stored.substr(kScheme.size());
    const std::size_t dollar = rest.find('$');
    StoredHash hash;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), hash.iterations);
    if (dollar == std::string_view::npos || error != std::errc() || end != rest.data() + dollar ||
        hash.iterations == 0)
        return std::nullopt;
    std::optional<std::string> digest = bytesOfHex(rest.substr(dollar + 1));
    if (!digest || digest->size() != kDigestBytes) return std::nullopt;
    hash.digest = std::move(*digest);
    return hash;
}

std::string pbkdf2(const std::string& salt, const std::string& password, unsigned iterations) {
    std::string digest(kDigestBytes, '\0');
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                          reinterpret_cast<const unsigned char*>(salt.data()), static_cast<int>(salt.size()),
                          static_cast<int>(iterations), EVP_sha256(), static_cast<int>(digest.size()),
                          reinterpret_cast<unsigned char*>(digest.data())) != 1)
        throw OraError(OraCode::InternalError, {"password hash"});
    return digest;
}

std::string sha256(const std::string& data) {
    std::string digest(SHA256_DIGEST_LENGTH, '\0');
    SHA256(reinterpret_cast<const unsigned char*>(data.data()), data.size(),
           reinterpret_cast<unsigned char*>(digest.data()));
    return digest;
}

// Compared in full, so the time taken does not reveal how much matched.
bool sameBytes(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

UserAccount PasswordHasher::makeAccount(const std::string& name, const std::string& password) {
    UserAccount account;
    account.name = name;
    account.salt.assign(kSaltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(account.salt.data()), static_cast<int>(kSaltBytes)) != 1)
        throw OraError(OraCode::InternalError, {"password salt"});
    account.hash = std::string(kScheme) + std::to_string(kIterations) + "$" +
                   hexOf(pbkdf2(account.salt, password, kIterations));
    return account;
}

bool PasswordHasher::verify(const UserAccount& account, const std::string& password) {
    if (const std::optional<StoredHash> stored = parse(account.hash))
        return sameBytes(pbkdf2(account.salt, password, stored->iterations), stored->digest);
    return sameBytes(legacyHash(account.salt, password), account.hash);
}

bool PasswordHasher::isOutdated(const UserAccount& account) {
    const std::optional<StoredHash> stored = parse(account.hash);
    return !stored || stored->iterations < kIterations;
}

std::string PasswordHasher::legacyHash(const std::string& salt, const std::string& password) {
    std::string digest = sha256(salt + password);
    for (int round = 1; round < kLegacyRounds; ++round) digest = sha256(digest + salt);
    return digest;
}

}  // namespace engine
