#pragma once
// One running instance per program title and user. The first instance listens on a local
// socket named after the title and the user id; a later start with the same title asks it
// to bring its main window to the front and then ends without creating a window. Another
// title (another version of the program) does not meet the same socket.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

namespace parvela {

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit TSingleInstance(const QString& programTitle, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // The local socket's full path, in the user's private temporary directory (see
    // PrivateTemporaryDirectory, which raises EOSError when that directory is not safe); the
    // name holds the title (reduced to file-name characters) and the user id.
    static QString ServerName(const QString& programTitle);

    // True when this process is the first instance and now listens for later starts; false
    // when a running instance was found and asked to come to the front (this process should
    // then end). A stale socket left by a crashed instance is removed.
    bool Start();

    // The window brought to the front on a request from a later start (not owned).
    void SetMainWindow(QWidget* window) { mainWindow_ = window; }

    bool IsListening() const { return server_ && server_->isListening(); }

    // Restores the window when it is minimised or hidden, raises and activates it.
    static void BringToFront(QWidget* window);

signals:
    // After the main window was brought to the front for a later start.
    void ActivationRequested();

private:
    bool AskRunningInstanceToActivate() const;
    bool WaitForRunningInstance();
    void Listen();
    void OnNewConnection();

    QString serverName_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
    QPointer<QWidget> mainWindow_;
};

} // namespace parvela
