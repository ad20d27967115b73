#include "windows/gallery/gallery_window.h"

#include "ui/controls.h"
#include "ui/program_icon.h"
#include "ui/program_title.h"
#include "ui/window_placement.h"
#include "windows/gallery/silent_web_page.h"

#include <QPushButton>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace qlq {

GalleryWindow::GalleryWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(programTitle() + QStringLiteral("    个性签名大全"));
    setWindowIcon(programIcon());
    setFixedSize(kClientWidth, kClientHeight);

    // Off the record: nothing of the page (cookies, cache) is kept once the window closes.
    profile_ = new QWebEngineProfile(this);
    connect(profile_, &QWebEngineProfile::downloadRequested, this,
            [](QWebEngineDownloadRequest* download) { download->cancel(); });

    // The viewport: only the part of the browser inside it is seen.
    auto* viewport = placeControl(new QWidget(this), "Picture1", 120, 120, 8175, 7575);
    view_ = new QWebEngineView(viewport);
    view_->setObjectName(QStringLiteral("WebBrowser1"));
    auto* page = new SilentWebPage(profile_, view_);
    view_->setPage(page);
    connect(page, &SilentWebPage::openInBrowserRequested, this,
            &GalleryWindow::openInBrowserRequested);

    auto* close = placeControl(new QPushButton(QStringLiteral("关闭"), this), "Command1", 3480,
                               7800, 1575, 495);
    pressedByEnter(close);
    describeControl(close, QStringLiteral("关闭"), QStringLiteral("关闭个性签名大全"));
    describeControl(view_, QStringLiteral("个性签名大全"), QStringLiteral("签名网页"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    centreOnScreen(*this);
}

GalleryWindow::~GalleryWindow() {
    // The page must go before the profile it was made with.
    delete view_;
}

void GalleryWindow::load(const QUrl& address) {
    view_->setGeometry(twipsRect(-820, 0, 10005, 10005));
    view_->load(address);
}

void GalleryWindow::bringToFront() {
    qlq::bringToFront(*this);
}

} // namespace qlq
