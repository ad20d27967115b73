#pragma once

#include <QWebEnginePage>

namespace qlq {

// A page that never puts up a window of its own: script dialogs are refused quietly, bad
// certificates rejected, permission requests denied, pop-ups and file choosers come to nothing.
// A modal box from the page would otherwise sit over the gallery (and hang unattended runs).
// Only web addresses are followed: any other scheme (mailto:, ssh://, a vendor's handler) would
// otherwise be handed to the desktop's URL handlers.
class SilentWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit SilentWebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

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
};

} // namespace qlq
