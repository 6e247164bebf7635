#include "app/single_instance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace vrx::app {
namespace {
constexpr int kConnectTimeoutMs = 1000;
// One request a line: "activate", then "open " and a file's path in UTF-8.
const QByteArray kActivate = "activate";
const QByteArray kOpenPrefix = "open ";
}  // namespace

QString defaultInstanceKey() {
    return QStringLiteral("VRXConfig-") + qEnvironmentVariable("USER", QStringLiteral("user"));
}

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent), key_(std::move(key)) {}

SingleInstance::~SingleInstance() {
    server_.close();
}

bool SingleInstance::anotherInstance(const QStringList& files) {
    const auto lockPath = QDir(QDir::tempPath()).filePath(key_ + QStringLiteral(".lock"));
    lock_ = std::make_unique<QLockFile>(lockPath);
    // A lock left by a crashed run is stale: QLockFile checks that its process is gone.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        listen();
        return false;
    }
    if (notifyRunningInstance(files)) {
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
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { readRequests(*socket); });
            connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
                readRequests(*socket);
                socket->deleteLater();
            });
        }
    });
    return server_.listen(key_);
}

void SingleInstance::readRequests(QLocalSocket& socket) {
    // A request may arrive in pieces: only whole lines are acted on. They are all read
    // before any is answered, and answered from the event loop: an answer may ask the user
    // a question, and while it waits the socket can close and be deleted under us.
    QList<QByteArray> lines;
    while (socket.canReadLine()) {
        lines << socket.readLine().chopped(1);
    }
    if (lines.isEmpty()) {
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, lines] { answerRequests(lines); }, Qt::QueuedConnection);
}

void SingleInstance::answerRequests(const QList<QByteArray>& lines) {
    for (const QByteArray& line : lines) {
        if (line == kActivate) {
            emit activationRequested();
        } else if (line.startsWith(kOpenPrefix)) {
            emit fileOpenRequested(QString::fromUtf8(line.mid(kOpenPrefix.size())));
        }
    }
}

bool SingleInstance::notifyRunningInstance(const QStringList& files) const {
    QLocalSocket socket;
    socket.connectToServer(key_);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return false;
    }
    QByteArray requests = kActivate + '\n';
    for (const QString& file : files) {
        requests += kOpenPrefix + file.toUtf8() + '\n';
    }
    socket.write(requests);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

}  // namespace vrx::app
