#pragma once

#include "platform/clipboard_writer.h"

#include <QObject>

#include <memory>

class QTimer;
struct wl_proxy;

namespace qlq {

class WaylandConnection;

// Sets the clipboard through the compositor's data-control protocol (ext_data_control_v1, else
// zwlr_data_control_unstable_v1): no focused window is needed, and native and XWayland windows
// alike fetch the text from us. A window that fetches is served from the event loop, never
// waited for.
class DataControlClipboard : public QObject, public ClipboardWriter {
    Q_OBJECT
public:
    // How long Ctrl+Enter waits for the window to fetch the pasted text.
    static constexpr int kFetchWaitMs = 3000;

    // Nothing when the compositor offers no data-control protocol.
    static std::unique_ptr<DataControlClipboard> create(WaylandConnection& connection);
    ~DataControlClipboard() override;

    std::optional<QString> problem() const override { return problem_; }
    Take take(const QString& text) override;
    std::optional<QString> confirm() override;
    // Settles when the window fetched our text: without a fetch, or when another program
    // replaced the clipboard first, the paste is in doubt.
    void whenSettled(std::function<void(std::optional<QString> doubt)> verdict) override;
    // Takes never wait for the clipboard to settle.
    void setSettledHandler(std::function<void()>) override {}

    // A window may still fetch the text of the last press.
    bool holdsText() const;
    // That text, while it is on the clipboard.
    std::optional<QString> ownText() const;

private:
    struct Source;

    DataControlClipboard(WaylandConnection& connection, wl_proxy* manager, bool ext);
    void onFetch(Source& source, int fd);
    void onCancelled(Source& source);
    void settle(std::optional<QString> doubt);
    static void onSend(void* data, wl_proxy* proxy, const char* mimeType, int fd);
    static void onSourceCancelled(void* data, wl_proxy* proxy);
    static void onDataOffer(void* data, wl_proxy* device, wl_proxy* offer);
    static void onSelection(void* data, wl_proxy* device, wl_proxy* offer);
    static void onFinished(void* data, wl_proxy* device);

    WaylandConnection& connection_;
    wl_proxy* manager_ = nullptr;
    wl_proxy* device_ = nullptr;
    const bool ext_;
    std::optional<QString> problem_;
    std::unique_ptr<Source> current_;
    std::function<void(std::optional<QString>)> verdict_;
    int fetchesBeforeVerdict_ = 0;
    QTimer* fetchWait_ = nullptr;
};

} // namespace qlq
