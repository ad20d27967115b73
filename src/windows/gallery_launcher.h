#pragma once

#include <QString>
#include <QUrl>

class QWidget;

namespace qlq {

class ShellServices;

// Opens the signature gallery, which runs in a helper program of its own so that the web engine
// never weighs on the main program. One gallery at a time: while one is open, opening it again
// brings that window to the front with the page as the user left it. The helper is a package of
// its own; without it the gallery opens in the user's browser.
class GalleryLauncher {
public:
    // `instanceFolder`: the private folder where the helper's socket lives.
    GalleryLauncher(ShellServices& shell, QString helperPath, QString instanceFolder);

    // The helper's usual place: beside the main program.
    static QString defaultHelperPath();

    // Raises the open gallery, or starts the helper on `address`. A helper that is installed but
    // cannot be started is reported in a message box over `parent`.
    void open(const QUrl& address, QWidget* parent);
    // The program ends: an open gallery closes with it.
    void closeOpenGallery();

private:
    ShellServices& shell_;
    QString helperPath_;
    QString instanceFolder_;
};

} // namespace qlq
