// qinglanque-gallery: the signature gallery window, in a process of its own so that the main
// program never loads the web engine. Started by the main program with the address to show.
#include "config/web_addresses.h"
#include "windows/gallery/gallery_window.h"
#include "windows/gallery_channel.h"

#include <QApplication>
#include <QFont>
#include <QLockFile>

#include <unistd.h>

using namespace qlq;

int main(int argc, char* argv[]) {
    // One gallery per user: when another one holds the lock, bring that one forward instead.
    // Decided before anything else, so a second start costs next to nothing.
    const QString serverName = galleryServerName();
    QLockFile lock(serverName + QStringLiteral(".lock"));
    lock.setStaleLockTime(0); // only a dead owner frees it, however long the window stays open
    if (!lock.tryLock(0) && lock.error() == QLockFile::LockFailedError)
        return askGalleryToRaise(serverName, 5000) ? 0 : 1;

    // The web engine's sandbox refuses to run as root and takes the process down with it.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qinglanque-gallery"));

    QFont font = QApplication::font();
    font.setFamilies(
        {QStringLiteral("NSimSun"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN")});
    font.setPointSize(9);
    QApplication::setFont(font);

    const QStringList args = QApplication::arguments();
    const QUrl address = args.size() > 1 ? QUrl(args.at(1)) : galleryUrl();

    GalleryWindow window;
    GalleryRaiseServer server;
    // Without the lock (an unwritable runtime directory) the gallery still opens, just unshared.
    if (lock.isLocked())
        server.listen(serverName);
    QObject::connect(&server, &GalleryRaiseServer::raiseRequested, &window,
                     &GalleryWindow::bringToFront);
    window.load(address);
    window.show();
    return app.exec();
}
