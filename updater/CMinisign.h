#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// A public key as the minisign tool writes it: the key line of a `.pub`
// file is the Base64 text of "Ed", an 8-byte key id and the 32-byte Ed25519
// public key.
struct MinisignKey
{
    std::array<unsigned char, 8> keyId{};
    std::array<unsigned char, 32> publicKey{};
};

// How a signature file compares with a message and a key.
enum class SignatureCheck
{
    Valid,
    Malformed, // not the four lines of a signature file
    OtherKey,  // made with a key of another id
    Invalid,   // the message or the trusted comment was changed, or forged
};

// Checks the detached signatures the minisign tool writes (`FILE.minisig`):
// an untrusted comment line, the signature line (algorithm "ED": Ed25519 over
// the BLAKE2b-512 hash of the file, minisign's default; or "Ed": over the
// file itself, its legacy form), the trusted comment line and the global
// signature over the signature and the trusted comment. The cryptography is
// libsodium's.
class CMinisign
{
public:
    // The key of a key line (blanks around it ignored); nothing when the
    // line is not one.
    static std::optional<MinisignKey> ParseKey(std::string_view line);
    // The first key line of a public key file's text (its comment line
    // ignored); nothing when it holds none.
    static std::optional<std::string> KeyLineOfFile(std::string_view text);
    static SignatureCheck Verify(std::string_view message, std::string_view signatureFile,
                                 const MinisignKey& key);
    // Starts libsodium once per process; false when it cannot run here.
    static bool Ready();
};
