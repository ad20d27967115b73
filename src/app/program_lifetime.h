#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace qlq {

// Decides when the program ends: once the main window has been unloaded and no other window
// of the program is still open. Qt's own rule (quit when the last window closes) would end the
// program when the help window closes while the main window hides in the tray.
class ProgramLifetime : public QObject {
    Q_OBJECT
public:
    explicit ProgramLifetime(QObject* parent = nullptr);

    void setMainWindow(QWidget* mainWindow);
    // The main window is gone; end now if nothing else is open.
    void mainWindowUnloaded();
    // Ends the program at once (the tray's exit item).
    void quitNow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scheduleCheck();
    void check();

    QPointer<QWidget> mainWindow_;
    bool mainUnloaded_ = false;
    bool checkScheduled_ = false;
};

} // namespace qlq
