#include "windows/gallery_launcher.h"

#include "config/build_config.h"
#include "config/log_categories.h"
#include "instance/single_instance.h"
#include "platform/shell_services.h"
#include "ui/program_title.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace qlq {

GalleryLauncher::GalleryLauncher(ShellServices& shell, QString helperPath, QString instanceFolder)
    : shell_(shell), helperPath_(std::move(helperPath)),
      instanceFolder_(std::move(instanceFolder)) {}

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
    if (SingleInstance::send(instanceFolder_, galleryInstanceName(), SingleInstance::Request::Raise,
                             0))
        return;

    const QFileInfo helper(helperPath_);
    if (!helper.exists()) {
        // The helper package (it brings the web engine) is not installed.
        qCInfo(log::app, "no gallery helper at %ls: opening the gallery in the browser",
               qUtf16Printable(helperPath_));
        shell_.openUrl(address);
        return;
    }
    // Detached: the gallery stays open when the main window closes. Two quick clicks may start
    // two helpers; the second one finds the first one's lock and only raises it.
    if (!helper.isFile() || !helper.isExecutable() ||
        !QProcess::startDetached(helperPath_, {address.toString(QUrl::FullyEncoded)}))
        shell_.showMessage(parent, programTitle(),
                           QStringLiteral("无法打开签名大全：无法启动程序 %1")
                               .arg(QDir::toNativeSeparators(helperPath_)));
}

void GalleryLauncher::closeOpenGallery() {
    SingleInstance::send(instanceFolder_, galleryInstanceName(), SingleInstance::Request::Quit, 0);
}

} // namespace qlq
