// Password hashing: SHA-256 over salt and password, iterated.
#include "PasswordHasher.h"

#include "Sha256.h"

#include <random>

namespace engine {
namespace {

// Iterations make each guess at a stolen hash cost that many digests, while a
// logon still takes only a few milliseconds.
constexpr int kHashRounds = 4096;
// Salt length in bytes: enough that no two accounts share a salt by chance.
constexpr std::size_t kSaltBytes = 16;

std::string randomSalt() {
    std::random_device source;
    std::string salt(kSaltBytes, '\0');
    for (char& byte : salt) byte = static_cast<char>(source() & 0xff);
    return salt;
}

}  // namespace

std::string PasswordHasher::hash(const std::string& salt, const std::string& password) {
    Sha256::Digest digest = Sha256::of(salt + password);
    for (int round = 1; round < kHashRounds; ++round) {
        Sha256 next;
        next.update(digest.data(), digest.size());
        next.update(salt.data(), salt.size());
        digest = next.finish();
    }
    return std::string(digest.begin(), digest.end());
}

UserAccount PasswordHasher::makeAccount(const std::string& name, const std::string& password) {
    UserAccount account;
    account.name = name;
    account.salt = randomSalt();
    account.hash = hash(account.salt, password);
    return account;
}

bool PasswordHasher::verify(const UserAccount& account, const std::string& password) {
    const std::string candidate = hash(account.salt, password);
    if (candidate.size() != account.hash.size()) return false;
    unsigned char difference = 0;  // compared in full: timing does not reveal the match length
    for (std::size_t i = 0; i < candidate.size(); ++i) {
        difference |= static_cast<unsigned char>(candidate[i] ^ account.hash[i]);
    }
    return difference == 0;
}

}  // namespace engine
