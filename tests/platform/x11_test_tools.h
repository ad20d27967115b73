#pragma once

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

// Runs a tool to completion; xdotool's connection (XTest) closes on exit, so the server has the
// keys by then.
inline void runTool(const char* program, const QStringList& arguments) {
    QProcess tool;
    tool.start(QString::fromLatin1(program), arguments);
    ASSERT_TRUE(tool.waitForFinished(10000)) << program << " hung";
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
}
inline void xdotool(const QStringList& arguments) {
    runTool("xdotool", arguments);
}
