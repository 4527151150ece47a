#include "CMinisign.h"

#include <sodium.h>

#include <algorithm>

#include <vector>

namespace {

constexpr std::string_view kUntrustedPrefix = "untrusted comment: ";
constexpr std::string_view kTrustedPrefix = "trusted comment: ";
constexpr size_t kKeyBytes = 2 + 8 + crypto_sign_PUBLICKEYBYTES;
constexpr size_t kSignatureBytes = 2 + 8 + crypto_sign_BYTES;

std::string_view Trimmed(std::string_view text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Exactly `size` bytes from Base64 text, or nothing.
std::optional<std::vector<unsigned char>> Decode(std::string_view text, size_t size)
{
    std::vector<unsigned char> bytes(size);
    size_t length = 0;
    const char* end = nullptr;
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), nullptr, &length,
                          &end, sodium_base64_VARIANT_ORIGINAL) != 0 ||
        length != size || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return bytes;
}

// The lines of a text split at LF, a CR before each LF dropped.
std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

bool Verified(const unsigned char* signature, const unsigned char* message, size_t size,
              const MinisignKey& key)
{
    return crypto_sign_verify_detached(signature, message, size, key.publicKey.data()) == 0;
}

} // namespace

bool CMinisign::Ready()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

std::optional<MinisignKey> CMinisign::ParseKey(std::string_view line)
{
    const auto bytes = Decode(Trimmed(line), kKeyBytes);
    if (!Ready() || !bytes || (*bytes)[0] != 'E' || (*bytes)[1] != 'd') {
        return std::nullopt;
    }
    MinisignKey key;
    std::copy_n(bytes->begin() + 2, key.keyId.size(), key.keyId.begin());
    std::copy_n(bytes->begin() + 10, key.publicKey.size(), key.publicKey.begin());
    return key;
}

std::optional<std::string> CMinisign::KeyLineOfFile(std::string_view text)
{
    for (std::string_view line : Lines(text)) {
        if (ParseKey(line)) {
            return std::string(Trimmed(line));
        }
    }
    return std::nullopt;
}

SignatureCheck CMinisign::Verify(std::string_view message, std::string_view signatureFile,
                                 const MinisignKey& key)
{
    const std::vector<std::string_view> lines = Lines(signatureFile);
    if (!Ready() || lines.size() < 4 || !lines[0].starts_with(kUntrustedPrefix) ||
        !lines[2].starts_with(kTrustedPrefix)) {
        return SignatureCheck::Malformed;
    }
    const auto signature = Decode(lines[1], kSignatureBytes);
    const auto global = Decode(lines[3], crypto_sign_BYTES);
    if (!signature || !global || (*signature)[0] != 'E' ||
        ((*signature)[1] != 'D' && (*signature)[1] != 'd')) {
        return SignatureCheck::Malformed;
    }
    if (!std::equal(key.keyId.begin(), key.keyId.end(), signature->begin() + 2)) {
        return SignatureCheck::OtherKey;
    }
    const unsigned char* fileSignature = signature->data() + 10;
    const auto* bytes = reinterpret_cast<const unsigned char*>(message.data());
    bool valid = false;
    if ((*signature)[1] == 'D') {
        std::array<unsigned char, crypto_generichash_BYTES_MAX> hash{};
        crypto_generichash(hash.data(), hash.size(), bytes, message.size(), nullptr, 0);
        valid = Verified(fileSignature, hash.data(), hash.size(), key);
    } else {
        valid = Verified(fileSignature, bytes, message.size(), key);
    }
    // The global signature binds the trusted comment to the file's.
    const std::string_view comment = lines[2].substr(kTrustedPrefix.size());
    std::vector<unsigned char> signedComment(fileSignature, fileSignature + crypto_sign_BYTES);
    signedComment.insert(signedComment.end(), comment.begin(), comment.end());
    valid = valid && Verified(global->data(), signedComment.data(), signedComment.size(), key);
    return valid ? SignatureCheck::Valid : SignatureCheck::Invalid;
}
