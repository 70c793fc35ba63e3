#pragma once
// CSingleInstance: the per-user guard that keeps the viewer from running
// twice. The first start holds a lock file and listens on a local socket,
// both named "PreventAnotherChronara" in the user's runtime folder; a later
// start finds the lock held, asks the running viewer to come to the front
// and ends. A lock left behind by a crashed viewer is taken over.

#include <memory>

#include <QObject>
#include <QString>

class QLocalServer;
class QLockFile;

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        First,      // this process holds the guard
        Another,    // another viewer runs; it has been asked to come to the front
        Unguarded,  // the guard could not be made; start-up goes on without it
    };

    // name: "PreventAnother" and the program's title. folder: where the lock
    // and the socket live; empty means the user's runtime folder.
    explicit CSingleInstance(const QString& name, const QString& folder = QString());
    ~CSingleInstance() override;
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    Outcome Acquire();

    QString LockPath() const;
    QString ServerPath() const;

signals:
    // A later start asked this one to come to the front.
    void activateRequested();

private:
    void AskRunningToActivate() const;
    void OnNewConnection();

    QString name_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};
