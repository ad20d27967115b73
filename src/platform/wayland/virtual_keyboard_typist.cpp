#include "platform/wayland/virtual_keyboard_typist.h"

#include "config/log_categories.h"
#include "platform/wayland/wayland_connection.h"

#include "virtual-keyboard-unstable-v1-client.h"

#include <chrono>
#include <sys/mman.h>
#include <unistd.h>

namespace qlq {
namespace {

// Linux input key numbers; the keymap numbers them 8 higher, as XKB does.
constexpr unsigned kKeyEnter = 28;
constexpr unsigned kKeyLeftCtrl = 29;
constexpr unsigned kKeyV = 47;
constexpr unsigned kControlMask = 1U << 2; // XKB's real modifiers come first: Shift, Lock, Control
constexpr unsigned kKeymapFormatXkbV1 = 1;
constexpr unsigned kPressed = 1;
constexpr unsigned kReleased = 0;

std::uint32_t nowMs() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The keymap goes to the compositor as a file: a sealed-off one in memory. -1 on failure.
int keymapFile(const QByteArray& keymap) {
    const int fd = memfd_create("qinglanque-keymap", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    // With its terminating NUL, as the compositor reads it.
    const auto size = static_cast<size_t>(keymap.size()) + 1;
    if (::write(fd, keymap.constData(), size) != static_cast<ssize_t>(size)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

QByteArray virtualKeyboardKeymap() {
    return QByteArrayLiteral("xkb_keymap {\n"
                             "xkb_keycodes \"qinglanque\" {\n"
                             "  minimum = 8;\n"
                             "  maximum = 255;\n"
                             "  <RTRN> = 36;\n"
                             "  <LCTL> = 37;\n"
                             "  <AB04> = 55;\n"
                             "};\n"
                             "xkb_types \"qinglanque\" {\n"
                             "  type \"ONE_LEVEL\" {\n"
                             "    modifiers = none;\n"
                             "    level_name[Level1] = \"Any\";\n"
                             "  };\n"
                             "  type \"ALPHABETIC\" {\n"
                             "    modifiers = Shift+Lock;\n"
                             "    map[Shift] = Level2;\n"
                             "    map[Lock] = Level2;\n"
                             "    level_name[Level1] = \"Base\";\n"
                             "    level_name[Level2] = \"Caps\";\n"
                             "  };\n"
                             "};\n"
                             "xkb_compatibility \"qinglanque\" {\n"
                             "  interpret Control_L { action = SetMods(modifiers = Control); };\n"
                             "};\n"
                             "xkb_symbols \"qinglanque\" {\n"
                             "  key <RTRN> { type = \"ONE_LEVEL\", [ Return ] };\n"
                             "  key <LCTL> { type = \"ONE_LEVEL\", [ Control_L ] };\n"
                             "  key <AB04> { type = \"ALPHABETIC\", [ v, V ] };\n"
                             "  modifier_map Control { <LCTL> };\n"
                             "};\n"
                             "};\n");
}

std::unique_ptr<VirtualKeyboardTypist>
VirtualKeyboardTypist::create(WaylandConnection& connection) {
    if (!connection.seat())
        return nullptr;
    auto* manager =
        static_cast<wl_proxy*>(connection.bind(&zwp_virtual_keyboard_manager_v1_interface, 1));
    if (!manager)
        return nullptr;
    auto* keyboard =
        reinterpret_cast<wl_proxy*>(zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
            reinterpret_cast<zwp_virtual_keyboard_manager_v1*>(manager), connection.seat()));
    const QByteArray keymap = virtualKeyboardKeymap();
    const int fd = keymapFile(keymap);
    if (fd < 0) {
        qCWarning(log::desktop, "no memory file for the virtual keyboard's keymap");
        zwp_virtual_keyboard_v1_destroy(reinterpret_cast<zwp_virtual_keyboard_v1*>(keyboard));
        wl_proxy_destroy(manager);
        return nullptr;
    }
    // The request carries its own copy of the descriptor.
    zwp_virtual_keyboard_v1_keymap(reinterpret_cast<zwp_virtual_keyboard_v1*>(keyboard),
                                   kKeymapFormatXkbV1, fd,
                                   static_cast<std::uint32_t>(keymap.size() + 1));
    ::close(fd);
    // An unauthorized client learns it here, through a broken connection.
    if (!connection.sync(1000)) {
        qCWarning(log::desktop, "the compositor refused a virtual keyboard");
        zwp_virtual_keyboard_v1_destroy(reinterpret_cast<zwp_virtual_keyboard_v1*>(keyboard));
        wl_proxy_destroy(manager);
        return nullptr;
    }
    qCDebug(log::desktop, "typing through a virtual keyboard");
    return std::unique_ptr<VirtualKeyboardTypist>(
        new VirtualKeyboardTypist(connection, manager, keyboard));
}

VirtualKeyboardTypist::VirtualKeyboardTypist(WaylandConnection& connection, wl_proxy* manager,
                                             wl_proxy* keyboard)
    : connection_(connection), manager_(manager), keyboard_(keyboard) {}

VirtualKeyboardTypist::~VirtualKeyboardTypist() {
    zwp_virtual_keyboard_v1_destroy(reinterpret_cast<zwp_virtual_keyboard_v1*>(keyboard_));
    wl_proxy_destroy(manager_);
    connection_.flush();
}

Typist::Typed VirtualKeyboardTypist::paste() {
    return typeCtrlPlus(kKeyV, "Ctrl+V");
}

Typist::Typed VirtualKeyboardTypist::submit() {
    return typeCtrlPlus(kKeyEnter, "Ctrl+Enter");
}

Typist::Typed VirtualKeyboardTypist::typeCtrlPlus(unsigned key, const char* what) {
    if (connection_.broken())
        return {false, false, QStringLiteral("lost the connection to the Wayland compositor")};
    auto* keyboard = reinterpret_cast<zwp_virtual_keyboard_v1*>(keyboard_);
    const std::uint32_t time = nowMs();
    // The compositor takes the modifiers as we state them, not from the keys.
    zwp_virtual_keyboard_v1_key(keyboard, time, kKeyLeftCtrl, kPressed);
    zwp_virtual_keyboard_v1_modifiers(keyboard, kControlMask, 0, 0, 0);
    zwp_virtual_keyboard_v1_key(keyboard, time, key, kPressed);
    zwp_virtual_keyboard_v1_key(keyboard, time, key, kReleased);
    zwp_virtual_keyboard_v1_key(keyboard, time, kKeyLeftCtrl, kReleased);
    zwp_virtual_keyboard_v1_modifiers(keyboard, 0, 0, 0, 0);
    if (!connection_.flush()) {
        if (connection_.broken())
            return {false, false, QStringLiteral("lost the connection to the Wayland compositor")};
        return {true, false,
                QStringLiteral("the compositor has not read the keys of %1 yet")
                    .arg(QLatin1String(what))};
    }
    return {true, true, QString()};
}

} // namespace qlq
