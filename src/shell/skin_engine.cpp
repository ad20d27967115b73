#include "shell/skin_engine.h"

#include "config/log_categories.h"
#include "data/file_access.h"
#include "text/text_codec.h"
#include "ui/file_problem_text.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace qlq {
namespace {

// The first file a url() of the sheet names that is not a regular file (a FIFO, a device, a
// directory). Relative names count from the working directory, as Qt resolves them.
std::optional<QString> irregularResource(const QString& sheet) {
    static const QRegularExpression url(QStringLiteral(R"(url\(\s*(["']?)(.*?)\1\s*\))"),
                                        QRegularExpression::CaseInsensitiveOption);
    for (auto it = url.globalMatch(sheet); it.hasNext();) {
        const QString name = it.next().captured(2);
        if (name.startsWith(QLatin1Char(':')) || name.startsWith(QLatin1String("qrc:")))
            continue; // built into the program
        const QFileInfo file(name);
        if (file.exists() && !file.isFile())
            return name;
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> attachSkin(const QString& skinFile) {
    const FileReadResult file = readWholeFile(skinFile);
    if (file.status != FileReadResult::Status::Ok) {
        if (file.problem)
            qCWarning(log::files, "skin %ls not used: %ls", qUtf16Printable(skinFile),
                      qUtf16Printable(fileProblemText(*file.problem)));
        return std::nullopt;
    }
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return std::nullopt;
    const QString sheet = decodeText(file.bytes).text;
    if (const std::optional<QString> resource = irregularResource(sheet)) {
        qCWarning(log::files, "skin %ls refused: %ls is no regular file", qUtf16Printable(skinFile),
                  qUtf16Printable(*resource));
        return QStringLiteral("皮肤 %1 没有使用：它引用的 %2 不是普通文件，读取它会让程序停住。")
            .arg(QDir::toNativeSeparators(skinFile), QDir::toNativeSeparators(*resource));
    }
    app->setStyleSheet(sheet);
    qCDebug(log::files, "skin %ls applied", qUtf16Printable(skinFile));
    return std::nullopt;
}

} // namespace qlq
