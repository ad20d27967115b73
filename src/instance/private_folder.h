#pragma once

#include <QString>

namespace qlq {

// A folder only its user can enter: where the program's sockets and lock files live, so that
// nobody else can listen on our names first or take our locks.
struct PrivateFolder {
    QString path;    // empty when there is none
    QString problem; // why not, for the log
};

// The user's runtime folder ($XDG_RUNTIME_DIR/qinglanque), or one of the user's own in the
// temporary folder when there is no runtime folder. Created with mode 0700; a folder that another
// user owns, or that others may enter, is refused.
PrivateFolder privateRuntimeFolder();

// Creates `path` for this user alone, or checks that an existing one is ours and closed to others.
PrivateFolder ensurePrivateFolder(const QString& path);

// Whether the other end of a connected local socket runs as this user.
bool peerIsSameUser(qintptr socketDescriptor);

} // namespace qlq
