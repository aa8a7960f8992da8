#include "platform/qt/SingleInstance.h"

#include "platform/UserDirectories.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>
#include <QtGlobal>
#include <unistd.h>

namespace parvela {

namespace {

constexpr const char* ActivateRequest = "activate\n";
constexpr const char* ActivateReply = "ok\n";
constexpr int AnswerTimeoutMs = 2000;
// A first instance that holds the lock but does not listen yet is still starting.
constexpr int StartingInstanceTimeoutMs = 5000;
constexpr int RetryIntervalMs = 50;

QString FileNameCharacters(const QString& text) {
    QString result;
    for (const QChar c : text)
        result += (c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'-') ? c : u'_';
    return result;
}

} // namespace

TSingleInstance::TSingleInstance(const QString& programTitle, QObject* parent)
    : QObject(parent), serverName_(ServerName(programTitle)),
      lock_(serverName_ + QStringLiteral(".lock")) {
    // Only a lock whose owner process has gone counts as stale.
    lock_.setStaleLockTime(0);
}

TSingleInstance::~TSingleInstance() {
    if (server_)
        server_->close();
}

QString TSingleInstance::ServerName(const QString& programTitle) {
    // Never in a directory that other users may write to: a socket or a lock planted there
    // would keep the program from starting, or answer in its place.
    return QString::fromStdString(PrivateTemporaryDirectory()) + FileNameCharacters(programTitle) +
           QLatin1Char('-') + QString::number(::getuid());
}

bool TSingleInstance::Start() {
    if (AskRunningInstanceToActivate())
        return false;
    // The lock makes exactly one of several simultaneous starts the first instance; it is
    // held for the whole run.
    if (!lock_.tryLock(0) && WaitForRunningInstance())
        return false;
    Listen();
    return true;
}

// Returns true when a running instance answered, false when the lock became free.
bool TSingleInstance::WaitForRunningInstance() {
    const QDeadlineTimer deadline(StartingInstanceTimeoutMs);
    while (!deadline.hasExpired()) {
        QThread::msleep(RetryIntervalMs);
        if (AskRunningInstanceToActivate())
            return true;
        if (lock_.tryLock(0))
            return false;
    }
    // The lock's owner lives but never answers: it runs, so this start must not.
    return true;
}

bool TSingleInstance::AskRunningInstanceToActivate() const {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(AnswerTimeoutMs))
        return false;
    socket.write(ActivateRequest);
    if (!socket.waitForBytesWritten(AnswerTimeoutMs))
        return false;
    QByteArray reply;
    while (!reply.contains('\n') && socket.waitForReadyRead(AnswerTimeoutMs))
        reply += socket.readAll();
    return reply == ActivateReply;
}

void TSingleInstance::Listen() {
    // Left behind by an instance that crashed; no live instance owns it, as we hold the lock.
    QLocalServer::removeServer(serverName_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this, &TSingleInstance::OnNewConnection);
    if (!server_->listen(serverName_))
        qWarning("Cannot listen for later starts on %s: %s", qPrintable(serverName_),
                 qPrintable(server_->errorString()));
}

void TSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray request = socket->readLine();
            if (request != ActivateRequest) {
                socket->disconnectFromServer();
                return;
            }
            socket->write(ActivateReply);
            socket->flush();
            if (mainWindow_)
                BringToFront(mainWindow_);
            emit ActivationRequested();
        });
    }
}

void TSingleInstance::BringToFront(QWidget* window) {
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace parvela
