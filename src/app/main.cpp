#include "app/command_line.h"
#include "app/program.h"
#include "data/data_paths.h"
#include "platform/desktop_factory.h"
#include "ui/program_icon.h"
#include "windows/splash_window.h"

#include <QApplication>
#include <QFont>
#include <QLoggingCategory>

#include <cstdio>

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

void printTo(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // --help and --version work without a display.
    const CommandLineOutcome commandLine = readCommandLine(arguments);
    printTo(stdout, commandLine.output);
    printTo(stderr, commandLine.error);
    if (commandLine.exitCode)
        return *commandLine.exitCode;
    if (commandLine.options.verbose) {
        QLoggingCategory::setFilterRules(QStringLiteral("qlq.*=true"));
        qSetMessagePattern(QStringLiteral("%{time process} %{category}: %{message}"));
    }

    prepareDesktop();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qinglanque"));
    // No display name: Qt would append it to every window's caption.
    setProgramLook(app);

    const std::unique_ptr<DesktopServices> desktop = createDesktop();
    Program program(*desktop,
                    DataPaths::resolve(desktop->programDirectory(), desktop->userDataDirectory()));
    // The program starts with the splash; its timer brings up the main window.
    auto* splash = new SplashWindow(*desktop, [&program] { program.showMainWindow(); });
    splash->load();
    splash->show();
    return app.exec();
}
