#pragma once

#include "platform/typist.h"
#include "platform/wayland/restore_token_store.h"

#include <QDBusConnection>
#include <QObject>

#include <utility>
#include <vector>

#include <functional>

namespace qlq {

struct PortalResponse;

// Types Ctrl+V and Ctrl+Enter through the desktop portal's remote control (RemoteDesktop, a
// keyboard only, keysyms so that any layout gives the shortcut). The session is asked for at
// start and the user's answer comes whenever it comes: a press before it is held back, a press
// after a refusal is refused.
class RemoteDesktopTypist : public QObject, public Typist {
    Q_OBJECT
public:
    // `persist`: the portal can remember the permission (version 2 and later), with the token
    // kept in `tokens`.
    RemoteDesktopTypist(const QDBusConnection& bus, bool persist, RestoreTokenStore tokens);

    // Asks for the session; `refused` hears once why typing will not work after all.
    void start(std::function<void(const QString& why)> refused);

    std::optional<QString> problem() const override { return std::nullopt; }
    std::optional<QString> holdBack() override;
    Typed paste() override;
    // Follows the paste's keys only once the portal took all of them.
    Typed submit() override;

public Q_SLOTS:
    void onSessionClosed(const QVariantMap& details);

private:
    enum class State { Idle, Starting, Ready, Failed };

    void selectDevices();
    void startSession();
    void fail(const QString& why);
    // `paste`: the number of the paste these keys belong to, 0 for Ctrl+Enter.
    void typeCtrlPlus(int key, unsigned paste);
    void sendKeys(std::vector<std::pair<int, unsigned>> keys, std::size_t next, unsigned paste);
    void onKeyReply(bool ok, unsigned paste, const QString& error);

    QDBusConnection bus_;
    const bool persist_;
    RestoreTokenStore tokens_;
    State state_ = State::Idle;
    QString session_;
    QString failure_;
    std::function<void(const QString&)> refused_;
    unsigned paste_ = 0;
    int pasteKeysUnanswered_ = 0;
    bool pasteKeysFailed_ = false;
    bool submitWaiting_ = false;
};

} // namespace qlq
