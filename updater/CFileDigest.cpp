#include "CFileDigest.h"

#include "CDescriptor.h"
#include "CMinisign.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kChunk = 256 * 1024;

} // namespace

bool CFileDigest::IsSha256Text(std::string_view text)
{
    return text.size() == 2 * crypto_hash_sha256_BYTES &&
           std::ranges::all_of(text, [](unsigned char c) { return std::isxdigit(c) != 0; });
}

bool CFileDigest::MatchesSha256(const std::filesystem::path& file, std::string_view expected)
{
    std::array<unsigned char, crypto_hash_sha256_BYTES> wanted{};
    if (!CMinisign::Ready() || !IsSha256Text(expected) ||
        sodium_hex2bin(wanted.data(), wanted.size(), expected.data(), expected.size(), nullptr,
                       nullptr, nullptr) != 0) {
        return false;
    }
    const platform::CDescriptor input(open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (input.Get() < 0) {
        return false;
    }
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    std::vector<unsigned char> chunk(kChunk);
    for (;;) {
        const ssize_t got = read(input.Get(), chunk.data(), chunk.size());
        if (got == 0) {
            break;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        crypto_hash_sha256_update(&state, chunk.data(), size_t(got));
    }
    std::array<unsigned char, crypto_hash_sha256_BYTES> digest{};
    crypto_hash_sha256_final(&state, digest.data());
    return digest == wanted;
}
