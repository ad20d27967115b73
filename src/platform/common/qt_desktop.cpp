#include "platform/common/qt_desktop.h"

#include "config/log_categories.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QSystemTrayIcon>

namespace qlq {

QString QtDesktop::programDirectory() const {
    return QCoreApplication::applicationDirPath();
}

QCursor QtDesktop::linkCursor() const {
    return QCursor(Qt::PointingHandCursor);
}

void QtDesktop::showMessage(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    // A box holding "1" is narrower than its title; the window manager would cut the title to
    // "青…巴". QMessageBox sizes itself to its layout, so the width goes in as a spacer: the
    // title, and room for the title bar's icon and buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = box.fontMetrics().horizontalAdvance(title) * 3 / 2 + 160;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
}

bool QtDesktop::systemTrayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtDesktop::logPasteSent(std::chrono::steady_clock::time_point f8Seen) {
    if (!log::desktop().isDebugEnabled())
        return;
    const auto sinceF8 = std::chrono::steady_clock::now() - f8Seen;
    if (sinceF8 < std::chrono::seconds(1)) // else this paste was deferred, not a fresh press
        qCDebug(log::desktop, "Ctrl+V sent %.3f ms after the F8 event",
                std::chrono::duration<double, std::milli>(sinceF8).count());
}

} // namespace qlq
