#pragma once

#include "app/program.h"
#include "platform/fake/fake_desktop.h"
#include "support/qt_helpers.h"
#include "support/temp_dir.h"

#include <QApplication>

#include <memory>

// The whole program on a throw-away program directory, against a scripted desktop.
struct ProgramFixture : ::testing::Test {
    TempProgramDir dir;
    qlq::FakeDesktop desktop{dir.path()};
    std::unique_ptr<qlq::Program> program;

    void TearDown() override { QApplication::setQuitOnLastWindowClosed(true); }
    qlq::MainWindow* mainWindow() const { return program->mainWindow(); }
    // Starts the program on the tail list `tails` (as it is when null) and shows its main window.
    void start(const QByteArray& tails = {}, bool inBackground = false) {
        program.reset(); // first: its windows let go of the desktop's handlers
        if (!tails.isNull())
            dir.write(QStringLiteral("qinglanque.ini"), tails);
        program = std::make_unique<qlq::Program>(desktop, qlq::DataPaths(dir.path()));
        program->showMainWindow(inBackground);
        settle();
    }
    qsizetype messages() const { return desktop.calls().filter(QStringLiteral("message:")).size(); }
    template <typename T = QWidget> T* control(const char* name) const {
        return child<T>(*mainWindow(), name);
    }
    // One F8 press, as the engine's next tick sees it: what went on the clipboard.
    QString pressF8() {
        desktop.pressF8();
        mainWindow()->engine().tick();
        return desktop.clipboard();
    }
    static QString lead(const QString& tail) { return QStringLiteral("\u3000\r\n") + tail; }
};
