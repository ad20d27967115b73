#include "windows/splash_window.h"

#include "config/web_addresses.h"
#include "platform/desktop_services.h"
#include "platform/twips.h"
#include "windows/link_label.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

namespace qlq {

SplashWindow::SplashWindow(DesktopServices& desktop, std::function<void()> handOver,
                           std::chrono::milliseconds delay, QWidget* parent)
    : QWidget(parent, Qt::Window), desktop_(desktop), handOver_(std::move(handOver)),
      delay_(delay) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("青岚雀贴吧小尾巴"));
    setAttribute(Qt::WA_QuitOnClose, false); // the main window is still to come
    resize(twips(4680), twips(3195));        // design size, replaced at load

    Image1 = new LinkLabel(desktop_, this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/splash.png")));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop); // own size, never stretched
    connect(Image1, &LinkLabel::clicked, this, &SplashWindow::Image1_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setTimerType(Qt::PreciseTimer); // a coarse timer may fire a little early
    Timer1->setInterval(delay_);
    connect(Timer1, &QTimer::timeout, this, &SplashWindow::Timer1_Timer);
}

SplashWindow::~SplashWindow() = default;

void SplashWindow::load() {
    // A splash window: no border, no title bar, no task bar entry.
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    Timer1->start(delay_);
    setFixedSize(twips(6680), twips(4500));
    // 70 twips wider than the window: the picture's right edge lies outside it.
    Image1->setGeometry(twipsRect(0, 0, 6750, 4500));

    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void SplashWindow::Timer1_Timer() {
    // Unload first, then hand over. The window is destroyed from the event loop rather than
    // inside its own timer's event, and the hand-over waits until it is gone.
    connect(
        this, &QObject::destroyed, qApp,
        [handOver = handOver_] {
            if (handOver)
                handOver();
        },
        Qt::QueuedConnection);
    close();
    deleteLater();
}

void SplashWindow::Image1_Click() {
    desktop_.openUrl(homePageUrl());
}

} // namespace qlq
