#include "CWindowLink.h"

#include "CDescriptor.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kMessageKind = 0x4C575850; // "PXWL"
constexpr uint32_t kPingKind = 0x50575850;    // "PXWP"
constexpr int kHeadSize = 12;
constexpr int kReplySize = 8;
// How long Find waits for a window whose backlog is full.
constexpr int kFindTimeoutMs = 1000;
// A title whose percent-encoded form is longer is named by its hash, so
// that socket paths stay well within the 108 bytes an address holds.
constexpr int kMaxReadableName = 64;

int RemainingMs(Clock::time_point deadline)
{
    // Rounded up: a wait never ends before its deadline.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

bool WaitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd waiting{fd, events, 0};
        const int ready = poll(&waiting, 1, RemainingMs(deadline));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

bool MakeAddress(const QString& path, sockaddr_un& address)
{
    const QByteArray native = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (native.isEmpty() || size_t(native.size()) >= sizeof address.sun_path) {
        return false;
    }
    memcpy(address.sun_path, native.constData(), size_t(native.size()));
    return true;
}

// A connected descriptor, or -1 with errno set. A listener whose backlog
// is full (EAGAIN) is tried again until the deadline.
int Connect(const QString& path, Clock::time_point deadline)
{
    sockaddr_un address;
    if (!MakeAddress(path, address)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    for (;;) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            return -1;
        }
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            return fd;
        }
        const int error = errno;
        close(fd);
        errno = error;
        if (error != EAGAIN || RemainingMs(deadline) == 0) {
            return -1;
        }
        usleep(5000);
    }
}

bool WriteAll(int fd, const char* data, size_t size, Clock::time_point deadline)
{
    while (size > 0) {
        const ssize_t sent = send(fd, data, size, MSG_NOSIGNAL);
        if (sent > 0) {
            data += sent;
            size -= size_t(sent);
        } else if (sent < 0 && errno != EINTR &&
                   (errno != EAGAIN || !WaitFor(fd, POLLOUT, deadline))) {
            return false;
        }
    }
    return true;
}

bool ReadAll(int fd, char* data, size_t size, Clock::time_point deadline)
{
    while (size > 0) {
        const ssize_t got = recv(fd, data, size, 0);
        if (got > 0) {
            data += got;
            size -= size_t(got);
        } else if (got == 0 ||
                   (errno != EINTR && (errno != EAGAIN || !WaitFor(fd, POLLIN, deadline)))) {
            return false;
        }
    }
    return true;
}

QByteArray Head(uint32_t kind, uint32_t dataWord, uint32_t byteCount)
{
    QByteArray head(kHeadSize, '\0');
    qToLittleEndian(kind, head.data());
    qToLittleEndian(dataWord, head.data() + 4);
    qToLittleEndian(byteCount, head.data() + 8);
    return head;
}

// One exchange: a frame out, the 64-bit result back.
std::optional<long> Exchange(const QString& title, const QByteArray& frame, int timeoutMs)
{
    const QString folder = CWindowLink::RuntimeFolder();
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const CDescriptor link(Connect(CWindowLink::SocketPath(title), deadline));
    char reply[kReplySize];
    if (link.Get() < 0 ||
        !WriteAll(link.Get(), frame.constData(), size_t(frame.size()), deadline) ||
        !ReadAll(link.Get(), reply, sizeof reply, deadline)) {
        return std::nullopt;
    }
    return long(qFromLittleEndian<int64_t>(reply));
}

bool PeerIsThisUser(const QLocalSocket& socket)
{
    ucred peer{};
    socklen_t length = sizeof peer;
    return getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &length) ==
               0 &&
           peer.uid == geteuid();
}

void Answer(QLocalSocket* socket, long result)
{
    char reply[kReplySize];
    qToLittleEndian(int64_t(result), reply);
    socket->write(reply, kReplySize);
    socket->flush(); // out at once, even when the program ends after the handler
    socket->disconnectFromServer();
}

