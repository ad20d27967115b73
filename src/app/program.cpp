#include "app/program.h"

#include "config/log_categories.h"
#include "config/web_addresses.h"
#include "platform/desktop.h"
#include "shell/tray_controller.h"
#include "ui/program_title.h"
#include "ui/window_placement.h"

#include <QApplication>
#include <QSessionManager>
#include <QTimer>

namespace qlq {

Program::Program(Desktop& desktop, DataPaths paths, QString instanceFolder, QObject* parent)
    : QObject(parent), desktop_(desktop), paths_(std::move(paths)),
      gallery_(desktop.shell(), GalleryLauncher::defaultHelperPath(), std::move(instanceFolder)) {}

Program::~Program() {
    desktop_.setNoticeHandler({});
    delete help_;
    delete editor_;
    delete mainWindow_;
}

void Program::showMainWindow(bool inBackground) {
    auto* window = new MainWindow(desktop_, paths_, random_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    mainWindow_ = window;
    lifetime_.setMainWindow(window);
    connect(window, &MainWindow::unloaded, &lifetime_, &ProgramLifetime::mainWindowUnloaded);
    connect(window, &MainWindow::editorRequested, this, &Program::openEditor);
    connect(window, &MainWindow::helpRequested, this, &Program::openHelp);
    connect(window, &MainWindow::galleryRequested, this, &Program::openGallery);
    tray_ = new TrayController(*window, desktop_.shell()); // a child of the window
    connect(tray_, &TrayController::quitRequested, this, &Program::endNow);
    window->load();
    if (inBackground)
        tray_->startInBackground();
    else
        window->show();
    reportKeyboardProblem();
    reportDesktopNotices();
}

void Program::bringForward() {
    qCInfo(log::app, "started again: bringing the window forward");
    if (tray_ && tray_->mode() == BackgroundMode::Background) {
        tray_->openChosen(); // as 打开 does: out of the tray, the icon gone
        return;
    }
    if (mainWindow_) {
        bringToFront(*mainWindow_);
        return;
    }
    // The main window is closed and another window keeps the program running.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowType() == Qt::Window) {
            bringToFront(*window);
            return;
        }
    }
}

void Program::endWithTheSession() {
    signals_ = std::make_unique<TerminationSignals>();
    connect(signals_.get(), &TerminationSignals::received, this, &Program::endWithTheSessionNow);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
        qCInfo(log::app, "the desktop session ends: saving and ending");
        endWithTheSessionNow();
    });
    // However the event loop ends, the options are saved as when the window closes.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (mainWindow_)
            mainWindow_->close();
    });
}

void Program::endWithTheSessionNow() {
    // Nobody is there to answer "save?": what the editor holds unsaved is kept beside the list.
    if (editor_)
        editor_->keepUnsavedText();
    endNow();
}

void Program::endNow() {
    if (mainWindow_)
        mainWindow_->close(); // its unload saves the options, once
    gallery_.closeOpenGallery();
    lifetime_.quitNow();
}

void Program::reportKeyboardProblem() {
    const std::optional<QString> problem = desktop_.pressPath().problem();
    if (!problem)
        return;
    qCWarning(log::desktop, "F8 cannot be watched: %ls", qUtf16Printable(*problem));
    // After the window is up, so the message has something to stand over.
    QTimer::singleShot(0, mainWindow_, [this, text = *problem] {
        desktop_.shell().showMessage(mainWindow_, programTitle(),
                                     QStringLiteral("无法监视 F8 键：%1。\n按 F8 不会插入小尾巴；"
                                                    "其余功能照常可用。")
                                         .arg(text));
    });
}

void Program::reportDesktopNotices() {
    desktop_.setNoticeHandler([this](const QString& text) {
        qCWarning(log::desktop, "%ls", qUtf16Printable(text));
        QTimer::singleShot(0, mainWindow_, [this, text] {
            desktop_.shell().showMessage(mainWindow_, programTitle(), text);
        });
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
    editor_ = new TailEditorWindow(
        desktop_.shell(),
        TailListSource{mainWindow_->tails(), mainWindow_->tailLineEnds(), paths_.tailListFile(),
                       mainWindow_->tailListEncoding(), mainWindow_->tailListProblem()},
        mainWindow_->windowIcon());
    // Once the main window is gone there is no list to rebuild; the connection goes with it.
    connect(editor_, &TailEditorWindow::saved, mainWindow_, &MainWindow::reloadTailList);
    editor_->show();
    editor_->activateWindow();
}

void Program::openHelp() {
    if (!help_) {
        help_ = new HelpWindow(desktop_.shell());
        help_->setAttribute(Qt::WA_DeleteOnClose); // the next opening loads it afresh
    }
    bringToFront(*help_);
}

void Program::openGallery() {
    gallery_.open(galleryUrl(), mainWindow_);
}

} // namespace qlq
