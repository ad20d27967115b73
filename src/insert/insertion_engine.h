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

// Watches F8 and pastes one composed tail per press. Timer2 polls every 500 ms; a press reported
// by the key watcher is answered at once when nothing was inserted in the last 500 ms, and Timer2
// then starts its interval anew.
class InsertionEngine : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 500;
    static constexpr int kDeferLimitMs = 5000;

    InsertionEngine(DesktopServices& desktop, InsertionControls& controls, NextRandom& random,
                    QObject* parent = nullptr);
    ~InsertionEngine() override;

    TailChooser& chooser() { return chooser_; }
    QTimer& timer() { return timer_; }

    // One Timer2 tick: query F8 and, when pressed, insert.
    void tick();

signals:
    // After a press was turned into text and delivered (pasted, and sent when asked).
    void delivered(const QString& text);

private:
    struct Pending {
        QString text;
        bool submit = false;
        QElapsedTimer age;
    };

    void onKeyActivity(KeyActivity activity);
    void startPress();
    void deliverPending();

    DesktopServices& desktop_;
    InsertionControls& controls_;
    NextRandom& random_;
    TailChooser chooser_;
    QTimer timer_;
    QElapsedTimer sinceLastPress_;
    std::optional<Pending> pending_;
};

} // namespace qlq
