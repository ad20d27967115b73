#include "windows/gallery_channel.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include <algorithm>

namespace qlq {
namespace {

const QByteArray kRaise = QByteArrayLiteral("raise\n");

} // namespace

QString galleryServerName() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir))
        dir = QDir::tempPath();
#ifdef Q_OS_UNIX
    return dir + QStringLiteral("/qinglanque-gallery-%1").arg(getuid());
#else
    return QStringLiteral("qinglanque-gallery-") + qEnvironmentVariable("USERNAME");
#endif
}

bool askGalleryToRaise(const QString& serverName, int waitMs) {
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(serverName);
        const auto waitNow = static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 1, 250));
        if (socket.waitForConnected(waitNow)) {
            socket.write(kRaise);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
}

GalleryRaiseServer::GalleryRaiseServer(QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &GalleryRaiseServer::acceptConnections);
}

GalleryRaiseServer::~GalleryRaiseServer() = default;

bool GalleryRaiseServer::listen(const QString& serverName) {
    QLocalServer::removeServer(serverName);
    return server_->listen(serverName);
}

void GalleryRaiseServer::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                // Anything longer than the one request is not ours.
                if (socket->bytesAvailable() > kRaise.size())
                    socket->abort();
                return;
            }
            if (socket->readLine(kRaise.size() + 1) == kRaise)
                emit raiseRequested();
            socket->disconnectFromServer();
        });
    }
}

} // namespace qlq
