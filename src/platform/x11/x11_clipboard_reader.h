#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace qlq {

// Reads the CLIPBOARD selection on a worker thread over a connection of its own, so an owner
// that never answers costs the window nothing; the answer comes back on the GUI thread.
class X11ClipboardReader : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 1000;

    explicit X11ClipboardReader(QByteArray displayName);
    ~X11ClipboardReader() override;

    void read(std::function<void(std::optional<QString>)> done);

private:
    // Runs on the worker: the selection's text, "" when it holds none, nothing on failure or
    // after `timeoutMs`.
    static std::optional<QString> readBlocking(const QByteArray& displayName, int timeoutMs);

    QByteArray displayName_;
    struct Link;
    std::shared_ptr<Link> link_;
};

// Whether a window of Qt's own X connection owns CLIPBOARD, by the server's answer. Qt's
// ownsClipboard() is not enough: when another program took the clipboard a moment ago and Qt
// has not yet seen the event, the server refuses Qt's older timestamp, Qt only prints a warning
// and goes on claiming ownership.
bool qtHoldsClipboard();

} // namespace qlq
