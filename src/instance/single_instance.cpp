#include "instance/single_instance.h"

#include "instance/private_folder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>

namespace qlq {
namespace {

const QByteArray kRaise = QByteArrayLiteral("raise\n");
const QByteArray kQuit = QByteArrayLiteral("quit\n");
const QByteArray kPress = QByteArrayLiteral("press\n");
constexpr qint64 kLongestRequest = 6;

QString serverName(const QString& folder, const QString& name) {
#ifdef Q_OS_WIN
    // Pipe names are not paths; UserAccessOption keeps other users out.
    return name + QLatin1Char('-') + qEnvironmentVariable("USERNAME");
#else
    return folder + QLatin1Char('/') + name + QStringLiteral(".socket");
#endif
}

} // namespace

SingleInstance::SingleInstance(QString folder, QString name, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), name_(std::move(name)),
      lock_(std::make_unique<QLockFile>(folder_ + QLatin1Char('/') + name_ +
                                        QStringLiteral(".lock"))) {
    // Only a dead owner frees it, however long the program runs.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryClaim() {
    if (lock_->isLocked() || lock_->tryLock(0))
        return true;
    // A lock naming this very process was left by a killed copy whose process id came round
    // again: Wine hands out the same small ids after every restart, and so do containers.
    qint64 holder = 0;
    if (lock_->error() == QLockFile::LockFailedError &&
        lock_->getLockInfo(&holder, nullptr, nullptr) &&
        holder == QCoreApplication::applicationPid() && lock_->removeStaleLockFile())
        return lock_->tryLock(0);
    return false;
}

bool SingleInstance::listen() {
    if (!lock_->isLocked())
        return false;
    if (!server_) {
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    }
    // Holding the lock, a socket left by a killed copy is ours to remove.
    const QString server = serverName(folder_, name_);
    QLocalServer::removeServer(server);
    return server_->listen(server);
}

bool SingleInstance::send(const QString& folder, const QString& name, Request request, int waitMs) {
    if (folder.isEmpty())
        return false;
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(serverName(folder, name));
        const auto waitNow = static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 1, 250));
        if (socket.waitForConnected(waitNow)) {
            if (!peerIsSameUser(socket.socketDescriptor()))
                return false;
            socket.write(request == Request::Raise  ? kRaise
                         : request == Request::Quit ? kQuit
                                                    : kPress);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsSameUser(socket->socketDescriptor())) {
            socket->abort();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                // Anything longer than a request is not ours.
                if (socket->bytesAvailable() > kLongestRequest)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(kLongestRequest + 1);
            socket->disconnectFromServer();
            if (line == kRaise)
                emit raiseRequested();
            else if (line == kQuit)
                emit quitRequested();
            else if (line == kPress)
                emit pressRequested();
        });
    }
}

QString programInstanceName(const QString& display) {
    // ":0" and ":0.0" are one display; the host part stays (a remote display is another one).
    QString tag = display;
    tag.remove(QRegularExpression(QStringLiteral("\\.\\d+$")));
    tag.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    return QStringLiteral("qinglanque") + (tag.isEmpty() ? QString() : QLatin1Char('-') + tag);
}

QStringList runningProgramInstances(const QString& folder) {
    QStringList names;
    if (folder.isEmpty())
        return names;
    const QStringList sockets = QDir(folder).entryList(
        {QStringLiteral("qinglanque*.socket")}, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& socket : sockets) {
        const QString name = socket.chopped(7); // ".socket"
        if (name != galleryInstanceName())
            names << name;
    }
    return names;
}

} // namespace qlq
