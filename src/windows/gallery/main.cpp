// qinglanque-gallery: the signature gallery window, in a process of its own so that the main
// program never loads the web engine. Started by the main program with the address to show.
#include "config/web_addresses.h"
#include "instance/private_folder.h"
#include "instance/single_instance.h"
#include "ui/song_font.h"
#include "windows/gallery/gallery_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFont>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace qlq;

int main(int argc, char* argv[]) {
    // One gallery per user: when another one is open, bring that one forward instead. Decided
    // before anything else, so a second start costs next to nothing.
    const PrivateFolder privateFolder = privateRuntimeFolder();
    const QString& folder = privateFolder.path;
    SingleInstance instance(folder, galleryInstanceName());
    // Without a private folder the gallery still opens, just unshared.
    if (!folder.isEmpty() && !instance.tryClaim())
        return SingleInstance::send(folder, galleryInstanceName(), SingleInstance::Request::Raise,
                                    5000)
                   ? 0
                   : 1;

#ifdef Q_OS_UNIX
    // The web engine's sandbox refuses to run as root and takes the process down with it.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    // As in the main program: Qt's runtime folder, so that it has no cause to complain.
    if (!privateFolder.substituteRuntime.isEmpty())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(privateFolder.substituteRuntime));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qinglanque-gallery"));

    QFont font = QApplication::font();
    font.setFamilies(songFamilies());
    font.setPointSize(9);
    QApplication::setFont(font);

    const QStringList args = QApplication::arguments();
    const QUrl address = args.size() > 1 ? QUrl(args.at(1)) : galleryUrl();

    GalleryWindow window;
    if (!folder.isEmpty())
        instance.listen();
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window,
                     &GalleryWindow::bringToFront);
    QObject::connect(&window, &GalleryWindow::openInBrowserRequested, &window,
                     [](const QUrl& address) { QDesktopServices::openUrl(address); });
    // The main program ended (退出, logout): the gallery goes with it.
    QObject::connect(&instance, &SingleInstance::quitRequested, &app, &QCoreApplication::quit);
    window.load(address);
    window.show();
    return app.exec();
}
