#pragma once

#include "app/program_lifetime.h"
#include "app/termination_signals.h"
#include "data/data_paths.h"
#include "editor/tail_editor_window.h"
#include "insert/next_random.h"
#include "shell/main_window.h"
#include "windows/gallery_launcher.h"
#include "windows/help_window.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace qlq {

class Desktop;
class TrayController;

// The running program: its windows and who opens them. Every window but the main window is
// created when first asked for, exists at most once and has no owner.
class Program : public QObject {
    Q_OBJECT
public:
    // `instanceFolder`: the user's private folder, where the gallery helper listens.
    Program(Desktop& desktop, DataPaths paths, QString instanceFolder = QString(),
            QObject* parent = nullptr);
    ~Program() override;

    // Creates, loads and shows the main window (what the splash does when its time is up).
    // In the background it goes straight into the notification area (minimised without one).
    void showMainWindow(bool inBackground = false);
    // Another start of the program: the main window comes to the front, out of the tray.
    void bringForward();
    // From now on SIGTERM, SIGINT, SIGHUP and the end of the desktop session end the program
    // as closing the main window does (its one save); the gallery closes too, and the editor's
    // unsaved edits are kept for its next opening.
    void endWithTheSession();
    // The main window's unload (its save), an open gallery closed, the program ended.
    void endNow();

    MainWindow* mainWindow() const { return mainWindow_; }
    HelpWindow* helpWindow() const { return help_; }
    TailEditorWindow* editor() const { return editor_; }

    void openEditor();
    void openHelp();
    void openGallery();

private:
    void reportKeyboardProblem();
    void endWithTheSessionNow();
    // What the desktop asks of the user for F8 to work everywhere (a Wayland session).
    void reportDesktopNotices();

    Desktop& desktop_;
    DataPaths paths_;
    NextRandom random_;
    ProgramLifetime lifetime_;
    QPointer<MainWindow> mainWindow_;
    QPointer<TrayController> tray_;
    std::unique_ptr<TerminationSignals> signals_;
    QPointer<HelpWindow> help_;
    GalleryLauncher gallery_;
    QPointer<TailEditorWindow> editor_;
};

} // namespace qlq
