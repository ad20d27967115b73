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

// Reads a whole file; a missing file and an unreadable one are told apart, neither throws.
FileReadResult readWholeFile(const QString& path);

// Writes a temporary file beside `path`, flushes it and renames it over `path`, creating the
// directory when missing, so the old file stays whole if anything fails. Returns the reason of a
// failure, or nothing on success.
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace qlq
