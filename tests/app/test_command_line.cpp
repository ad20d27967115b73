#include "app/command_line.h"

#include <gtest/gtest.h>

using namespace qlq;

namespace {

CommandLineOutcome read(QStringList arguments) {
    arguments.prepend(QStringLiteral("/usr/bin/qinglanque"));
    return readCommandLine(arguments);
}

} // namespace

TEST(CommandLine, QtsOwnOptionsAndTheirValuesStartTheProgram) {
    for (const QStringList& arguments : {QStringList{},
                                         {"-platform", "offscreen"},
                                         {"-display=:3", "-style", "fusion"},
                                         {"--verbose", "-reverse"}}) {
        const CommandLineOutcome outcome = read(arguments);
        EXPECT_EQ(outcome.exitCode, std::nullopt) << arguments.join(' ').toStdString();
        EXPECT_TRUE(outcome.error.isEmpty());
    }
    EXPECT_TRUE(read({"--verbose"}).options.verbose);
    EXPECT_TRUE(read({"--background"}).options.background);
    EXPECT_EQ(read({"--autostart", "on"}).options.autostart, true);
    EXPECT_EQ(read({"--autostart=off"}).options.autostart, false);
    EXPECT_EQ(read({"-display", ":7"}).options.display, QStringLiteral(":7"));
    EXPECT_TRUE(read({"--insert"}).options.insert);
    EXPECT_EQ(read({"--bind-gnome-f8"}).options.gnomeF8, true);
    EXPECT_EQ(read({"--bind-gnome-f8", "off"}).options.gnomeF8, false);
    EXPECT_EQ(read({"off", "--bind-gnome-f8"}).options.gnomeF8, false);
}

TEST(CommandLine, HelpAndVersionAnswerAndStrayArgumentsFail) {
    EXPECT_EQ(read({"-v"}).exitCode, 0);
    EXPECT_TRUE(read({"--version"}).output.startsWith(QStringLiteral("qinglanque ")));
    EXPECT_EQ(read({"-platform", "offscreen", "--help"}).exitCode, 0);
    for (const QStringList& arguments : {QStringList{"--bogus"},
                                         {"stray"},
                                         {"-display"},
                                         {"-platform", "xcb", "extra"},
                                         {"--autostart", "yes"},
                                         {"--autostart"},
                                         {"off"},
                                         {"--bind-gnome-f8", "maybe"},
                                         {"--bind-gnome-f8", "off", "on"}}) {
        const CommandLineOutcome outcome = read(arguments);
        EXPECT_EQ(outcome.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(outcome.output.isEmpty());
        EXPECT_FALSE(outcome.error.isEmpty());
    }
}
