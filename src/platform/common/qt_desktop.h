#pragma once

#include "platform/desktop_services.h"

#include <chrono>

namespace qlq {

// What every desktop does the same way through Qt: the program's folder, the link cursor,
// message boxes, the tray's presence. The backends add keys, the clipboard and web pages.
class QtDesktop : public DesktopServices {
public:
    QString programDirectory() const override;
    QCursor linkCursor() const override;
    void showMessage(QWidget* parent, const QString& title, const QString& text) override;
    bool systemTrayAvailable() const override;

protected:
    // With --verbose: how long the press took from F8's key event to the Ctrl+V going out, the
    // program's own part of the latency (scripts/bench reads it).
    static void logPasteSent(std::chrono::steady_clock::time_point f8Seen);
};

} // namespace qlq
