#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <cstdint>
#include <cstring>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// A raw client of the window link for tests: it writes whatever frame it is
// given, whole or cut short, straight to a socket path.
namespace frames {

constexpr uint32_t kMessageKind = 0x4C575850; // "PXWL"

inline QByteArray Head(uint32_t kind, uint32_t dataWord, uint32_t byteCount)
{
    QByteArray head(12, '\0');
    qToLittleEndian(kind, head.data());
    qToLittleEndian(dataWord, head.data() + 4);
    qToLittleEndian(byteCount, head.data() + 8);
    return head;
}

inline QByteArray Message(uint32_t dataWord, const QByteArray& bytes)
{
    return Head(kMessageKind, dataWord, uint32_t(bytes.size())) + bytes;
}

enum class Outcome
{
    Answered,     // the whole frame went out and a result came back
    ClosedUnread, // the receiver closed the connection without a result
    NoConnection, // the socket could not be reached
};

struct Reply
{
    Outcome outcome;
    int64_t result = 0;
};

// Sends `frame`; when `closeAfter` is set, closes the connection right after
// sending instead of waiting for the result.
inline Reply SendRaw(const QString& socketPath, const QByteArray& frame, bool closeAfter = false)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath);
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return {Outcome::NoConnection};
    }
    timeval limit{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    // The receiver may close before taking every byte; that is an answer too.
    for (qsizetype sent = 0; sent < frame.size();) {
        const ssize_t now =
            send(fd, frame.constData() + sent, size_t(frame.size() - sent), MSG_NOSIGNAL);
        if (now <= 0) {
            break;
        }
        sent += now;
    }
    if (closeAfter) {
        close(fd);
        return {Outcome::ClosedUnread};
    }
    char reply[8];
    size_t got = 0;
    while (got < sizeof reply) {
        const ssize_t now = recv(fd, reply + got, sizeof reply - got, 0);
        if (now <= 0) {
            break;
        }
        got += size_t(now);
    }
    close(fd);
    if (got < sizeof reply) {
        return {Outcome::ClosedUnread};
    }
    return {Outcome::Answered, qFromLittleEndian<int64_t>(reply)};
}

} // namespace frames
