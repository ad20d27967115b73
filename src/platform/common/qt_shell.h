#pragma once

#include "platform/shell_services.h"

namespace qlq {

// What every desktop's shell does the same way through Qt: the program's folder, the link
// cursor, message boxes, the tray's presence. The backends add web pages, the data folder, the
// tray's comings and goings and reading the clipboard.
class QtShell : public ShellServices {
public:
    QString programDirectory() const override;
    QCursor linkCursor() const override;
    void showMessage(QWidget* parent, const QString& title, const QString& text) override;
    bool systemTrayAvailable() const override;
};

} // namespace qlq
