#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace qlq {

struct FileReadResult {
    enum class Status { Ok, Missing, Failed };
    Status status = Status::Missing;
    QByteArray bytes;
    QString error; // why it failed, for a message
};

// Larger files are refused rather than read: decoding one would take several times its size.
inline constexpr qint64 kMaxReadBytes = qint64(256) * 1024 * 1024;

// Reads a whole file; a missing file and an unreadable one are told apart, neither throws.
// Directories, FIFOs, devices and files over kMaxReadBytes fail with a reason.
FileReadResult readWholeFile(const QString& path);

// Writes a temporary file beside `path`, flushes it and renames it over `path`, creating the
// directory when missing, so the old file stays whole if anything fails. Returns the reason of a
// failure, or nothing on success.
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes);

// Removes the temporary files a save of `path` leaves behind when the program is killed in its
// middle; they carry a name no other program uses. Returns how many were removed.
int removeStaleSaveFiles(const QString& path);

} // namespace qlq
