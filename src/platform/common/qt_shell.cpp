#include "platform/common/qt_shell.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QSystemTrayIcon>

namespace qlq {

QString QtShell::programDirectory() const {
    return QCoreApplication::applicationDirPath();
}

QCursor QtShell::linkCursor() const {
    return QCursor(Qt::PointingHandCursor);
}

void QtShell::showMessage(QWidget* parent, const QString& title, const QString& text) {
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

bool QtShell::systemTrayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace qlq
