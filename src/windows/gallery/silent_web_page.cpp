#include "windows/gallery/silent_web_page.h"

#include <QAuthenticator>
#include <QWebEngineCertificateError>
#include <QWebEngineClientCertificateSelection>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>

namespace qlq {

SilentWebPage::SilentWebPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
    // The web engine hands schemes it does not know to the desktop (xdg-open) otherwise.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    // New windows only for a click of the user's: a script alone opens none (pop-ups).
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    connect(this, &QWebEnginePage::certificateError, this,
            [](QWebEngineCertificateError error) { error.rejectCertificate(); });
    connect(this, &QWebEnginePage::selectClientCertificate, this,
            [](QWebEngineClientCertificateSelection selection) { selection.selectNone(); });
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
    // An empty authenticator cancels the request; no login box comes up.
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [](const QUrl&, QAuthenticator* authenticator) { *authenticator = QAuthenticator(); });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [](const QUrl&, QAuthenticator* authenticator, const QString&) {
                *authenticator = QAuthenticator();
            });
    connect(this, &QWebEnginePage::fullScreenRequested, this,
            [](QWebEngineFullScreenRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
            [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
}

void SilentWebPage::javaScriptAlert(const QUrl&, const QString&) {}

bool SilentWebPage::javaScriptConfirm(const QUrl&, const QString&) {
    return false;
}

bool SilentWebPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) {
    return false;
}

void SilentWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                             const QString&) {}

QStringList SilentWebPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) {
    return {};
}

QWebEnginePage* SilentWebPage::createWindow(WebWindowType) {
    // The new window's address is known only once it navigates: a page of ours that shows
    // nothing takes that navigation. It goes with this page at the latest.
    auto* newWindow = new SilentWebPage(profile(), this);
    newWindow->standsInForNewWindow_ = true;
    connect(newWindow, &SilentWebPage::openInBrowserRequested, this,
            &SilentWebPage::openInBrowserRequested);
    return newWindow;
}

bool SilentWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type,
                                            bool isMainFrame) {
    const QString scheme = url.scheme();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    // about:blank is the empty frame a page starts with (a script may still send it on).
    if (scheme == QLatin1String("about"))
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    if (standsInForNewWindow_) {
        if (web)
            emit openInBrowserRequested(url);
        deleteLater();
        return false;
    }
    return web && QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

} // namespace qlq
