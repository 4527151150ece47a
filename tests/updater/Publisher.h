#pragma once

#include "../transfer/TempFolder.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <sodium.h>

#include <string>

// A publisher's minisign key pair, made and used by the minisign tool itself,
// as a publisher signs an update.
class CPublisher
{
public:
    CPublisher() { EXPECT_EQ(Minisign({"-G", "-W", "-p", Public(), "-s", Secret()}), 0); }

    // The key line of the public key file (what UPDATE_KEY holds).
    std::string KeyLine() const
    {
        const std::string file = ReadFile(folder_ / "key.pub");
        return file.substr(file.find('\n') + 1, 56);
    }
    std::string PublicFile() const { return (folder_ / "key.pub").string(); }

    // The signature file minisign writes for `text` (legacy: its older form).
    std::string Sign(const std::string& text, bool legacy = false) const
    {
        WriteFile(folder_ / "signed.inf", text);
        QStringList arguments = {"-S", "-s", Secret(), "-m",
                                 QString::fromStdString((folder_ / "signed.inf").string())};
        if (legacy) {
            arguments << "-l";
        }
        EXPECT_EQ(Minisign(arguments), 0);
        return ReadFile(folder_ / "signed.inf.minisig");
    }

    static std::string Sha256(const std::string& bytes)
    {
        unsigned char digest[crypto_hash_sha256_BYTES];
        crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(bytes.data()),
                           bytes.size());
        char hex[2 * sizeof digest + 1];
        sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
        return hex;
    }

private:
    QString Public() const { return QString::fromStdString((folder_ / "key.pub").string()); }
    QString Secret() const { return QString::fromStdString((folder_ / "key.key").string()); }

    static int Minisign(const QStringList& arguments)
    {
        QProcess minisign;
        minisign.start("minisign", arguments);
        minisign.closeWriteChannel();
        return minisign.waitForFinished(30000) ? minisign.exitCode() : -1;
    }

    TempFolder folder_;
};
