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
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // Writes are buffered, and commit() does not look at the result of its final flush: a disk
    // that fills up midway would otherwise put a cut-off file in place of the old one.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    // commit() overlooks a short write while it flushes the buffer (a full disk) and would put a
    // cut-off file in place; flushing first catches it.
    if (!file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace qlq
