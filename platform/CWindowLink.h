#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace platform {

// Makes a window findable by its exact title and takes the copy-data
// messages other processes send to it.
//
// Each title is a local socket in the user's runtime folder
// ($XDG_RUNTIME_DIR/pixvel, else $XDG_CACHE_HOME/pixvel/windows; the folder
// mode 0700, the socket 0600). A message is one frame: a 12-byte head (kind, data word,
// byte count; little-endian 32-bit each) and the bytes, at most kMaxBytes.
// The receiver answers with its result as a little-endian 64-bit number and
// closes the connection. It refuses peers of any other user (SO_PEERCRED),
// frames of an unknown kind or above the limit, and connections that do not
// deliver a whole frame within kReadTimeoutMs.
class CWindowLink : public QObject
{
    Q_OBJECT

public:
    // Returns the receiver's result for one message.
    using Handler = std::function<long(uint32_t dataWord, const QByteArray& bytes)>;

    static constexpr int kMaxBytes = 64 * 1024;
    static constexpr int kReadTimeoutMs = 10000;

    explicit CWindowLink(QObject* parent = nullptr);
    ~CWindowLink() override;

    // false when a live window already has the title (its socket is not
    // stolen) or the runtime folder cannot be made. A socket file left by a
    // program that ended without closing it is replaced.
    bool Listen(const QString& title, Handler handler);
    // Stops taking messages and removes the socket; the title is free again.
    void Close();
    bool IsListening() const;

    // Sender side; these block and need no event loop.
    // Find: is there a live window with that title.
    static bool Find(const QString& title);
    // Waits until a window with that title answers, at most timeoutMs.
    static bool WaitForWindow(const QString& title, int timeoutMs);
    // Sends one message synchronously and returns the receiver's result;
    // none when no window has the title or the send failed.
    static std::optional<long> Send(const QString& title, uint32_t dataWord,
                                    const QByteArray& bytes, int timeoutMs = 10000);

    // The folder the sockets live in (made on demand); empty when it cannot
    // be made safely (it is not this user's own folder).
    static QString RuntimeFolder();
    // Where that folder is, whether or not it can be used.
    static QString FolderPath();
    // Why the folder cannot be used, in a line for the user; empty when it
    // can.
    static QString FolderProblem();
    // The socket file of a title.
    static QString SocketPath(const QString& title);

private:
    void Accept();
    void Receive(QLocalSocket* socket);

    QLocalServer* server_ = nullptr;
    Handler handler_;
};

} // namespace platform
