#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace vrx::app {

// Keeps one VRXConfig running per user. The first instance holds a lock file and
// listens on a local socket; a later start finds the lock taken, asks the running
// instance to come to the front, and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `key` names the lock and the socket; tests pass their own so they do not meet
    // a real running program.
    explicit SingleInstance(QString key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another instance runs; it has then been asked to show itself.
    bool anotherInstance();

signals:
    // A later start asked this instance to come to the front.
    void activationRequested();

private:
    bool listen();
    bool notifyRunningInstance() const;

    QString key_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

QString defaultInstanceKey();

}  // namespace vrx::app
