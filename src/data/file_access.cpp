#include "data/file_access.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace qlq {
namespace {

// The complete new file waits under this name beside the target until it replaces the target.
// QSaveFile would write it under the target's name plus six random letters, which a user's own
// "qinglanque.ini.backup" also matches; this suffix is the program's alone.
const QString kNewSuffix = QStringLiteral(".qlq-new");

std::filesystem::path nativePath(const QString& path) {
    return {QDir::toNativeSeparators(path).toStdU16String()};
}

} // namespace

FileReadResult readWholeFile(const QString& path) {
    FileReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.status = FileReadResult::Status::Missing;
        return result;
    }
    if (info.isDir()) {
        result.status = FileReadResult::Status::Failed;
        result.error = QStringLiteral("这是一个目录，不是文件");
        return result;
    }
    // Opening a FIFO blocks until someone writes to it, which would freeze the window; devices
    // and sockets are no text files either.
    if (!info.isFile()) {
        result.status = FileReadResult::Status::Failed;
        result.error = QStringLiteral("这不是一个普通文件");
        return result;
    }
    if (info.size() > kMaxReadBytes) {
        result.status = FileReadResult::Status::Failed;
        result.error =
            QStringLiteral("文件太大（超过 %1 MB）").arg(kMaxReadBytes / (qint64(1024) * 1024));
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = file.error() == QFileDevice::OpenError && !QFileInfo::exists(path)
                            ? FileReadResult::Status::Missing
                            : FileReadResult::Status::Failed;
        result.error = file.errorString();
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = FileReadResult::Status::Failed;
        result.error = file.errorString();
        result.bytes.clear();
        return result;
    }
    result.status = FileReadResult::Status::Ok;
    return result;
}

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return QStringLiteral("无法创建目录 %1").arg(QDir::toNativeSeparators(info.absolutePath()));
    // The rename below would replace a read-only file all the same.
    if (info.isFile() && !info.isWritable())
        return QStringLiteral("文件是只读的");
    const QString newFile = path + kNewSuffix;
    QSaveFile file(newFile);
    // Unbuffered: QSaveFile only notices a failed write that passes through write() itself. A
    // buffer flushed inside commit() that hits a full disk is ignored, and the cut-off file is
    // renamed over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    if (info.isFile())
        QFile::setPermissions(newFile, info.permissions());
    // Replaces the target in one step, on Windows too (QFile::rename refuses to).
    std::error_code error;
    std::filesystem::rename(nativePath(newFile), nativePath(path), error);
    if (error) {
        QFile::remove(newFile);
        return QString::fromLocal8Bit(error.message());
    }
    return std::nullopt;
}

int removeStaleSaveFiles(const QString& path) {
    const QFileInfo target(path);
    // The new file itself, and QSaveFile's own temporary for it (six random letters).
    const QRegularExpression stale(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(target.fileName() + kNewSuffix) +
        QStringLiteral("(\\.[A-Za-z0-9]{6})?")));
    int removed = 0;
    const QFileInfoList candidates =
        target.absoluteDir().entryInfoList({target.fileName() + kNewSuffix + QLatin1Char('*')},
                                           QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& file : candidates) {
        if (stale.match(file.fileName()).hasMatch() && QFile::remove(file.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

} // namespace qlq
