#include "ui/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {

// The request: "activate", a blank and the token when there is one, a line feed.
constexpr char kActivate[] = "activate";
constexpr int kConnectWaitMs = 2000;
// A request longer than this is no request.
constexpr qsizetype kMaxRequestLength = 512;

}  // namespace

CSingleInstance::CSingleInstance(const QString& name, const QString& folder) : name_(name), folder_(folder) {}

CSingleInstance::~CSingleInstance() {
    if (server_ != nullptr) server_->close();
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
        // A socket left by a crashed viewer would block the listen.
        QLocalServer::removeServer(ServerPath());
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        if (server_->listen(ServerPath())) {
            connect(server_, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
        }
        return Outcome::First;
    }
    const QLockFile::LockError error = lock_->error();
    lock_.reset();
    if (error != QLockFile::LockFailedError) return Outcome::Unguarded;
    AskRunningToActivate();
    return Outcome::Another;
}

void CSingleInstance::AskRunningToActivate() const {
    // The running viewer may still be starting or already closing; then nobody answers.
    QLocalSocket socket;
    socket.connectToServer(ServerPath());
    if (!socket.waitForConnected(kConnectWaitMs)) return;
    QByteArray request(kActivate);
    const QByteArray token = CheckedToken(qgetenv("XDG_ACTIVATION_TOKEN"));
    if (!token.isEmpty()) request += ' ' + token;
    socket.write(request + '\n');
    socket.waitForBytesWritten(kConnectWaitMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kConnectWaitMs);
}

QByteArray CSingleInstance::CheckedToken(const QByteArray& token) {
    if (token.isEmpty() || token.size() > kMaxTokenLength) return QByteArray();
    for (const char c : token) {
        if (c <= ' ' || c > '~') return QByteArray();
    }
    return token;
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        // The request may come in pieces: it counts once its line is complete.
        auto readRequest = [this, socket]() {
            QByteArray line = socket->property("request").toByteArray() + socket->readAll();
            if (line.size() > kMaxRequestLength) line.truncate(kMaxRequestLength);
            const qsizetype end = line.indexOf('\n');
            if (end < 0) {
                socket->setProperty("request", line);
                return;
            }
            line.truncate(end);
            socket->setProperty("request", QByteArray());
            const QList<QByteArray> words = line.split(' ');
            if (words.value(0) != kActivate || words.size() > 2) return;
            emit activateRequested(QString::fromLatin1(CheckedToken(words.value(1))));
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0) readRequest();
    }
}
