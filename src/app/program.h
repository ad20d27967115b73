#pragma once

#include "app/program_lifetime.h"
#include "data/data_paths.h"
#include "editor/tail_editor_window.h"
#include "insert/next_random.h"
#include "shell/main_window.h"
#include "windows/gallery_launcher.h"
#include "windows/help_window.h"

#include <QObject>
#include <QPointer>

namespace qlq {

class DesktopServices;

// The running program: its windows and who opens them. Every window but the main window is
// created when first asked for, exists at most once and has no owner.
class Program : public QObject {
    Q_OBJECT
public:
    Program(DesktopServices& desktop, DataPaths paths, QObject* parent = nullptr);
    ~Program() override;

    // Creates, loads and shows the main window (what the splash does when its time is up).
    void showMainWindow();

    MainWindow* mainWindow() const { return mainWindow_; }
    HelpWindow* helpWindow() const { return help_; }
    TailEditorWindow* editor() const { return editor_; }

    void openEditor();
    void openHelp();
    void openGallery();

private:
    void reportKeyboardProblem();

    DesktopServices& desktop_;
    DataPaths paths_;
    NextRandom random_;
    ProgramLifetime lifetime_;
    QPointer<MainWindow> mainWindow_;
    QPointer<HelpWindow> help_;
    GalleryLauncher gallery_;
    QPointer<TailEditorWindow> editor_;
};

} // namespace qlq
