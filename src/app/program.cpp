#include "app/program.h"

#include "config/log_categories.h"
#include "config/web_addresses.h"
#include "shell/tray_controller.h"
#include "ui/program_title.h"
#include "ui/window_placement.h"
#include "windows/gallery_channel.h"

#include <QTimer>

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
    reportKeyboardProblem();
}

void Program::reportKeyboardProblem() {
    const std::optional<QString> problem = desktop_.keyboardProblem();
    if (!problem)
        return;
    qCWarning(log::desktop, "F8 cannot be watched: %ls", qUtf16Printable(*problem));
    // After the window is up, so the message has something to stand over.
    QTimer::singleShot(0, mainWindow_, [this, text = *problem] {
        desktop_.showMessage(mainWindow_, programTitle(),
                             QStringLiteral("无法监视 F8 键：%1。\n按 F8 不会插入小尾巴；"
                                            "其余功能照常可用。")
                                 .arg(text));
    });
}

void Program::openEditor() {
    if (editor_) {
        // Already open: only to the front, keeping whatever the user typed.
        bringToFront(*editor_);
        return;
    }
    if (!mainWindow_)
        return;
    editor_ = new TailEditorWindow(desktop_,
                                   TailListSource{mainWindow_->tails(), paths_.tailListFile(),
                                                  mainWindow_->tailListEncoding(),
                                                  mainWindow_->tailListProblem()},
                                   mainWindow_->windowIcon());
    // Once the main window is gone there is no list to rebuild; the connection goes with it.
    connect(editor_, &TailEditorWindow::saved, mainWindow_, &MainWindow::reloadTailList);
    editor_->show();
    editor_->activateWindow();
}

void Program::openHelp() {
    if (!help_) {
        help_ = new HelpWindow(desktop_);
        help_->setAttribute(Qt::WA_DeleteOnClose); // the next opening loads it afresh
    }
    bringToFront(*help_);
}

void Program::openGallery() {
    gallery_.open(galleryUrl(), mainWindow_);
}

} // namespace qlq
