#pragma once

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

// Runs xdotool (XTest) to completion; its connection closes on exit, so the server has the keys.
inline void xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    ASSERT_TRUE(tool.waitForFinished(10000)) << "xdotool hung";
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
}
