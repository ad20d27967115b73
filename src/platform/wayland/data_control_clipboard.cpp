#include "platform/wayland/data_control_clipboard.h"

#include "config/log_categories.h"
#include "platform/wayland/wayland_connection.h"

#include <QSocketNotifier>
#include <QTimer>

#include "ext-data-control-v1-client.h"
#include "wlr-data-control-unstable-v1-client.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace qlq {
namespace {

// Both protocols have the same requests and events in the same order; only the names differ.
constexpr std::uint32_t kExtOpcodes[] = {EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE,
                                         EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE,
                                         EXT_DATA_CONTROL_MANAGER_V1_DESTROY,
                                         EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION,
                                         EXT_DATA_CONTROL_DEVICE_V1_DESTROY,
                                         EXT_DATA_CONTROL_SOURCE_V1_OFFER,
                                         EXT_DATA_CONTROL_SOURCE_V1_DESTROY,
                                         EXT_DATA_CONTROL_OFFER_V1_DESTROY};
constexpr std::uint32_t kWlrOpcodes[] = {ZWLR_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE,
                                         ZWLR_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE,
                                         ZWLR_DATA_CONTROL_MANAGER_V1_DESTROY,
                                         ZWLR_DATA_CONTROL_DEVICE_V1_SET_SELECTION,
                                         ZWLR_DATA_CONTROL_DEVICE_V1_DESTROY,
                                         ZWLR_DATA_CONTROL_SOURCE_V1_OFFER,
                                         ZWLR_DATA_CONTROL_SOURCE_V1_DESTROY,
                                         ZWLR_DATA_CONTROL_OFFER_V1_DESTROY};
static_assert(std::equal(std::begin(kExtOpcodes), std::end(kExtOpcodes), std::begin(kWlrOpcodes),
                         std::end(kWlrOpcodes)));

constexpr int kTakeTimeoutMs = 500;
constexpr int kServeTimeoutMs = 5000;

// What every kind of program asks for when it pastes text.
constexpr const char* kMimeTypes[] = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain",
                                      "TEXT", "STRING"};

struct SourceListener {
    void (*send)(void*, wl_proxy*, const char*, int);
    void (*cancelled)(void*, wl_proxy*);
};
struct DeviceListener {
    void (*dataOffer)(void*, wl_proxy*, wl_proxy*);
    void (*selection)(void*, wl_proxy*, wl_proxy*);
    void (*finished)(void*, wl_proxy*);
    void (*primarySelection)(void*, wl_proxy*, wl_proxy*);
};

void destroyProxy(wl_proxy* proxy, std::uint32_t opcode) {
    wl_proxy_marshal_flags(proxy, opcode, nullptr, wl_proxy_get_version(proxy),
                           WL_MARSHAL_FLAG_DESTROY);
}

void noSignal(int) {}

// A reader that closes its end makes write() raise SIGPIPE, which would end the program; the
// handler (unlike ignoring it) is not inherited by the programs we start.
void keepAliveOnClosedPipes() {
    struct sigaction current = {};
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        struct sigaction handler = {};
        handler.sa_handler = noSignal;
        sigemptyset(&handler.sa_mask);
        sigaction(SIGPIPE, &handler, nullptr);
    }
}

// Writes the text into the pipe a pasting window reads, as fast as it reads, closing it at the
// end; a window that stops reading is given up on.
class PipeWriter : public QObject {
public:
    PipeWriter(int fd, QByteArray bytes, QObject* parent)
        : QObject(parent), fd_(fd), bytes_(std::move(bytes)) {
        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
        if (writeSome())
            return;
        auto* notifier = new QSocketNotifier(fd_, QSocketNotifier::Write, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
            if (writeSome())
                notifier->setEnabled(false);
        });
        QTimer::singleShot(kServeTimeoutMs, this, [this] {
            qCInfo(log::desktop, "a window stopped reading the pasted text");
            finish();
        });
    }
    ~PipeWriter() override {
        if (fd_ >= 0)
            ::close(fd_);
    }

