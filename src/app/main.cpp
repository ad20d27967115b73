#include "app/autostart_entry.h"
#include "app/command_line.h"
#include "app/gnome_f8_binding.h"
#include "app/program.h"
#include "app/qt_translations.h"
#include "config/build_config.h"
#include "config/log_categories.h"
#include "data/data_paths.h"
#include "data/first_start.h"
#include "instance/private_folder.h"
#include "instance/single_instance.h"
#include "platform/desktop_factory.h"
#include "ui/file_problem_text.h"
#include "ui/program_icon.h"
#include "ui/song_font.h"
#include "windows/splash_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <cstdio>

using namespace qlq;

namespace {

void setProgramLook(QApplication& app) {
    QFont font = app.font();
    font.setFamilies(songFamilies());
    font.setPointSize(9);
    app.setFont(font);
    app.setWindowIcon(programIcon());
}

void printTo(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

QString programFile(const char* argv0) {
    // Before QCoreApplication exists: /proc knows where the program file is.
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists())
        return self.canonicalFilePath();
    return QFileInfo(QString::fromLocal8Bit(argv0)).absoluteFilePath();
}

int setAutostart(bool on, const char* argv0) {
    const AutostartEntry entry(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
        QString::fromUtf8(config::kAppId), programFile(argv0),
        {QString::fromUtf8(config::kFormerAppId)});
    const std::optional<QString> error = on ? entry.turnOn() : entry.turnOff();
    if (error) {
        printTo(stderr, QStringLiteral("qinglanque: %1: %2\n").arg(entry.path(), *error));
        return 1;
    }
    printTo(stdout, on ? QStringLiteral("自动启动已开启 / autostart on: %1\n").arg(entry.path())
                       : QStringLiteral("自动启动已关闭 / autostart off\n"));
    return 0;
}

int setGnomeF8(bool on, const char* argv0) {
    const GnomeF8Binding binding(programFile(argv0));
    const GnomeF8Binding::Outcome outcome = on ? binding.bind() : binding.unbind();
    if (!outcome.ok) {
        printTo(stderr, QStringLiteral("qinglanque: --bind-gnome-f8: %1\n").arg(outcome.message));
        return 1;
    }
    printTo(stdout, outcome.message);
    return 0;
}

// `qinglanque --insert`, which a desktop shortcut runs for F8: one press in the running copy,
// quickly and silently. A shortcut's command may see no X display, or another name for it:
// then the one copy of this user that listens is the one meant.
int insertOnce(const QString& display) {
    const PrivateFolder folder = privateRuntimeFolder();
    QStringList names{programInstanceName(display)};
    QStringList others = runningProgramInstances(folder.path);
    others.removeAll(names.front());
    if (others.size() == 1)
        names << others.front();
    for (const QString& name : names) {
        if (SingleInstance::send(folder.path, name, SingleInstance::Request::Press, 0))
            return 0;
    }
    printTo(stderr, QStringLiteral("qinglanque: 青岚雀贴吧小尾巴没有在运行 / no running copy to "
                                   "insert a tail\n"));
    return 1;
}

// An installed copy's first start: the samples, so that F8 pastes something from the start.
void provideSamples(const DataPaths& paths, const std::optional<QString>& userDataDirectory) {
    if (paths.baseDirectory() != userDataDirectory)
        return; // a portable copy brings its own corvane/
    const QString samples =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                        QString::fromUtf8(config::kSamplesDirFromProgram));
    const SampleCopy copy = copySamplesOnFirstStart(samples, paths.corvaneDirectory());
    if (!copy.copied.isEmpty())
        qCInfo(log::files, "first start: copied the samples %ls to %ls",
               qUtf16Printable(copy.copied.join(QStringLiteral(", "))),
               qUtf16Printable(paths.corvaneDirectory()));
    if (copy.problem)
        qCWarning(log::files, "the samples could not be copied to %ls: %ls",
                  qUtf16Printable(copy.problem->path),
                  qUtf16Printable(fileProblemText(*copy.problem)));
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // --help, --version and --autostart work without a display.
    const CommandLineOutcome commandLine = readCommandLine(arguments);
    printTo(stdout, commandLine.output);
    printTo(stderr, commandLine.error);
    if (commandLine.exitCode)
        return *commandLine.exitCode;
    const StartOptions& options = commandLine.options;
    if (options.insert)
        return insertOnce(options.display.isEmpty() ? qEnvironmentVariable("DISPLAY")
                                                    : options.display);
    if (options.autostart)
        return setAutostart(*options.autostart, argv[0]);
    if (options.gnomeF8)
        return setGnomeF8(*options.gnomeF8, argv[0]);
    if (options.verbose) {
        QLoggingCategory::setFilterRules(QStringLiteral("qlq.*=true"));
        qSetMessagePattern(QStringLiteral("%{time process} %{category}: %{message}"));
        // A Windows program without a console would send the log to the debugger only;
        // "qinglanque.exe --verbose 2> log.txt" should fill the file.
        qputenv("QT_FORCE_STDERR_LOGGING", "1");
    }
    if (const std::optional<QString> problem = prepareDesktop(options.platform, options.display)) {
        printTo(stderr, QStringLiteral("qinglanque: %1\n").arg(*problem));
        return 1;
    }

