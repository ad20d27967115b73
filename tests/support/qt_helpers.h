#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// The object named `name` under `parent`; a failed expectation when there is none.
template <typename T = QWidget> T* child(const QObject& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Delivers what is pending, deferred deletes included.
inline void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Runs `action` inside the event loop (the program only ends a running loop) and what it posts;
// true when the program then asked to end. The request is swallowed, so the tests go on.
inline bool asksToQuit(const std::function<void()>& action) {
    struct : QObject {
        bool asked = false;
        bool eventFilter(QObject*, QEvent* event) override {
            asked |= event->type() == QEvent::Quit;
            return event->type() == QEvent::Quit;
        }
    } watch;
    qApp->installEventFilter(&watch);
    QTimer::singleShot(0, qApp, [&action] {
        action();
        QTimer::singleShot(0, qApp, [] {
            QCoreApplication::sendPostedEvents(); // a pending quit shows up here
            QCoreApplication::exit(42);
        });
    });
    const int result = QCoreApplication::exec();
    qApp->removeEventFilter(&watch);
    return watch.asked || result != 42;
}
