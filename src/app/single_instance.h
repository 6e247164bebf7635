#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

namespace vrx::app {

// Keeps one VRXConfig running per user. The first instance holds a lock file and
// listens on a local socket; a later start finds the lock taken, asks the running
// instance to come to the front (and to open the files it was started with), and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `key` names the lock and the socket; tests pass their own so they do not meet
    // a real running program.
    explicit SingleInstance(QString key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another instance runs; it has then been asked to show itself and to open
    // `files` (absolute paths).
    bool anotherInstance(const QStringList& files = {});

signals:
    // A later start asked this instance to come to the front.
    void activationRequested();
    // A later start was given this file to open.
    void fileOpenRequested(const QString& path);

private:
    bool listen();
    bool notifyRunningInstance(const QStringList& files) const;
    void readRequests(QLocalSocket& socket);
    void answerRequests(const QList<QByteArray>& lines);

    QString key_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

QString defaultInstanceKey();

}  // namespace vrx::app
