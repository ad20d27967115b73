#include "app/program.h"

#include "shell/main_window.h"
#include "shell/tray_controller.h"

namespace qlq {

Program::Program(DesktopServices& desktop, DataPaths paths, QObject* parent)
    : QObject(parent), desktop_(desktop), paths_(std::move(paths)) {}

Program::~Program() {
    delete mainWindow_;
}

void Program::showMainWindow() {
    auto* window = new MainWindow(desktop_, paths_, random_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    mainWindow_ = window;
    lifetime_.setMainWindow(window);
    connect(window, &MainWindow::unloaded, &lifetime_, &ProgramLifetime::mainWindowUnloaded);
    connect(window, &MainWindow::editorRequested, this, &Program::openEditor);
    connect(window, &MainWindow::helpRequested, this, &Program::openHelp);
    connect(window, &MainWindow::galleryRequested, this, &Program::openGallery);
    auto* tray = new TrayController(*window, desktop_); // a child of the window
    connect(tray, &TrayController::quitRequested, &lifetime_, &ProgramLifetime::quitNow);
    window->load();
    window->show();
}

void Program::openEditor() {}

void Program::openHelp() {}

void Program::openGallery() {}

} // namespace qlq