private:
    // True when all is written or the reader is gone.
    bool writeSome() {
        while (written_ < bytes_.size()) {
            const ssize_t n = ::write(fd_, bytes_.constData() + written_,
                                      static_cast<size_t>(bytes_.size() - written_));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN)
                return false;
            if (n <= 0)
                break;
            written_ += n;
        }
        finish();
        return true;
    }
    void finish() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        deleteLater();
    }

    int fd_;
    QByteArray bytes_;
    qsizetype written_ = 0;
};

} // namespace

struct DataControlClipboard::Source {
    DataControlClipboard* owner = nullptr;
    wl_proxy* proxy = nullptr;
    QByteArray text;
    bool cancelled = false;
    int fetches = 0;
};

std::unique_ptr<DataControlClipboard> DataControlClipboard::create(WaylandConnection& connection) {
    if (!connection.seat())
        return nullptr;
    bool ext = true;
    auto* manager =
        static_cast<wl_proxy*>(connection.bind(&ext_data_control_manager_v1_interface, 1));
    if (!manager) {
        ext = false;
        manager =
            static_cast<wl_proxy*>(connection.bind(&zwlr_data_control_manager_v1_interface, 1));
    }
    if (!manager)
        return nullptr;
    keepAliveOnClosedPipes();
    return std::unique_ptr<DataControlClipboard>(
        new DataControlClipboard(connection, manager, ext));
}

DataControlClipboard::DataControlClipboard(WaylandConnection& connection, wl_proxy* manager,
                                           bool ext)
    : connection_(connection), manager_(manager), ext_(ext), fetchWait_(new QTimer(this)) {
    static const DeviceListener deviceListener = {&onDataOffer, &onSelection, &onFinished,
                                                  &onSelection};
    device_ = wl_proxy_marshal_flags(
        manager_, ZWLR_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE,
        ext_ ? &ext_data_control_device_v1_interface : &zwlr_data_control_device_v1_interface,
        wl_proxy_get_version(manager_), 0, nullptr, connection_.seat());
    wl_proxy_add_listener(
        device_, reinterpret_cast<void (**)(void)>(const_cast<DeviceListener*>(&deviceListener)),
        this);
    connection_.flush();
    fetchWait_->setSingleShot(true);
    fetchWait_->setInterval(kFetchWaitMs);
    connect(fetchWait_, &QTimer::timeout, this,
            [this] { settle(QStringLiteral("the window did not fetch the pasted text")); });
    qCDebug(log::desktop, "clipboard through %s",
            ext_ ? "ext_data_control_v1" : "zwlr_data_control_v1");
}

DataControlClipboard::~DataControlClipboard() {
    if (current_ && current_->proxy)
        destroyProxy(current_->proxy, ZWLR_DATA_CONTROL_SOURCE_V1_DESTROY);
    if (device_)
        destroyProxy(device_, ZWLR_DATA_CONTROL_DEVICE_V1_DESTROY);
    destroyProxy(manager_, ZWLR_DATA_CONTROL_MANAGER_V1_DESTROY);
    connection_.flush();
}

