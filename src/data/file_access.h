#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace qlq {

// What went wrong with a file: what failed, which file, and the system's own words where it gave
// any. The windows word the message the user reads.
struct FileProblem {
    enum class Kind {
        // Reading
        IsDirectory,    // a directory stands where the file should be
        NotRegularFile, // a FIFO, a device or a socket
        TooLarge,       // over kMaxReadBytes
        ReadFailed,     // `reason` says why
        // Writing
        NoDirectory,  // the directory could not be created; `path` is that directory
        ReadOnly,     // the file is marked read-only
        DanglingLink, // `path` is a symbolic link leading to no file; `reason` is where it points
        WriteFailed,  // `reason` says why
        Unencodable,  // the text holds a character the file's encoding cannot store
    };
    Kind kind = Kind::ReadFailed;
    QString path;
    QString reason;

    // A problem of reading the file, not of writing it.
    bool inReading() const { return kind <= Kind::ReadFailed; }
    bool operator==(const FileProblem&) const = default;
};

struct FileReadResult {
    enum class Status { Ok, Missing, Failed };
    Status status = Status::Missing;
    QByteArray bytes;
    std::optional<FileProblem> problem; // when Failed
};

// Larger files are refused rather than read: decoding one would take several times its size.
inline constexpr qint64 kMaxReadBytes = qint64(256) * 1024 * 1024;

// Reads a whole file; a missing file and an unreadable one are told apart, neither throws.
// Directories, FIFOs, devices and files over kMaxReadBytes fail with their kind of problem.
FileReadResult readWholeFile(const QString& path);

// Writes a temporary file beside the file, flushes it and renames it over the file, creating the
// directory when missing, so the old file stays whole if anything fails. A symbolic link stays a
// link: the file it finally leads to is replaced that way, its temporary file beside it.
std::optional<FileProblem> writeFileAtomically(const QString& linkOrFile, const QByteArray& bytes);

// Removes the temporary files a save of `path` leaves behind when the program is killed in its
// middle; they carry a name no other program uses. Returns how many were removed.
int removeStaleSaveFiles(const QString& path);

} // namespace qlq
