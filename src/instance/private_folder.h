#pragma once

#include <QString>

namespace qlq {

// A folder only its user can enter: where the program's sockets and lock files live, so that
// nobody else can listen on our names first or take our locks.
struct PrivateFolder {
    QString path;    // empty when there is none
    QString problem; // why not, for the log
    // Set when the environment names no usable runtime folder: the user's own folder standing in
    // for it (path lies inside). Qt and the helpers started from here are to use it as theirs.
    QString substituteRuntime = {};
};

// $XDG_RUNTIME_DIR/qinglanque when that runtime folder is this user's own and closed to others.
// Without one, the same inside a stand-in of the user's own: in the cache folder under $HOME,
// or in the temporary folder when there is no home. The place depends only on what other users
// cannot change, so every start of this user's finds the same one; a folder another user took
// or opened is never used.
PrivateFolder privateRuntimeFolder();

// Creates `path` for this user alone, or checks that an existing one is ours and closed to others.
PrivateFolder ensurePrivateFolder(const QString& path);

// Whether the other end of a connected local socket runs as this user.
bool peerIsSameUser(qintptr socketDescriptor);

} // namespace qlq
