#include "app/command_line.h"
#include "config/build_config.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace qlq;

namespace {

struct Answer {
    std::optional<int> exitCode;
    std::string out;
    std::string err;
};

Answer answer(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "/usr/bin/qinglanque");
    std::ostringstream out;
    std::ostringstream err;
    const auto code =
        answerCommandLine(static_cast<int>(arguments.size()), arguments.data(), out, err);
    return {code, out.str(), err.str()};
}

} // namespace

TEST(CommandLine, VersionAndHelpGoToStdoutAndExitZero) {
    const std::string version = std::string("qinglanque ") + config::kVersion + "\n";
    for (const char* option : {"--version", "-v"}) {
        const Answer a = answer({option});
        EXPECT_EQ(a.exitCode, 0) << option;
        EXPECT_EQ(a.out, version) << option;
        EXPECT_TRUE(a.err.empty()) << option;
    }
    for (const char* option : {"--help", "-h", "-?"}) {
        const Answer a = answer({option});
        EXPECT_EQ(a.exitCode, 0) << option;
        EXPECT_EQ(a.out, usageText()) << option;
        EXPECT_TRUE(a.err.empty()) << option;
    }
    // The first of the two wins; Qt options beside them do no harm.
    EXPECT_EQ(answer({"--help", "--version"}).out, usageText());
    EXPECT_EQ(answer({"-platform", "offscreen", "--version"}).out, version);
}

TEST(CommandLine, UsageSaysWhatF8DoesAndWhereTheFilesLive) {
    const std::string usage = usageText();
    for (const char* needle :
         {"F8", "Ctrl+Enter", "--help", "--version", "corvane/qinglanque.ini",
          "corvane/corvane.ini", "~/.local/share/qinglanque/corvane/", "XDG_DATA_HOME", "小尾巴"})
        EXPECT_NE(usage.find(needle), std::string::npos) << needle;
}

TEST(CommandLine, NoArgumentsAndQtsOwnOptionsStartTheProgram) {
    const std::vector<std::vector<const char*>> starts = {
        {},
        {"-platform", "offscreen"},
        {"--platform=xcb"},
        {"-display", ":1", "-style", "fusion", "-reverse"},
        {"-session", "1234_5678"},
        {"--stylesheet=/tmp/a.qss", "--widgetcount"},
        {"--"},
    };
    for (const auto& args : starts) {
        const Answer a = answer(args);
        EXPECT_FALSE(a.exitCode.has_value()) << (args.empty() ? "" : args.front());
        EXPECT_TRUE(a.out.empty());
        EXPECT_TRUE(a.err.empty());
    }
}

TEST(CommandLine, BadArgumentsPrintTheReasonAndUsageToStderrAndExitTwo) {
    const std::vector<std::pair<std::vector<const char*>, std::string>> bad = {
        {{"--bogus"}, "--bogus"},
        {{"-x"}, "-x"},
        {{"-help"}, "-help"}, // only Qt's options take one dash
        {{"--version=2"}, "--version=2"},
        {{"--reverse=yes"}, "--reverse=yes"},
        {{"tails.txt"}, "tails.txt"}, // no positional arguments
        {{"-"}, "-"},
        {{""}, "unexpected argument"},
        {{"--", "--help"}, "--help"}, // after -- everything is positional
        {{"-platform"}, "-platform"}, // the value is missing
        {{"--help", "--bogus"}, "--bogus"},
        {{"--version", "extra"}, "extra"},
    };
    for (const auto& [args, culprit] : bad) {
        const Answer a = answer(args);
        EXPECT_EQ(a.exitCode, 2) << culprit;
        EXPECT_TRUE(a.out.empty()) << culprit;
        EXPECT_NE(a.err.find(culprit), std::string::npos) << a.err;
        EXPECT_NE(a.err.find(usageText()), std::string::npos) << culprit;
    }
}

TEST(CommandLine, AnEmptyArgumentVectorIsAPlainStart) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_FALSE(answerCommandLine(0, nullptr, out, err).has_value());
}
