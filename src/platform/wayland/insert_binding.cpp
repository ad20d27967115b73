#include "platform/wayland/insert_binding.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace qlq {
namespace {

constexpr int kIpcTimeoutMs = 500;
constexpr std::uint32_t kGetConfig = 9;
constexpr char kMagic[] = "i3-ipc";
constexpr std::size_t kMagicSize = sizeof(kMagic) - 1;
constexpr std::size_t kHeaderSize = kMagicSize + 8;
constexpr std::uint32_t kMaxReply = 1U << 22;

bool readFully(int fd, char* into, std::size_t size) {
    while (size > 0) {
        pollfd readable{fd, POLLIN, 0};
        if (poll(&readable, 1, kIpcTimeoutMs) <= 0)
            return false;
        const ssize_t n = ::read(fd, into, size);
        if (n <= 0)
            return false;
        into += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool configBindsInsert(const QString& config) {
    static const QRegularExpression binding(
        QStringLiteral(R"(^\s*bind(sym|code)\b.*\bqinglanque\S*\s+(.*\s)?--insert\b)"),
        QRegularExpression::MultilineOption);
    return binding.match(config).hasMatch();
}

bool gnomeBindsInsert() {
    if (!qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String("GNOME")))
        return false;
    QProcess gsettings;
    gsettings.start(QStringLiteral("gsettings"),
                    {QStringLiteral("get"),
                     QStringLiteral("org.gnome.settings-daemon.plugins.media-keys"),
                     QStringLiteral("custom-keybindings")});
    if (!gsettings.waitForFinished(kIpcTimeoutMs * 2)) {
        gsettings.kill();
        gsettings.waitForFinished(kIpcTimeoutMs);
        return false;
    }
    return gsettings.readAllStandardOutput().contains(
        "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/qinglanque/");
}

std::optional<QString> runningSwayConfig() {
    const QByteArray path = qgetenv("SWAYSOCK");
    sockaddr_un address{};
    if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof(address.sun_path))
        return std::nullopt;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    std::optional<QString> config;
    char header[kHeaderSize];
    std::memcpy(header, kMagic, kMagicSize);
    const std::uint32_t noPayload = 0;
    std::memcpy(header + kMagicSize, &noPayload, 4);
    std::memcpy(header + kMagicSize + 4, &kGetConfig, 4);
    std::uint32_t length = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
        ::write(fd, header, kHeaderSize) == static_cast<ssize_t>(kHeaderSize) &&
        readFully(fd, header, kHeaderSize) && std::memcmp(header, kMagic, kMagicSize) == 0) {
        std::memcpy(&length, header + kMagicSize, 4);
        QByteArray reply(static_cast<qsizetype>(std::min(length, kMaxReply)), Qt::Uninitialized);
        if (length <= kMaxReply && readFully(fd, reply.data(), reply.size()))
            config =
                QJsonDocument::fromJson(reply).object().value(QStringLiteral("config")).toString();
    }
    ::close(fd);
    return config;
}

} // namespace qlq
