// Windows side of the private folder: the per-user temporary folder is the user's own already,
// and a local server made with UserAccessOption admits only its user.
#include "instance/private_folder.h"

#include <QDir>

namespace qlq {

PrivateFolder privateRuntimeFolder() {
    return ensurePrivateFolder(QDir::tempPath() + QStringLiteral("/qinglanque"));
}

PrivateFolder ensurePrivateFolder(const QString& path) {
    if (!QDir().mkpath(path))
        return {QString(), QStringLiteral("%1 cannot be created").arg(path)};
    return {path, QString()};
}

bool peerIsSameUser(qintptr) {
    return true;
}

} // namespace qlq
