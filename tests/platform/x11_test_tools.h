#pragma once

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

// Runs xdotool (XTest) to completion. Its connection is closed (and so synced) when it exits,
// so the server has handled the keys before this returns.
inline void xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    ASSERT_TRUE(tool.waitForFinished(10000)) << "xdotool hung";
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
}
