// POSIX side of the private folder: owner and mode checks, and the peer's user id.
#include "instance/private_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/un.h>
#include <unistd.h>

namespace qlq {
namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// What Qt and the XDG rules ask of a runtime folder: a real folder of ours, mode 0700.
bool usableRuntimeFolder(const QString& path) {
    struct stat info {};
    return path.startsWith(QLatin1Char('/')) &&
           ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 0777) == 0700;
}

// A folder of ours that nobody else may write in, made (0700) when missing.
QString ownFolder(const QString& path, bool create) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0 &&
        (errno != ENOENT || !create || ::mkdir(native.constData(), 0700) != 0 ||
         ::stat(native.constData(), &info) != 0))
        return QStringLiteral("%1: %2").arg(path, systemError());
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 022) != 0)
        return QStringLiteral("%1 is not a folder of this user's alone").arg(path);
    return {};
}

// The stand-in runtime folder in the user's cache folder, one per computer (a home may be
// shared between computers, and each has its own displays); nothing without a home.
PrivateFolder cacheStandIn() {
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!cache.startsWith(QLatin1Char('/'))) {
        const QString home = qEnvironmentVariable("HOME");
        if (!home.startsWith(QLatin1Char('/')))
            return {QString(), QStringLiteral("no home folder (HOME)")};
        cache = home + QStringLiteral("/.cache");
    }
    // Each level is checked before anything is made inside it.
    for (const auto& [level, create] :
         {std::pair{QFileInfo(cache).path(), false}, std::pair{cache, true},
          std::pair{cache + QStringLiteral("/qinglanque"), true}}) {
        if (const QString problem = ownFolder(level, create); !problem.isEmpty())
            return {QString(), problem};
    }
    QString host = QSysInfo::machineHostName();
    host.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    return ensurePrivateFolder(cache + QStringLiteral("/qinglanque/runtime-") +
                               (host.isEmpty() ? QStringLiteral("localhost") : host));
}

// A socket's path holds at most 107 bytes. A folder too deep to leave room for our names is
// reached through /proc/self/fd/N instead, a descriptor of the folder kept for the process.
PrivateFolder withRoomForSockets(PrivateFolder folder) {
    constexpr qsizetype kRoomForNames = 48; // "/qinglanque-<display>.socket" and then some
    const QByteArray native = QFile::encodeName(folder.path);
    if (native.size() + kRoomForNames < qsizetype(sizeof(sockaddr_un::sun_path)))
        return folder;
#ifdef O_PATH
    const int descriptor =
        ::open(native.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor >= 0 && QFileInfo::exists(QStringLiteral("/proc/self/fd/%1").arg(descriptor)))
        folder.path = QStringLiteral("/proc/self/fd/%1").arg(descriptor);
#endif
    return folder; // else the lock still guards; only a second start cannot reach this one
}

} // namespace

PrivateFolder privateRuntimeFolder() {
    // A runtime folder of another user (sudo keeps the variable) is not ours to write in.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QStringList problems;
    if (usableRuntimeFolder(runtime)) {
        PrivateFolder folder = ensurePrivateFolder(runtime + QStringLiteral("/qinglanque"));
        if (!folder.path.isEmpty())
            return withRoomForSockets(folder);
        problems << folder.problem;
    }
    // Qt would fall back to the shared temporary folder, where another user can take our names
    // first; the temporary folder comes last here, for a user without a home.
    const std::function<PrivateFolder()> standIns[] = {
        cacheStandIn, [] {
            return ensurePrivateFolder(QDir::tempPath() +
                                       QStringLiteral("/qinglanque-%1").arg(::getuid()));
        }};
    for (const auto& standIn : standIns) {
        const PrivateFolder runtimeStandIn = standIn();
        if (runtimeStandIn.path.isEmpty()) {
            problems << runtimeStandIn.problem;
            continue;
        }
        PrivateFolder folder =
            ensurePrivateFolder(runtimeStandIn.path + QStringLiteral("/qinglanque"));
        if (folder.path.isEmpty())
            return {QString(), folder.problem};
        folder.substituteRuntime = runtimeStandIn.path;
        return withRoomForSockets(folder);
    }
    return {QString(), problems.join(QStringLiteral("; "))};
}

PrivateFolder ensurePrivateFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {QString(), QStringLiteral("%1: %2").arg(path, systemError())};
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
