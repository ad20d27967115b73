#include "app/program.h"

#include "config/web_addresses.h"
#include "shell/main_window.h"
#include "shell/tray_controller.h"
#include "windows/gallery_channel.h"

namespace qlq {

Program::Program(DesktopServices& desktop, DataPaths paths, QObject* parent)
    : QObject(parent), desktop_(desktop), paths_(std::move(paths)),
      gallery_(desktop, GalleryLauncher::defaultHelperPath(), galleryServerName()) {}

Program::~Program() {
    delete help_;
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
    auto* tray = new TrayController(*window, desktop_); // a child of the window
    connect(tray, &TrayController::quitRequested, &lifetime_, &ProgramLifetime::quitNow);
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

void Program::openHelp() {
    if (!help_) {
        help_ = new HelpWindow(desktop_);
        help_->setAttribute(Qt::WA_DeleteOnClose); // the next opening loads it afresh
    }
    if (help_->isMinimized())
        help_->setWindowState(help_->windowState() & ~Qt::WindowMinimized);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void Program::openGallery() {
    gallery_.open(galleryUrl(), mainWindow_);
}

} // namespace qlq