ClipboardWriter::Take DataControlClipboard::take(const QString& text) {
    settle(QStringLiteral("a newer paste took the clipboard"));
    if (!device_ || connection_.broken())
        return {Take::Outcome::Refused, QStringLiteral("the compositor's clipboard is gone")};
    static const SourceListener sourceListener = {&onSend, &onSourceCancelled};
    auto source = std::make_unique<Source>();
    source->owner = this;
    source->text = text.toUtf8();
    source->proxy = wl_proxy_marshal_flags(
        manager_, ZWLR_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE,
        ext_ ? &ext_data_control_source_v1_interface : &zwlr_data_control_source_v1_interface,
        wl_proxy_get_version(manager_), 0, nullptr);
    wl_proxy_add_listener(
        source->proxy,
        reinterpret_cast<void (**)(void)>(const_cast<SourceListener*>(&sourceListener)),
        source.get());
    for (const char* mimeType : kMimeTypes)
        wl_proxy_marshal_flags(source->proxy, ZWLR_DATA_CONTROL_SOURCE_V1_OFFER, nullptr,
                               wl_proxy_get_version(source->proxy), 0, mimeType);
    wl_proxy_marshal_flags(device_, ZWLR_DATA_CONTROL_DEVICE_V1_SET_SELECTION, nullptr,
                           wl_proxy_get_version(device_), 0, source->proxy);
    // The previous text goes only now: the clipboard is never empty in between.
    if (current_ && current_->proxy)
        destroyProxy(current_->proxy, ZWLR_DATA_CONTROL_SOURCE_V1_DESTROY);
    current_ = std::move(source);
    // Once the compositor has handled it, any typist's Ctrl+V comes after it, even one sent
    // through another connection (the portal's).
    if (!connection_.sync(kTakeTimeoutMs))
        return {Take::Outcome::Refused, QStringLiteral("the compositor did not take the text")};
    if (current_->cancelled)
        return {Take::Outcome::Refused,
                QStringLiteral("the compositor gave the clipboard to another program")};
    return {};
}

std::optional<QString> DataControlClipboard::confirm() {
    if (!current_ || current_->cancelled)
        return QStringLiteral("another program took the clipboard before the paste");
    return std::nullopt;
}

void DataControlClipboard::whenSettled(std::function<void(std::optional<QString>)> verdict) {
    settle(QStringLiteral("a newer paste took the clipboard"));
    if (!current_ || current_->cancelled) {
        verdict(QStringLiteral("another program replaced the clipboard before the paste"));
        return;
    }
    verdict_ = std::move(verdict);
    fetchesBeforeVerdict_ = current_->fetches;
    fetchWait_->start();
}

bool DataControlClipboard::holdsText() const {
    return current_ && !current_->cancelled;
}

std::optional<QString> DataControlClipboard::ownText() const {
    if (!holdsText())
        return std::nullopt;
    return QString::fromUtf8(current_->text);
}

void DataControlClipboard::settle(std::optional<QString> doubt) {
    fetchWait_->stop();
    if (auto verdict = std::exchange(verdict_, {}))
        verdict(std::move(doubt));
}

void DataControlClipboard::onFetch(Source& source, int fd) {
    ++source.fetches;
    new PipeWriter(fd, source.text, this);
    if (&source == current_.get() && source.fetches > fetchesBeforeVerdict_)
        settle(std::nullopt);
}

void DataControlClipboard::onCancelled(Source& source) {
    destroyProxy(source.proxy, ZWLR_DATA_CONTROL_SOURCE_V1_DESTROY);
    source.proxy = nullptr;
    source.cancelled = true;
    if (&source == current_.get())
        settle(QStringLiteral("another program replaced the clipboard before the paste"));
}

void DataControlClipboard::onSend(void* data, wl_proxy*, const char*, int fd) {
    auto* source = static_cast<Source*>(data);
    source->owner->onFetch(*source, fd);
}

void DataControlClipboard::onSourceCancelled(void* data, wl_proxy*) {
    auto* source = static_cast<Source*>(data);
    source->owner->onCancelled(*source);
}

void DataControlClipboard::onDataOffer(void*, wl_proxy*, wl_proxy* offer) {
    // We never read the clipboard through this device.
    destroyProxy(offer, ZWLR_DATA_CONTROL_OFFER_V1_DESTROY);
}

void DataControlClipboard::onSelection(void*, wl_proxy*, wl_proxy*) {}

void DataControlClipboard::onFinished(void* data, wl_proxy* device) {
    auto* self = static_cast<DataControlClipboard*>(data);
    destroyProxy(device, ZWLR_DATA_CONTROL_DEVICE_V1_DESTROY);
    self->device_ = nullptr;
    self->problem_ = QStringLiteral("the compositor ended the clipboard access");
    qCWarning(log::desktop, "the compositor ended the clipboard access");
}

} // namespace qlq
