#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineProfile;
class QWebEngineView;

namespace qlq {

// "个性签名大全": a window onto part of the gallery page. The browser is larger than its
// panel and sits left of it, so the panel cuts off the page's left strip and the browser's own
// scroll bars.
class GalleryWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 565;  // 8475 twips
    static constexpr int kClientHeight = 566; // 8490 twips

    explicit GalleryWindow(QWidget* parent = nullptr);
    ~GalleryWindow() override;

    // Places the browser, keeps it silent, starts loading `address`.
    void load(const QUrl& address);
    // Another "签名大全" while this one is open: come forward as the user left it.
    void bringToFront();

signals:
    // A link of the page asked for a new window: its web address, for the user's browser.
    void openInBrowserRequested(const QUrl& address);

private:
    QWebEngineProfile* profile_ = nullptr;
    QWebEngineView* view_ = nullptr;
};

} // namespace qlq
