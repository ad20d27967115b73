#pragma once

#include "insert/next_random.h"
#include "insert/tail_chooser.h"
#include "platform/press_path.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <optional>

namespace qlq {

class InsertionControls;

// Watches F8 and pastes one composed tail per press. A poll every 500 ms asks the press path; a
// press a key source reports is answered at once when nothing was inserted in the last 500 ms,
// and the poll then starts its interval anew. The window tells the engine what happened to the
// list; the engine decides where the list order goes on.
class InsertionEngine : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 500;
    static constexpr int kDeferLimitMs = 5000;

    InsertionEngine(PressPath& pressPath, InsertionControls& controls, NextRandom& random,
                    QObject* parent = nullptr);
    ~InsertionEngine() override;

    // One poll: query F8 and, when pressed, insert.
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

private:
    struct Pending {
        QString text;
        bool submit = false;
        QElapsedTimer age;
        std::optional<int> listRow; // list order: the row to go on from once delivered
        int lastIndexAtChoice = -1;
        QString heldBackBy; // what held the paste back last, said once
    };

    void onKeyActivity(KeyActivity activity);
    void startPress();
    void deliverPending();

    PressPath& pressPath_;
    InsertionControls& controls_;
    NextRandom& random_;
    TailChooser chooser_;
    QTimer* poll_;
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
