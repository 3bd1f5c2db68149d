// Password hashing through OpenSSL's libcrypto.
//
// The PBKDF2 rounds use SHA-256's own state type, which OpenSSL 3 marks as
// deprecated in favour of its provider interface; that interface is what made
// every round allocate and free contexts (see pbkdf2 below).
#define OPENSSL_SUPPRESS_DEPRECATED
#include "store/PasswordHasher.h"

#include "base/HexText.h"
#include "base/OraError.h"

#include <openssl/crypto.h>
#include <openssl/sha.h>
#include <sys/random.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>
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

// SHA-256 of `data` into `digest`. (OpenSSL 3's one-call SHA256() goes through
// its provider machinery, which would draw most of libcrypto into the engine.)
void sha256Into(std::string_view data, unsigned char* digest) {
    SHA256_CTX context;
    SHA256_Init(&context);
    SHA256_Update(&context, data.data(), data.size());
    SHA256_Final(digest, &context);
}

// HMAC-SHA256 with one key: the SHA-256 states after the key's inner and
// outer pads are computed once and copied by value for every message.
class HmacSha256 {
public:
    explicit HmacSha256(const std::string& key) {
        unsigned char block[SHA256_CBLOCK] = {};
        if (key.size() > sizeof block)
            sha256Into(key, block);
        else
            std::copy(key.begin(), key.end(), block);
        inner_ = padded(block, 0x36);
        outer_ = padded(block, 0x5c);
        OPENSSL_cleanse(block, sizeof block);
    }
    ~HmacSha256() {
        OPENSSL_cleanse(&inner_, sizeof inner_);
        OPENSSL_cleanse(&outer_, sizeof outer_);
    }
    HmacSha256(const HmacSha256&) = delete;
    HmacSha256& operator=(const HmacSha256&) = delete;

    // The MAC of the concatenated parts into `mac`.
    void sign(std::initializer_list<std::string_view> parts, unsigned char* mac) const {
        SHA256_CTX context = inner_;
        for (std::string_view part : parts) SHA256_Update(&context, part.data(), part.size());
        SHA256_Final(mac, &context);
        context = outer_;
        SHA256_Update(&context, mac, kDigestBytes);
        SHA256_Final(mac, &context);
    }

    // The MAC of a digest-sized message, in place: `block` holds the message in
    // its first kDigestBytes and the rest of roundBlock() after it. After a pad
    // block, a 32-byte message and its padding fill exactly one block, so each of
    // the two hashes is one compression of a copied state, with none of
    // SHA256_Update's buffering or SHA256_Final's padding in every round.
    void signDigest(unsigned char* block) const {
        compress(inner_, block);
        compress(outer_, block);
    }

    // A block whose tail is SHA-256's padding for a pad block plus a digest.
    static std::array<unsigned char, SHA256_CBLOCK> roundBlock() {
        std::array<unsigned char, SHA256_CBLOCK> block{};
        block[kDigestBytes] = 0x80;
        constexpr unsigned kMessageBits = (SHA256_CBLOCK + kDigestBytes) * 8;
        block[SHA256_CBLOCK - 2] = static_cast<unsigned char>(kMessageBits >> 8);
        block[SHA256_CBLOCK - 1] = static_cast<unsigned char>(kMessageBits & 0xff);
        return block;
    }

private:
    static SHA256_CTX padded(const unsigned char* block, unsigned char pad) {
        unsigned char bytes[SHA256_CBLOCK];
        for (std::size_t i = 0; i < sizeof bytes; ++i) bytes[i] = block[i] ^ pad;
        SHA256_CTX context;
        SHA256_Init(&context);
        SHA256_Update(&context, bytes, sizeof bytes);
        OPENSSL_cleanse(bytes, sizeof bytes);
        return context;
    }

    // Hashes the last block of a message whose earlier blocks `state` took in,
    // and writes the digest over the block's message part.
    static void compress(const SHA256_CTX& state, unsigned char* block) {
        SHA256_CTX context = state;
        SHA256_Transform(&context, block);
        for (std::size_t word = 0; word < kDigestBytes / 4; ++word)
            for (std::size_t byte = 0; byte < 4; ++byte)
                block[word * 4 + byte] = static_cast<unsigned char>(context.h[word] >> (24 - 8 * byte));
    }

    SHA256_CTX inner_;
    SHA256_CTX outer_;
};

// PBKDF2-HMAC-SHA256 of one output block, which is all a 32-byte digest needs.
// PKCS5_PBKDF2_HMAC computes the same, but OpenSSL 3 copies its digest
// contexts on the heap in every round, which took three quarters of a logon.
std::string pbkdf2(const std::string& salt, const std::string& password, unsigned iterations) {
    const HmacSha256 hmac(password);
    const char firstBlock[4] = {0, 0, 0, 1};
    std::array<unsigned char, SHA256_CBLOCK> round = HmacSha256::roundBlock();
    hmac.sign({salt, std::string_view(firstBlock, sizeof firstBlock)}, round.data());
    std::array<unsigned char, kDigestBytes> sum;
    std::copy_n(round.begin(), kDigestBytes, sum.begin());
    for (unsigned i = 1; i < iterations; ++i) {
        hmac.signDigest(round.data());
        for (std::size_t b = 0; b < kDigestBytes; ++b) sum[b] ^= round[b];
    }
    std::string digest(reinterpret_cast<const char*>(sum.data()), kDigestBytes);
    OPENSSL_cleanse(round.data(), round.size());
    OPENSSL_cleanse(sum.data(), sum.size());
    return digest;
}

std::string sha256(const std::string& data) {
    std::string digest(SHA256_DIGEST_LENGTH, '\0');
    sha256Into(data, reinterpret_cast<unsigned char*>(digest.data()));
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
    // The kernel's generator: a salt only has to be unpredictable and unique,
    // and this needs none of OpenSSL's generator machinery.
    if (getrandom(account.salt.data(), kSaltBytes, 0) != static_cast<ssize_t>(kSaltBytes))
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
