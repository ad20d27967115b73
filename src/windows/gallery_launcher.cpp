#include "windows/gallery_launcher.h"

#include "config/build_config.h"
#include "platform/desktop_services.h"
#include "ui/program_title.h"
#include "windows/gallery_channel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace qlq {

GalleryLauncher::GalleryLauncher(DesktopServices& desktop, QString helperPath, QString serverName)
    : desktop_(desktop), helperPath_(std::move(helperPath)), serverName_(std::move(serverName)) {}

QString GalleryLauncher::defaultHelperPath() {
    // Beside the program (the build tree, a portable copy), else where the package puts it.
    const QString dir = QCoreApplication::applicationDirPath();
    QString beside = dir + QStringLiteral("/qinglanque-gallery");
    const QString installed = dir + QLatin1Char('/') +
                              QString::fromUtf8(config::kHelperDirFromProgram) +
                              QStringLiteral("/qinglanque-gallery");
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return QDir::cleanPath(installed);
    return beside;
}

void GalleryLauncher::open(const QUrl& address, QWidget* parent) {
    // A local connection is made or refused at once, so this does not hold up the window.
    if (askGalleryToRaise(serverName_, 0))
        return;

    // Detached: the gallery stays open when the main window closes. Two quick clicks may start
    // two helpers; the second one finds the first one's lock and only raises it.
    QString problem;
    const QFileInfo helper(helperPath_);
    if (!helper.isFile() || !helper.isExecutable())
        problem = QStringLiteral("找不到程序 %1").arg(QDir::toNativeSeparators(helperPath_));
    else if (!QProcess::startDetached(helperPath_, {address.toString(QUrl::FullyEncoded)}))
        problem = QStringLiteral("无法启动程序 %1").arg(QDir::toNativeSeparators(helperPath_));
    if (!problem.isEmpty())
        desktop_.showMessage(parent, programTitle(),
                             QStringLiteral("无法打开签名大全：%1").arg(problem));
}

} // namespace qlq
