#include "app/command_line.h"
#include "app/program.h"
#include "data/data_paths.h"
#include "platform/x11/x11_desktop.h"
#include "shell/program_icon.h"
#include "windows/splash_window.h"

#include <QApplication>
#include <QFont>

#include <iostream>

using namespace qlq;

namespace {

void setProgramLook(QApplication& app) {
    QFont font = app.font();
    // Song-style faces first, then whatever CJK face the desktop has.
    font.setFamilies({QStringLiteral("NSimSun"), QStringLiteral("SimSun"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                      QStringLiteral("Droid Sans Fallback")});
    font.setPointSize(9);
    app.setFont(font);
    app.setWindowIcon(programIcon());
}

} // namespace

int main(int argc, char* argv[]) {
    // --help and --version work without a display.
    if (const auto done = answerCommandLine(argc, argv, std::cout, std::cerr))
        return *done;
    prepareX11Threads();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qinglanque"));
    // No display name: Qt would append it to every window's caption.
    setProgramLook(app);

    X11Desktop desktop;
    Program program(desktop,
                    DataPaths::resolve(desktop.programDirectory(), desktop.userDataDirectory()));
    // The program starts with the splash; its timer brings up the main window.
    auto* splash = new SplashWindow(desktop, [&program] { program.showMainWindow(); });
    splash->load();
    splash->show();
    return app.exec();
}