    // One copy per user and display: two would paste every F8 twice. A second start brings
    // the running one forward and leaves, before anything costly happens.
    const PrivateFolder folder = privateRuntimeFolder();
    const QString instanceName = programInstanceName(
        options.display.isEmpty() ? qEnvironmentVariable("DISPLAY") : options.display);
    SingleInstance instance(folder.path, instanceName);
    if (folder.path.isEmpty()) {
        printTo(stderr,
                QStringLiteral("qinglanque: 找不到只属于本用户的文件夹，无法保证只运行一个副本 / "
                               "no folder of this user's alone to guard against a second "
                               "copy (%1)\n")
                    .arg(folder.problem));
        return 1;
    }
    if (!instance.tryClaim()) {
        if (SingleInstance::send(folder.path, instanceName, SingleInstance::Request::Raise, 5000)) {
            printTo(stdout, QStringLiteral("青岚雀贴吧小尾巴已在运行 / already running: "
                                           "brought its window forward\n"));
            return 0;
        }
        printTo(stderr, QStringLiteral("qinglanque: 另一个副本正在运行但没有响应 / another copy "
                                       "is running but does not answer\n"));
        return 1;
    }

    // Qt wants a runtime folder too (and complains at every start without one); the gallery
    // helper, started from here, then finds the same folder.
    if (!folder.substituteRuntime.isEmpty())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.substituteRuntime));

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qinglanque"));
    // Wayland compositors match our windows to the desktop entry (its name and icon) by this.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(config::kAppId));
    // No display name: Qt would append it to every window's caption.
    setProgramLook(app);
    installQtTranslations(QLocale::system());
    if (!instance.listen())
        qCWarning(log::app, "a second start cannot reach this one: the socket in %ls failed",
                  qUtf16Printable(folder.path));

    const std::unique_ptr<Desktop> desktop = createDesktop();
    const std::optional<QString> userDataDirectory = desktop->shell().userDataDirectory();
    const std::optional<DataPaths> paths =
        DataPaths::resolve(desktop->shell().programDirectory(), userDataDirectory);
    if (!paths) {
        printTo(stderr, QStringLiteral(
                            "qinglanque: 没有主文件夹（HOME 与 XDG_DATA_HOME 均未设为绝对路径），"
                            "无处保存小尾巴 / no home folder: neither HOME nor "
                            "XDG_DATA_HOME is an absolute path, so the tails have no "
                            "place (a portable copy keeps them in corvane/ beside the "
                            "program)\n"));
        return 1;
    }
    provideSamples(*paths, userDataDirectory);
    Program program(*desktop, *paths, folder.path);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &program, &Program::bringForward);
    QObject::connect(&instance, &SingleInstance::pressRequested, &program, [&desktop] {
        qCInfo(log::app, "--insert: one press asked for");
        desktop->requestPress();
    });
    program.endWithTheSession();
    if (options.background) {
        program.showMainWindow(true);
    } else {
        // The program starts with the splash; its timer brings up the main window.
        auto* splash = new SplashWindow(desktop->shell(), [&program] { program.showMainWindow(); });
        splash->load();
        splash->show();
    }
    return app.exec();
}
