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

QString qtPath(const std::filesystem::path& path) {
    return QDir::fromNativeSeparators(QString::fromStdU16String(path.u16string()));
}

FileReadResult failed(FileProblem::Kind kind, const QString& path, QString reason = QString()) {
    return {FileReadResult::Status::Failed, QByteArray(),
            FileProblem{kind, path, std::move(reason)}};
}

struct WriteTarget {
    QString path;
    std::optional<FileProblem> problem;
};

// The file a write to `path` replaces: where a symbolic link (or a chain of them) finally leads,
// so that the link stays and its target gets the change. A link that leads to no file is a
// problem: writing a new file there would put the list where the user never looks.
WriteTarget writeTarget(const QString& path) {
    namespace fs = std::filesystem;
    constexpr int kMostLinks = 40; // as the system allows; more means a loop
    fs::path target = nativePath(path);
    std::error_code error;
    int links = 0;
    while (fs::is_symlink(fs::symlink_status(target, error))) {
        const fs::path next = fs::read_symlink(target, error);
        if (error || ++links > kMostLinks)
            return {path, FileProblem{FileProblem::Kind::DanglingLink, path, qtPath(target)}};
        // A relative link is read from the directory the link is in.
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    if (links > 0 && !fs::exists(fs::status(target, error)))
        return {path, FileProblem{FileProblem::Kind::DanglingLink, path,
                                  QDir::cleanPath(qtPath(target))}};
    return {links > 0 ? qtPath(target) : path, std::nullopt};
}

} // namespace

FileReadResult readWholeFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (info.isDir())
        return failed(FileProblem::Kind::IsDirectory, path);
    // Opening a FIFO blocks until someone writes to it, which would freeze the window; devices
    // and sockets are no text files either.
    if (!info.isFile())
        return failed(FileProblem::Kind::NotRegularFile, path);
    if (info.size() > kMaxReadBytes)
        return failed(FileProblem::Kind::TooLarge, path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.error() == QFileDevice::OpenError && !QFileInfo::exists(path))
            return {};
        return failed(FileProblem::Kind::ReadFailed, path, file.errorString());
    }
    FileReadResult result;
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed(FileProblem::Kind::ReadFailed, path, file.errorString());
    result.status = FileReadResult::Status::Ok;
    return result;
}

std::optional<FileProblem> writeFileAtomically(const QString& linkOrFile, const QByteArray& bytes) {
    const WriteTarget target = writeTarget(linkOrFile);
    if (target.problem)
        return target.problem;
    const QString& path = target.path;
    const auto problem = [&path](FileProblem::Kind kind, QString reason = QString()) {
        return FileProblem{kind, path, std::move(reason)};
    };
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return FileProblem{FileProblem::Kind::NoDirectory, info.absolutePath(), QString()};
    // The rename below would replace a read-only file all the same.
    if (info.isFile() && !info.isWritable())
        return problem(FileProblem::Kind::ReadOnly);
    const QString newFile = path + kNewSuffix;
    QSaveFile file(newFile);
    // Unbuffered: QSaveFile only notices a failed write that passes through write() itself. A
    // buffer flushed inside commit() that hits a full disk is ignored, and the cut-off file is
    // renamed over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return problem(FileProblem::Kind::WriteFailed, file.errorString());
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return problem(FileProblem::Kind::WriteFailed, reason);
    }
    if (!file.commit())
        return problem(FileProblem::Kind::WriteFailed, file.errorString());
    if (info.isFile())
        QFile::setPermissions(newFile, info.permissions());
    // Replaces the target in one step, on Windows too (QFile::rename refuses to).
    std::error_code error;
    std::filesystem::rename(nativePath(newFile), nativePath(path), error);
    if (error) {
        QFile::remove(newFile);
        return problem(FileProblem::Kind::WriteFailed, QString::fromLocal8Bit(error.message()));
    }
    return std::nullopt;
}

int removeStaleSaveFiles(const QString& path) {
    // Beside the file a save replaces, which for a link is its target.
    const QFileInfo target(writeTarget(path).path);
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
