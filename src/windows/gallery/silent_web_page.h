#pragma once

#include <QWebEnginePage>

namespace qlq {

// A page that never puts up a window of its own: script dialogs are refused quietly, bad
// certificates rejected, permission requests denied, pop-ups and file choosers come to nothing.
// A modal box from the page would otherwise sit over the gallery (and hang unattended runs).
// Only web addresses are followed: any other scheme (mailto:, ssh://, a vendor's handler) would
// otherwise be handed to the desktop's URL handlers. A web address meant for a new window
// (target=_blank, window.open) goes to the user's browser instead, as a click the user made.
class SilentWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit SilentWebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

signals:
    // A link asked for a new window with this http or https address.
    void openInBrowserRequested(const QUrl& address);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message,
                          const QString& defaultValue, QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    // A page standing in for a new window: it shows nothing, only passes its address on.
    bool standsInForNewWindow_ = false;
};

} // namespace qlq
