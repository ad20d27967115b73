#include "app/command_line.h"

#include "config/build_config.h"

#include <algorithm>
#include <array>
#include <vector>

namespace qlq {

namespace {

// Options QApplication and the xcb platform understand; they may be written with one or two
// dashes, and the ones with a value as "-name value" or "-name=value".
constexpr std::array<std::string_view, 16> kQtOptionsWithValue = {"platform",
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
constexpr std::array<std::string_view, 6> kQtFlags = {"reverse", "widgetcount", "nograb",
                                                      "dograb",  "sync",        "testability"};

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

CommandLine invalid(std::string message) {
    return {CommandLineRequest::Invalid, std::move(message)};
}

} // namespace

CommandLine parseCommandLine(std::span<const std::string_view> arguments) {
    CommandLineRequest wanted = CommandLineRequest::Run;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view arg = arguments[i];
        if (optionsEnded || arg.size() < 2 || arg.front() != '-')
            return invalid("多余的参数 / unexpected argument: " + std::string(arg));
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string_view name = arg.substr(arg.starts_with("--") ? 2 : 1);
        const std::size_t equals = name.find('=');
        const bool hasValue = equals != std::string_view::npos;
        if (hasValue)
            name = name.substr(0, equals);

        if (!hasValue && (arg == "-h" || arg == "-?" || arg == "--help")) {
            if (wanted == CommandLineRequest::Run)
                wanted = CommandLineRequest::ShowHelp;
        } else if (!hasValue && (arg == "-v" || arg == "--version")) {
            if (wanted == CommandLineRequest::Run)
                wanted = CommandLineRequest::ShowVersion;
        } else if (contains(kQtOptionsWithValue, name)) {
            if (!hasValue && ++i == arguments.size())
                return invalid("选项缺少值 / option needs a value: " + std::string(arg));
        } else if (!hasValue && contains(kQtFlags, name)) {
            // Qt's own switch: QApplication takes it.
        } else {
            return invalid("未知选项 / unknown option: " + std::string(arg));
        }
    }
    return {wanted, {}};
}

std::string versionText() {
    return std::string("qinglanque ") + config::kVersion + "\n";
}

std::string usageText() {
    return "用法 Usage: qinglanque [选项 options]\n"
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
           "  Qt 的标准选项（如 -platform、-display、-style）照常可用。\n"
           "  Qt's standard options (such as -platform, -display, -style) work as usual.\n"
           "\n"
           "文件 Files:\n"
           "  corvane/qinglanque.ini   小尾巴列表，每行一条 / the tail list, one tail per line\n"
           "  corvane/corvane.ini      选项 / the options\n"
           "  程序文件旁边有 corvane/ 目录时用它（便携版），否则用\n"
           "  ~/.local/share/qinglanque/corvane/（设置了 $XDG_DATA_HOME 时在其下）。\n"
           "  A corvane/ directory beside the program file wins (portable copy); otherwise\n"
           "  ~/.local/share/qinglanque/corvane/ (under $XDG_DATA_HOME when that is set).\n";
}

std::optional<int> answerCommandLine(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err) {
    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    const CommandLine line = parseCommandLine(arguments);
    switch (line.request) {
    case CommandLineRequest::Run:
        return std::nullopt;
    case CommandLineRequest::ShowVersion:
        out << versionText() << std::flush;
        return 0;
    case CommandLineRequest::ShowHelp:
        out << usageText() << std::flush;
        return 0;
    case CommandLineRequest::Invalid:
        break;
    }
    err << "qinglanque: " << line.error << "\n\n" << usageText() << std::flush;
    return 2;
}

} // namespace qlq
