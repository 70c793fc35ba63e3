#include "ui/app/single_instance.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>

namespace {

// The request: "activate", a blank and the token when there is one, a line feed.
constexpr char kActivate[] = "activate";
// A request longer than this is no request.
constexpr qsizetype kMaxRequestLength = 512;
// How long a later start waits to hand its request over.
constexpr int kSendWaitSeconds = 2;

// The socket address of path; false when the path does not fit one.
bool AddressOf(const QString& path, sockaddr_un& address) {
    const QByteArray bytes = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (bytes.isEmpty() || static_cast<std::size_t>(bytes.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

}  // namespace

CSingleInstance::CSingleInstance(const QString& name, const QString& folder) : name_(name), folder_(folder) {}

CSingleInstance::~CSingleInstance() {
    while (!connections_.empty()) CloseConnection(connections_.begin()->first);
    if (server_ >= 0) {
        delete serverNotifier_;
        ::close(server_);
        ::unlink(QFile::encodeName(ServerPath()).constData());
    }
    if (lock_ != nullptr) lock_->unlock();
}

QString CSingleInstance::LockPath() const {
    return folder_ + QLatin1Char('/') + name_ + QLatin1String(".lock");
}

QString CSingleInstance::ServerPath() const { return folder_ + QLatin1Char('/') + name_; }

CSingleInstance::Outcome CSingleInstance::Acquire() {
    if (folder_.isEmpty()) folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder_.isEmpty() || !QDir().mkpath(folder_)) return Outcome::Unguarded;

    lock_ = std::make_unique<QLockFile>(LockPath());
    // Never stale by age: only a lock whose owner process is gone is taken over.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        Listen();
        return Outcome::First;
    }
    const QLockFile::LockError error = lock_->error();
    lock_.reset();
    if (error != QLockFile::LockFailedError) return Outcome::Unguarded;
    AskRunningToActivate();
    return Outcome::Another;
}

void CSingleInstance::Listen() {
    sockaddr_un address{};
    if (!AddressOf(ServerPath(), address)) return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return;
    // A socket left by a crashed viewer would block the bind; the lock says it is not in use.
    ::unlink(address.sun_path);
    // Only the user may connect.
    const mode_t mask = ::umask(0077);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(mask);
    if (!bound || ::listen(fd, 8) != 0) {
        ::close(fd);
        return;
    }
    server_ = fd;
    serverNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(serverNotifier_, &QSocketNotifier::activated, this, &CSingleInstance::OnNewConnection);
}

void CSingleInstance::AskRunningToActivate() const {
    // The running viewer may still be starting or already closing; then nobody answers.
    sockaddr_un address{};
    if (!AddressOf(ServerPath(), address)) return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    const timeval wait{kSendWaitSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        QByteArray request(kActivate);
        const QByteArray token = CheckedToken(qgetenv("XDG_ACTIVATION_TOKEN"));
        if (!token.isEmpty()) request += ' ' + token;
        request += '\n';
        qsizetype sent = 0;
        while (sent < request.size()) {
            const ssize_t n = ::send(fd, request.constData() + sent,
                                     static_cast<std::size_t>(request.size() - sent), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            sent += n;
        }
    }
    ::close(fd);
}

QByteArray CSingleInstance::CheckedToken(const QByteArray& token) {
    if (token.isEmpty() || token.size() > kMaxTokenLength) return QByteArray();
    for (const char c : token) {
        if (c <= ' ' || c > '~') return QByteArray();
    }
    return token;
}

void CSingleInstance::OnNewConnection() {
    for (;;) {
        const int fd = ::accept4(server_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) continue;
            return;
        }
        Connection& connection = connections_[fd];
        connection.notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(connection.notifier, &QSocketNotifier::activated, this, [this, fd]() { OnReadable(fd); });
        // The request may already be there.
        OnReadable(fd);
    }
}

void CSingleInstance::OnReadable(int fd) {
    const auto found = connections_.find(fd);
    if (found == connections_.end()) return;
    QByteArray& line = found->second.request;
    // The request may come in pieces: it counts once its line is complete.
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (n <= 0) break;  // the other side is done, or the connection failed
        line.append(buffer, static_cast<qsizetype>(n));
        if (line.size() > kMaxRequestLength) line.truncate(kMaxRequestLength);
        const qsizetype end = line.indexOf('\n');
        if (end < 0) continue;
        // One request a connection: it is answered once the connection is closed.
        const QList<QByteArray> words = line.left(end).split(' ');
        CloseConnection(fd);
        if (words.value(0) == kActivate && words.size() <= 2) {
            emit activateRequested(QString::fromLatin1(CheckedToken(words.value(1))));
        }
        return;
    }
    CloseConnection(fd);
}

void CSingleInstance::CloseConnection(int fd) {
    const auto found = connections_.find(fd);
    if (found == connections_.end()) return;
    delete found->second.notifier;
    connections_.erase(found);
    ::close(fd);
}
