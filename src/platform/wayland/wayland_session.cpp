#include "platform/wayland/wayland_session.h"

#include <QStringList>

#include <algorithm>

namespace qlq {
namespace {

QString bindInsertAdvice() {
    return QStringLiteral("请在桌面的键盘快捷键设置里把 F8 绑定到命令“qinglanque --insert”：sway "
                          "可在配置中加入“bindsym F8 exec qinglanque --insert”，GNOME 可运行一次"
                          "“qinglanque --bind-gnome-f8”。");
}

} // namespace

bool isWaylandSession(const QString& waylandDisplay, const QString& sessionType,
                      const QStringList& screenNames) {
    const bool wayland =
        !waylandDisplay.isEmpty() || sessionType.compare(QLatin1String("wayland")) == 0;
    // XWayland names its outputs XWAYLAND0, XWAYLAND1, ...
    return wayland && std::any_of(screenNames.begin(), screenNames.end(), [](const QString& name) {
               return name.startsWith(QLatin1String("XWAYLAND"));
           });
}

PressPlan planPressPath(const SessionOffer& offer) {
    PressPlan plan;
    plan.trigger = offer.globalShortcuts ? PressPlan::Trigger::PortalShortcut
                                         : PressPlan::Trigger::InsertCommand;
    plan.clipboard =
        offer.dataControl ? PressPlan::Clipboard::DataControl : PressPlan::Clipboard::X11;
    // Our own keyboard needs nobody's permission; the portal asks the user.
    if (offer.virtualKeyboard)
        plan.typing = PressPlan::Typing::VirtualKeyboard;
    else if (offer.remoteDesktopVersion > 0)
        plan.typing = PressPlan::Typing::RemoteDesktop;
    else
        plan.typing = PressPlan::Typing::XWaylandOnly;
    plan.persistRemoteDesktop =
        plan.typing == PressPlan::Typing::RemoteDesktop && offer.remoteDesktopVersion >= 2;
    return plan;
}

std::optional<QString> startupNotice(const SessionOffer& offer, const PressPlan& plan) {
    QStringList parts;
    if (plan.trigger == PressPlan::Trigger::InsertCommand && !offer.insertBound)
        parts << QStringLiteral("这是 Wayland 会话，桌面没有提供全局快捷键门户：本程序只在 "
                                "XWayland 窗口里看得到 F8，在原生 Wayland 窗口（如浏览器）里按 F8 "
                                "不会插入小尾巴。") +
                     bindInsertAdvice();
    if (plan.typing == PressPlan::Typing::XWaylandOnly)
        parts << QStringLiteral(
            "这个 Wayland 桌面既没有虚拟键盘协议，也没有远程控制门户：本程序只能"
            "向 XWayland 窗口输入 Ctrl+V，原生 Wayland 窗口收不到粘贴。请安装"
            "桌面的门户后端（GNOME：xdg-desktop-portal-gnome，KDE："
            "xdg-desktop-portal-kde）后重新启动本程序。");
    if (parts.isEmpty())
        return std::nullopt;
    return parts.join(QStringLiteral("\n\n"));
}

QString shortcutFailedNotice(const QString& why) {
    return QStringLiteral("桌面没有为本程序登记 F8 全局快捷键（%1），在原生 Wayland 窗口里按 F8 "
                          "不会插入小尾巴。")
               .arg(why) +
           bindInsertAdvice();
}

QString typingRefusedNotice(const QString& why) {
    return QStringLiteral("桌面没有允许本程序远程控制键盘（%1），小尾巴无法粘贴到原生 Wayland "
                          "窗口。请重新启动本程序，并在桌面询问时允许远程控制。")
        .arg(why);
}

} // namespace qlq
