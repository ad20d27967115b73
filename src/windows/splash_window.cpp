#include "windows/splash_window.h"

#include "config/web_addresses.h"
#include "platform/shell_services.h"
#include "ui/controls.h"
#include "ui/program_title.h"
#include "ui/twips.h"
#include "ui/window_placement.h"
#include "windows/link_label.h"

#include <QApplication>
#include <QTimer>

namespace qlq {

SplashWindow::SplashWindow(ShellServices& shell, std::function<void()> handOver,
                           std::chrono::milliseconds delay, QWidget* parent)
    : QWidget(parent, Qt::Window), shell_(shell), handOver_(std::move(handOver)), delay_(delay) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(programTitle());
    setAttribute(Qt::WA_QuitOnClose, false); // the main window is still to come
    resize(twips(4680), twips(3195));        // design size, replaced at load

    picture_ = new LinkLabel(shell_, this);
    picture_->setObjectName(QStringLiteral("Image1"));
    picture_->setPixmap(QPixmap(QStringLiteral(":/images/splash.png")));
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop); // own size, never stretched
    describeControl(picture_, programTitle(), QStringLiteral("启动画面；点击打开作者主页"));
    connect(picture_, &LinkLabel::clicked, this, [this] { shell_.openUrl(homePageUrl()); });

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer); // a coarse timer may fire a little early
    timer_->setInterval(delay_);
    connect(timer_, &QTimer::timeout, this, &SplashWindow::handOverWhenTimeIsUp);
}

SplashWindow::~SplashWindow() = default;

void SplashWindow::load() {
    // A splash window: no border, no title bar, no task bar entry.
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    timer_->start(delay_);
    setFixedSize(twips(6680), twips(4500));
    // 70 twips wider than the window: the picture's right edge lies outside it.
    picture_->setGeometry(twipsRect(0, 0, 6750, 4500));
    centreOnScreen(*this);
}

void SplashWindow::handOverWhenTimeIsUp() {
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

} // namespace qlq
