#include "windows/gallery/gallery_window.h"

#include "platform/twips.h"
#include "shell/program_icon.h"
#include "windows/gallery/silent_web_page.h"

#include <QPushButton>
#include <QScreen>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace qlq {

GalleryWindow::GalleryWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("青岚雀贴吧小尾巴    个性签名大全"));
    setWindowIcon(programIcon());
    setFixedSize(kClientWidth, kClientHeight);

    // Off the record: nothing of the page (cookies, cache) is kept once the window closes.
    profile_ = new QWebEngineProfile(this);
    connect(profile_, &QWebEngineProfile::downloadRequested, this,
            [](QWebEngineDownloadRequest* download) { download->cancel(); });

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(twipsRect(120, 120, 8175, 7575));

    WebBrowser1 = new QWebEngineView(Picture1);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setPage(new SilentWebPage(profile_, WebBrowser1));

    Command1 = new QPushButton(QStringLiteral("关闭"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsRect(3480, 7800, 1575, 495));
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);

    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

GalleryWindow::~GalleryWindow() {
    // The page must go before the profile it was made with.
    delete WebBrowser1;
}

void GalleryWindow::load(const QUrl& address) {
    WebBrowser1->setGeometry(twipsRect(-820, 0, 10005, 10005));
    WebBrowser1->load(address);
}

void GalleryWindow::bringToFront() {
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

} // namespace qlq
