#include "app/program_lifetime.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace qlq {

ProgramLifetime::ProgramLifetime(QObject* parent) : QObject(parent) {
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);
}

void ProgramLifetime::setMainWindow(QWidget* mainWindow) {
    mainWindow_ = mainWindow;
}

void ProgramLifetime::mainWindowUnloaded() {
    mainUnloaded_ = true;
    scheduleCheck();
}

void ProgramLifetime::quitNow() {
    QCoreApplication::quit();
}

bool ProgramLifetime::eventFilter(QObject* watched, QEvent* event) {
    if (mainUnloaded_ && (event->type() == QEvent::Close || event->type() == QEvent::Hide) &&
        watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
        scheduleCheck();
    return QObject::eventFilter(watched, event);
}

void ProgramLifetime::scheduleCheck() {
    if (checkScheduled_)
        return;
    checkScheduled_ = true;
    QTimer::singleShot(0, this, &ProgramLifetime::check);
}

void ProgramLifetime::check() {
    checkScheduled_ = false;
    if (!mainUnloaded_)
        return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != mainWindow_ && window->isVisible() && !window->isHidden() &&
            window->windowType() != Qt::Popup && window->windowType() != Qt::ToolTip)
            return;
    }
    QCoreApplication::quit();
}

} // namespace qlq
