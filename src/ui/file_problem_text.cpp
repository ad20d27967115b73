#include "ui/file_problem_text.h"

#include <QDir>

namespace qlq {

QString fileProblemText(const FileProblem& problem) {
    using Kind = FileProblem::Kind;
    switch (problem.kind) {
    case Kind::IsDirectory:
        return QStringLiteral("这是一个目录，不是文件");
    case Kind::NotRegularFile:
        return QStringLiteral("这不是一个普通文件");
    case Kind::TooLarge:
        return QStringLiteral("文件太大（超过 %1 MB）").arg(kMaxReadBytes / (qint64(1024) * 1024));
    case Kind::NoDirectory:
        return QStringLiteral("无法创建目录 %1").arg(QDir::toNativeSeparators(problem.path));
    case Kind::ReadOnly:
        return QStringLiteral("文件是只读的");
    case Kind::DanglingLink:
        return QStringLiteral("它是一个链接，指向的 %1 不存在")
            .arg(QDir::toNativeSeparators(problem.reason));
    case Kind::Unencodable:
        return QStringLiteral("文字无法转换为文件的编码");
    case Kind::ReadFailed:
    case Kind::WriteFailed:
        break;
    }
    return problem.reason;
}

} // namespace qlq
