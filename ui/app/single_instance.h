#pragma once
// CSingleInstance: the per-user guard that keeps the viewer from running
// twice. The first start holds a lock file and listens on a local socket,
// both named "PreventAnotherChronara" in the user's runtime folder; a later
// start finds the lock held, asks the running viewer to come to the front
// and ends. A lock left behind by a crashed viewer is taken over.
//
// On Wayland a window may take the focus only with an activation token
// that the compositor gave for the user's action; the launch that the user
// made is the second start's, so its token (XDG_ACTIVATION_TOKEN) travels
// with the request for the first window to spend.

#include <map>
#include <memory>

#include <QByteArray>
#include <QObject>
#include <QString>

class QLockFile;
class QSocketNotifier;

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

    // The second start's activation token as it is sent: printable ASCII
    // without blanks, at most kMaxTokenLength characters; anything else is
    // no token (empty).
    static constexpr int kMaxTokenLength = 255;
    static QByteArray CheckedToken(const QByteArray& token);

signals:
    // A later start asked this one to come to the front; activationToken is
    // its Wayland activation token, or empty.
    void activateRequested(const QString& activationToken);

private:
    // A later start's connection, read until its request line is complete.
    struct Connection {
        QSocketNotifier* notifier = nullptr;
        QByteArray request;
    };

    void Listen();
    void AskRunningToActivate() const;
    void OnNewConnection();
    void OnReadable(int fd);
    void CloseConnection(int fd);

    QString name_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    int server_ = -1;
    QSocketNotifier* serverNotifier_ = nullptr;
    std::map<int, Connection> connections_;
};
