#include "platform/win32/win32_shell.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>

#include <windows.h>

namespace qlq {

void Win32Shell::openUrl(const QUrl& url) {
    const std::wstring address = url.toString(QUrl::FullyEncoded).toStdWString();
    ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::optional<QString> Win32Shell::userDataDirectory() const {
    // Roaming: the user's tails follow them to another computer of the same domain.
    const QString roaming = qEnvironmentVariable("APPDATA");
    const QString base = roaming.isEmpty()
                             ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                             : QDir::fromNativeSeparators(roaming);
    return base + QStringLiteral("/qinglanque");
}

void Win32Shell::setTrayAvailabilityHandler(std::function<void(bool)>) {
    // Windows has a notification area for as long as there is a desktop; when Explorer starts
    // again, Qt puts the icon back by itself.
}

void Win32Shell::readClipboardText(std::function<void(std::optional<QString>)> done) {
    done(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
}

} // namespace qlq
