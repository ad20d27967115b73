#include "platform/common/paste_latency.h"

#include "config/log_categories.h"

namespace qlq {

void logPasteLatency(std::chrono::steady_clock::time_point f8Seen) {
    if (!log::desktop().isDebugEnabled())
        return;
    const auto sinceF8 = std::chrono::steady_clock::now() - f8Seen;
    if (sinceF8 < std::chrono::seconds(1)) // else this paste was held back, not a fresh press
        qCDebug(log::desktop, "Ctrl+V sent %.3f ms after the F8 event",
                std::chrono::duration<double, std::milli>(sinceF8).count());
}

} // namespace qlq
