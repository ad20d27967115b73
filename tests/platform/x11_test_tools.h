#pragma once

#include "platform/x11/x11_desktop.h"

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

// The X11 desktop on the test's own server, counting the key activity its watcher reports.
struct X11DesktopTest : ::testing::Test {
    qlq::X11Desktop desktop;
    int f8Reports = 0;
    int modifierReports = 0;

    bool queryF8Pressed() { return desktop.pressPath().queryF8Pressed(); }
    qlq::DeliveryResult deliver(bool submit = false) {
        return desktop.pressPath().deliver(QStringLiteral("粘贴"), submit);
    }

    void SetUp() override {
        ASSERT_EQ(desktop.pressPath().problem(), std::nullopt);
        desktop.pressPath().setKeyActivityHandler([this](qlq::KeyActivity activity) {
            ++(activity == qlq::KeyActivity::F8Pressed ? f8Reports : modifierReports);
        });
    }
};
