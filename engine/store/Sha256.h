// SHA-256 (FIPS 180-4), used to store logon passwords only as salted hashes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace engine {

class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    void update(const void* data, std::size_t length);
    Digest finish();

    // The digest of `bytes` in one step.
    static Digest of(const std::string& bytes);

private:
    void compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::array<std::uint8_t, 64> block_{};  // bytes not yet compressed
    std::size_t blockLength_ = 0;           // valid bytes in block_
    std::uint64_t totalLength_ = 0;         // message length in bytes
};

}  // namespace engine
