#pragma once

#include "insert/next_random.h"
#include "insert/tail_chooser.h"
#include "platform/desktop_services.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <optional>

namespace qlq {

class InsertionControls;

// Watches F8 and pastes one composed tail per press. Timer2 polls every 500 ms; a press the key
// watcher reports is answered at once when nothing was inserted in the last 500 ms, and Timer2
// then starts its interval anew. The window tells the engine what happened to the list; the
// engine decides where the list order goes on.
class InsertionEngine : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 500;
    static constexpr int kDeferLimitMs = 5000;

    InsertionEngine(DesktopServices& desktop, InsertionControls& controls, NextRandom& random,
                    QObject* parent = nullptr);
    ~InsertionEngine() override;

    // One Timer2 tick: query F8 and, when pressed, insert.
    void tick();

    // The user selected a row of the list: list order goes on from there.
    void rowChosen(int row);
    // The list was read again because the edit button lost the focus: the next press takes row 1.
    void listReloaded();
    // The editor is being opened: list order starts again at row 0.
    void editorOpened();
    // Random order was switched off: list order starts again at row 0.
    void randomOrderTurnedOff();
    // The main window is going: no tick and no key press inserts anything any more.
    void stop();
    bool isRunning() const { return running_; }

signals:
    // After a press was turned into text and delivered (pasted, and sent when asked).
    void delivered(const QString& text);

private:
    struct Pending {
        QString text;
        bool submit = false;
        QElapsedTimer age;
        std::optional<int> listRow; // list order: the row to go on from once delivered
        int lastIndexAtChoice = -1;
    };

    void onKeyActivity(KeyActivity activity);
    void startPress();
    void deliverPending();

    DesktopServices& desktop_;
    InsertionControls& controls_;
    NextRandom& random_;
    TailChooser chooser_;
    QTimer* timer_; // Timer2
    bool running_ = true;
    // False while F8 reads as pressed from before the engine started (a press during the splash,
    // a key held since then): such a press is not one for this engine.
    bool f8Armed_ = true;
    // Since the last press this engine answered: a watcher report within a tick of it is left
    // to the next regular tick, as the 500 ms poll would see it.
    QElapsedTimer sinceLastPress_;
    std::optional<Pending> pending_;
};

} // namespace qlq
