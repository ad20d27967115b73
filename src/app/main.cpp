#include "app/command_line.h"
#include "app/program.h"
#include "data/data_paths.h"
#include "platform/x11/x11_desktop.h"
#include "shell/program_icon.h"

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
    QApplication::setApplicationDisplayName(QStringLiteral("青岚雀贴吧小尾巴"));
    setProgramLook(app);

    X11Desktop desktop;
    Program program(desktop,
                    DataPaths::resolve(desktop.programDirectory(), desktop.userDataDirectory()));
    program.showMainWindow();
    return app.exec();
}
