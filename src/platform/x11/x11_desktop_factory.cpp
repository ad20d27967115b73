#include "platform/desktop_factory.h"
#include "platform/wayland/wayland_session.h"
#include "platform/wayland/wayland_session_desktop.h"
#include "platform/x11/x11_desktop.h"
#include "platform/x11/x11_display_check.h"

#include <QGuiApplication>
#include <QScreen>

namespace qlq {

std::optional<QString> prepareDesktop(const QString& platform, const QString& display) {
    // The X11 backend is the program's; on a Wayland session Qt would otherwise open a native
    // Wayland window there, where F8 cannot be watched. -platform or QT_QPA_PLATFORM still win,
    // except a session's "wayland" (Plasma sets it for its own programs).
    if (platform.isEmpty() &&
        (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
         qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("wayland"))))
        qputenv("QT_QPA_PLATFORM", "xcb");
    const QString chosen = platform.isEmpty() ? qEnvironmentVariable("QT_QPA_PLATFORM") : platform;
    const QByteArray name = display.isEmpty() ? qgetenv("DISPLAY") : display.toLocal8Bit();
    // Qt aborts without its display: say so plainly instead.
    if (chosen.startsWith(QLatin1String("xcb")) && !x11DisplayReachable(name))
        return QStringLiteral("找不到 X11 显示，请在 X11 桌面中启动 / no X11 display: start it "
                              "from an X11 desktop session (DISPLAY=%1)")
            .arg(QString::fromLocal8Bit(name));
    prepareX11Threads();
    return std::nullopt;
}

std::unique_ptr<Desktop> createDesktop() {
    // On a Wayland session the X11 parts serve XWayland windows, the session's parts native ones.
    QStringList screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->name();
    if (isWaylandSession(qEnvironmentVariable("WAYLAND_DISPLAY"),
                         qEnvironmentVariable("XDG_SESSION_TYPE"), screens))
        return std::make_unique<WaylandSessionDesktop>();
    return std::make_unique<X11Desktop>();
}

} // namespace qlq
