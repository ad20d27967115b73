#include "app/command_line.h"

#include "config/build_config.h"

#include <QCommandLineParser>

namespace qlq {
namespace {

// QApplication's own options: accepted here, taken by QApplication.
constexpr const char* kQtOptionsWithValue[] = {"platform",
                                               "platformpluginpath",
                                               "platformtheme",
                                               "plugin",
                                               "qwindowgeometry",
                                               "qwindowicon",
                                               "qwindowtitle",
                                               "display",
                                               "geometry",
                                               "title",
                                               "name",
                                               "session",
                                               "style",
                                               "stylesheet",
                                               "visual",
                                               "qmljsdebugger"};
constexpr const char* kQtFlags[] = {"reverse", "widgetcount", "nograb",
                                    "dograb",  "sync",        "testability"};

QString usageText() {
    return QStringLiteral(
        "用法 Usage: qinglanque [选项 options]\n"
        "\n"
        "青岚雀贴吧小尾巴：保存一组小尾巴（签名行）。在任何程序里按 F8，下一条小尾巴就粘贴到\n"
        "光标处（按顺序或随机，可附加自己的尾巴，可再按 Ctrl+Enter 直接发送）。\n"
        "不带选项启动时打开主窗口。\n"
        "Keeps a list of forum signature lines (\"tails\"). Press F8 in any program and the\n"
        "next tail is pasted at the cursor (in order or at random, optionally followed by\n"
        "your own tail line and sent with Ctrl+Enter). Without options it opens its window.\n"
        "\n"
        "选项 Options:\n"
        "  -h, --help      显示本说明 / show this help and exit\n"
        "  -v, --version   显示版本 / show the version and exit\n"
        "  --verbose       在标准错误输出上记录每次按键、文件读写和失败的原因 /\n"
        "                  log every press, file access and failure on standard error\n"
        "  --background    直接在通知区域启动，不显示启动画面 /\n"
        "                  start in the notification area, without the splash\n"
        "  --autostart on|off\n"
        "                  登录桌面时自动在后台启动（或取消）/\n"
        "                  start in the background when you log in (or stop doing so)\n"
        "  --insert        让正在运行的青岚雀插入一条小尾巴，如按了 F8（供桌面快捷键使用）/\n"
        "                  make the running copy insert one tail, as F8 does (for a desktop\n"
        "                  shortcut: sway's bindsym F8 exec qinglanque --insert)\n"
        "  --bind-gnome-f8 [off]\n"
        "                  在 GNOME 的自定义快捷键里把 F8 绑定到 qinglanque --insert（或取消）/\n"
        "                  bind F8 to qinglanque --insert in GNOME's custom shortcuts (or unbind)\n"
        "  Qt 的标准选项（如 -platform、-display、-style）照常可用。\n"
        "  Qt's standard options (such as -platform, -display, -style) work as usual.\n"
        "\n"
        "文件 Files:\n"
        "  corvane/qinglanque.ini   小尾巴列表，每行一条 / the tail list, one tail per line\n"
        "  corvane/corvane.ini      选项 / the options\n"
        "  程序文件旁边有 corvane/ 目录时用它（便携版），否则用\n"
        "  ~/.local/share/qinglanque/corvane/（设置了 $XDG_DATA_HOME 时在其下）。\n"
        "  A corvane/ directory beside the program file wins (portable copy); otherwise\n"
        "  ~/.local/share/qinglanque/corvane/ (under $XDG_DATA_HOME when that is set).\n");
}

} // namespace

CommandLineOutcome readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(
        QStringList{QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption verbose(QStringLiteral("verbose"));
    const QCommandLineOption background(QStringLiteral("background"));
    const QCommandLineOption autostart(QStringLiteral("autostart"), QString(),
                                       QStringLiteral("on|off"));
    const QCommandLineOption insert(QStringLiteral("insert"));
    const QCommandLineOption bindGnomeF8(QStringLiteral("bind-gnome-f8"));
    parser.addOptions({help, version, verbose, background, autostart, insert, bindGnomeF8});
    for (const char* name : kQtOptionsWithValue)
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    for (const char* name : kQtFlags)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));

    CommandLineOutcome outcome;
    if (!parser.parse(arguments)) {
        outcome.exitCode = 2;
        outcome.error = QStringLiteral("qinglanque: ") + parser.errorText() +
                        QStringLiteral("\n\n") + usageText();
        return outcome;
    }
    QStringList positional = parser.positionalArguments();
    // "--bind-gnome-f8 off": the one switch whose word may follow it.
    if (parser.isSet(bindGnomeF8) && positional.size() == 1 &&
        (positional.front() == QLatin1String("on") || positional.front() == QLatin1String("off")))
        outcome.options.gnomeF8 = positional.takeFirst() == QLatin1String("on");
    else if (parser.isSet(bindGnomeF8))
        outcome.options.gnomeF8 = true;
    if (!positional.isEmpty()) {
        outcome.exitCode = 2;
        outcome.error = QStringLiteral("qinglanque: 多余的参数 / unexpected argument: ") +
                        positional.first() + QStringLiteral("\n\n") + usageText();
        return outcome;
    }
    const QString autostartValue = parser.value(autostart);
    if (parser.isSet(autostart) && autostartValue != QLatin1String("on") &&
        autostartValue != QLatin1String("off")) {
        outcome.exitCode = 2;
        outcome.error = QStringLiteral("qinglanque: --autostart 只接受 on 或 off / "
                                       "--autostart takes on or off\n");
        return outcome;
    }
    if (parser.isSet(help)) {
        outcome.exitCode = 0;
        outcome.output = usageText();
    } else if (parser.isSet(version)) {
        outcome.exitCode = 0;
        outcome.output =
            QStringLiteral("qinglanque %1\n").arg(QString::fromLatin1(config::kVersion));
    }
    outcome.options.verbose = parser.isSet(verbose);
    outcome.options.background = parser.isSet(background);
    outcome.options.insert = parser.isSet(insert);
    if (parser.isSet(autostart))
        outcome.options.autostart = autostartValue == QLatin1String("on");
    outcome.options.platform = parser.value(QStringLiteral("platform"));
    outcome.options.display = parser.value(QStringLiteral("display"));
    return outcome;
}

} // namespace qlq
