#include "data/file_access.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qlq {

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
    QSaveFile file(path);
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
    return std::nullopt;
}

} // namespace qlq
