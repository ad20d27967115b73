#include "app/program.h"

#include "shell/main_window.h"

namespace qlq {

Program::Program(DesktopServices& desktop, DataPaths paths, QObject* parent)
    : QObject(parent), desktop_(desktop), paths_(std::move(paths)) {}

Program::~Program() {
    delete editor_;
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
    window->load();
    window->show();
}

void Program::openEditor() {
    if (editor_) {
        // Already open: only to the front, keeping whatever the user typed.
        editor_->setWindowState(editor_->windowState() & ~Qt::WindowMinimized);
        editor_->show();
        editor_->raise();
        editor_->activateWindow();
        return;
    }
    if (!mainWindow_)
        return;
    editor_ = new TailEditorWindow(desktop_, *mainWindow_);
    editor_->show();
    editor_->activateWindow();
}

void Program::openHelp() {}

void Program::openGallery() {}

} // namespace qlq
