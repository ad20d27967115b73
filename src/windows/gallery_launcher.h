#pragma once

#include <QString>
#include <QUrl>

class QWidget;

namespace qlq {

class DesktopServices;

// Opens the signature gallery, which runs in a helper program of its own so that the web engine
// never weighs on the main program. One gallery at a time: while one is open, opening it again
// brings that window to the front with the page as the user left it.
class GalleryLauncher {
public:
    GalleryLauncher(DesktopServices& desktop, QString helperPath, QString serverName);

    // The helper's usual place: beside the main program.
    static QString defaultHelperPath();

    // Raises the open gallery, or starts the helper on `address`. A helper that cannot be
    // started is reported in a message box over `parent`.
    void open(const QUrl& address, QWidget* parent);

private:
    DesktopServices& desktop_;
    QString helperPath_;
    QString serverName_;
};

} // namespace qlq
