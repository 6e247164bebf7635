#include "app/single_instance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace vrx::app {
namespace {
constexpr int kConnectTimeoutMs = 1000;
const QByteArray kActivate = "activate\n";
}  // namespace

QString defaultInstanceKey() {
    return QStringLiteral("VRXConfig-") + qEnvironmentVariable("USER", QStringLiteral("user"));
}

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent), key_(std::move(key)) {}

SingleInstance::~SingleInstance() {
    server_.close();
}

bool SingleInstance::anotherInstance() {
    const auto lockPath = QDir(QDir::tempPath()).filePath(key_ + QStringLiteral(".lock"));
    lock_ = std::make_unique<QLockFile>(lockPath);
    // A lock left by a crashed run is stale: QLockFile checks that its process is gone.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        listen();
        return false;
    }
    if (notifyRunningInstance()) {
        return true;
    }
    // The lock is held but nobody answers: the holder is hanging or starting up. Take
    // over rather than refuse to start at all.
    lock_->removeStaleLockFile();
    if (lock_->tryLock(0)) {
        listen();
        return false;
    }
    return true;
}

bool SingleInstance::listen() {
    QLocalServer::removeServer(key_);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (auto* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().startsWith(kActivate.trimmed())) {
                    emit activationRequested();
                }
                socket->disconnectFromServer();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return server_.listen(key_);
}

bool SingleInstance::notifyRunningInstance() const {
    QLocalSocket socket;
    socket.connectToServer(key_);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return false;
    }
    socket.write(kActivate);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

}  // namespace vrx::app
