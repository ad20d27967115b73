// POSIX side of the private folder: owner and mode checks, and the peer's user id.
#include "instance/private_folder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace qlq {

PrivateFolder privateRuntimeFolder() {
    // Qt falls back to the shared temporary folder by itself, where another user could take our
    // names first; the fallback here is a folder of this user's own.
    // A runtime folder of another user (sudo keeps the variable) is not ours to write in.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat info {};
    if (!runtime.isEmpty() && ::stat(QFile::encodeName(runtime).constData(), &info) == 0 &&
        S_ISDIR(info.st_mode) && info.st_uid == ::getuid())
        return ensurePrivateFolder(runtime + QStringLiteral("/qinglanque"));
    return ensurePrivateFolder(QDir::tempPath() + QStringLiteral("/qinglanque-%1").arg(::getuid()));
}

PrivateFolder ensurePrivateFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {QString(),
                QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)))};
    // lstat: a symbolic link planted under our name is not our folder.
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return {QString(), QStringLiteral("%1 is not a folder").arg(path)};
    if (info.st_uid != ::getuid())
        return {QString(), QStringLiteral("%1 belongs to another user").arg(path)};
    if ((info.st_mode & 077) != 0)
        return {QString(), QStringLiteral("%1 is open to other users").arg(path)};
    return {path, QString()};
}

bool peerIsSameUser(qintptr socketDescriptor) {
#if defined(SO_PEERCRED)
    struct ucred peer {};
    socklen_t size = sizeof(peer);
    if (::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) !=
        0)
        return false;
    return peer.uid == ::getuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(static_cast<int>(socketDescriptor), &uid, &gid) == 0 && uid == ::getuid();
#endif
}

} // namespace qlq