// Holds an exclusive lock on a title's lock file, so that two programs
// claiming the same title do not both decide its socket is stale.
class CClaimLock
{
public:
    explicit CClaimLock(const QString& socketPath)
        : file_(open(QFile::encodeName(socketPath + ".lock").constData(),
                     O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        while (file_.Get() >= 0 && flock(file_.Get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    }

private:
    CDescriptor file_;
};

} // namespace

CWindowLink::CWindowLink(QObject* parent) : QObject(parent) {}

CWindowLink::~CWindowLink()
{
    Close();
}

QString CWindowLink::FolderPath()
{
    // Without a runtime folder, the user's own cache folder: a fixed name
    // under /tmp could be made first by another user.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir()) {
        return runtime + "/pixvel";
    }
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    return (QDir::isAbsolutePath(cache) ? cache : QDir::homePath() + "/.cache") + "/pixvel/windows";
}

QString CWindowLink::RuntimeFolder()
{
    const QString folder = FolderPath();
    const QByteArray native = QFile::encodeName(folder);
    QDir().mkpath(QFileInfo(folder).path());
    mkdir(native.constData(), 0700);
    // Only a real folder of this user that nobody else may enter will do:
    // another user could otherwise have made it and listen in it.
    struct stat info;
    if (lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != geteuid()) {
        return {};
    }
    if ((info.st_mode & 077) != 0 && chmod(native.constData(), 0700) != 0) {
        return {};
    }
    return folder;
}

QString CWindowLink::FolderProblem()
{
    if (!RuntimeFolder().isEmpty()) {
        return {};
    }
    return QString("%1 is not a folder of this user's own that only this user may enter; no "
                   "window link is made there")
        .arg(FolderPath());
}

QString CWindowLink::SocketPath(const QString& title)
{
    const QByteArray encoded = QUrl::toPercentEncoding(title);
    const QByteArray name =
        encoded.size() <= kMaxReadableName
            ? "w-" + encoded
            : "h-" + QCryptographicHash::hash(title.toUtf8(), QCryptographicHash::Sha256).toHex();
    return RuntimeFolder() + "/" + QString::fromLatin1(name);
}

bool CWindowLink::Listen(const QString& title, Handler handler)
{
    Close();
    if (RuntimeFolder().isEmpty()) {
        return false;
    }
    const QString path = SocketPath(title);
    const CClaimLock claim(path);
    if (Find(title)) {
        return false;
    }
    QLocalServer::removeServer(path); // a stale socket, or nothing
    server_ = new QLocalServer(this);
    server_->setMaxPendingConnections(64);
    if (!server_->listen(path)) {
        delete server_;
        server_ = nullptr;
        return false;
    }
    chmod(QFile::encodeName(path).constData(), 0600);
    handler_ = std::move(handler);
    connect(server_, &QLocalServer::newConnection, this, &CWindowLink::Accept);
    return true;
}

void CWindowLink::Close()
{
    if (server_ != nullptr) {
        server_->close(); // removes the socket file
        delete server_;
        server_ = nullptr;
    }
}

bool CWindowLink::IsListening() const
{
    return server_ != nullptr && server_->isListening();
}

void CWindowLink::Accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setReadBufferSize(kHeadSize + kMaxBytes);
        QTimer::singleShot(kReadTimeoutMs, socket, &QLocalSocket::abort);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Receive(socket); });
        Receive(socket);
    }
}

void CWindowLink::Receive(QLocalSocket* socket)
{
    if (socket->bytesAvailable() < kHeadSize) {
        return;
    }
    const QByteArray head = socket->peek(kHeadSize);
    const auto kind = qFromLittleEndian<uint32_t>(head.constData());
    const auto dataWord = qFromLittleEndian<uint32_t>(head.constData() + 4);
    const auto byteCount = qFromLittleEndian<uint32_t>(head.constData() + 8);
    if ((kind != kMessageKind && kind != kPingKind) || byteCount > uint32_t(kMaxBytes)) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < kHeadSize + qint64(byteCount)) {
        return;
    }
    // One frame per connection: whatever follows is not read, and a handler
    // that runs an event loop of its own is not entered again.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->skip(kHeadSize);
    const QByteArray bytes = socket->read(byteCount);
    const QPointer<QLocalSocket> alive(socket);
    const long result = kind == kPingKind || !handler_ ? 0 : handler_(dataWord, bytes);
    if (alive) { // the handler may have closed the link
        Answer(socket, result);
    }
}

bool CWindowLink::Find(const QString& title)
{
    if (RuntimeFolder().isEmpty()) {
        return false;
    }
    const int fd =
        Connect(SocketPath(title), Clock::now() + std::chrono::milliseconds(kFindTimeoutMs));
    if (fd >= 0) {
        close(fd);
        return true;
    }
    return errno == EAGAIN; // listening, with a full backlog
}

bool CWindowLink::WaitForWindow(const QString& title, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const QByteArray ping = Head(kPingKind, 0, 0);
    do {
        if (Exchange(title, ping, std::max(RemainingMs(deadline), 1))) {
            return true;
        }
        usleep(20000);
    } while (RemainingMs(deadline) > 0);
    return false;
}

std::optional<long> CWindowLink::Send(const QString& title, uint32_t dataWord,
                                      const QByteArray& bytes, int timeoutMs)
{
    if (bytes.size() > kMaxBytes) {
        return std::nullopt;
    }
    return Exchange(title, Head(kMessageKind, dataWord, uint32_t(bytes.size())) + bytes, timeoutMs);
}

} // namespace platform
