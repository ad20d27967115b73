#pragma once

#include "platform/desktop_services.h"

namespace qlq {

// What every desktop does the same way through Qt: the program's folder, the link cursor,
// message boxes, the tray's presence. The backends add keys, the clipboard and web pages.
class QtDesktop : public DesktopServices {
public:
    QString programDirectory() const override;
    QCursor linkCursor() const override;
    void showMessage(QWidget* parent, const QString& title, const QString& text) override;
    bool systemTrayAvailable() const override;
};

} // namespace qlq
