#include "ui/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {

constexpr char kActivate[] = "activate\n";
constexpr int kConnectWaitMs = 2000;

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
    socket.write(kActivate);
    socket.waitForBytesWritten(kConnectWaitMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kConnectWaitMs);
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto readRequest = [this, socket]() {
            if (socket->readAll().contains("activate")) emit activateRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0) readRequest();
    }
}
