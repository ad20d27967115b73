#pragma once

#include "insert/next_random.h"
#include "platform/fake/fake_desktop.h"
#include "shell/main_window.h"
#include "shell/main_window_names.h"
#include "support/qt_helpers.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>

namespace names = qlq::main_window_names;

// A main window on a throw-away program directory; start() is a fresh start of the program.
struct MainWindowFixture : ::testing::Test {
    TempProgramDir dir;
    qlq::FakeDesktop desktop{dir.path()};
    qlq::NextRandom random;
    std::unique_ptr<qlq::MainWindow> window;

    qlq::MainWindow& start() {
        window = std::make_unique<qlq::MainWindow>(desktop, qlq::DataPaths(dir.path()), random);
        window->load();
        return *window;
    }
    template <typename T = QWidget> T* child(const char* name) const {
        return ::child<T>(*window, name);
    }
    QString pressF8() {
        desktop.clearCalls();
        desktop.pressF8();
        window->engine().tick();
        return desktop.clipboard();
    }
    static QString lead(const QString& tail) { return QStringLiteral("\u3000\r\n") + tail; }
};
