#include "platform/wayland/press_router.h"

#include "config/log_categories.h"

namespace qlq {

class PressRouter::RoutedClipboard : public ClipboardWriter {
public:
    explicit RoutedClipboard(PressRouter& router) : router_(router) {}

    std::optional<QString> problem() const override { return router_.session_.clipboard.problem(); }
    Take take(const QString& text) override { return router_.chosen().clipboard.take(text); }
    std::optional<QString> confirm() override { return router_.chosen().clipboard.confirm(); }
    void whenSettled(std::function<void(std::optional<QString>)> verdict) override {
        // A press held back meanwhile may have chosen the other road: Ctrl+Enter follows the
        // paste's.
        router_.chosen().clipboard.whenSettled(
            [this, road = router_.x11Road_, verdict = std::move(verdict)](auto doubt) {
                router_.x11Road_ = road;
                verdict(std::move(doubt));
            });
    }
    void setSettledHandler(std::function<void()> handler) override {
        router_.x11_.clipboard.setSettledHandler(handler);
        if (&router_.session_.clipboard != &router_.x11_.clipboard)
            router_.session_.clipboard.setSettledHandler(std::move(handler));
    }

private:
    PressRouter& router_;
};

class PressRouter::RoutedTypist : public Typist {
public:
    explicit RoutedTypist(PressRouter& router) : router_(router) {}

    std::optional<QString> problem() const override {
        if (std::optional<QString> problem = router_.x11_.typist.problem())
            return problem;
        return router_.session_.typist.problem();
    }
    // The first question of every delivery: the road is chosen here.
    std::optional<QString> holdBack() override {
        router_.choose();
        return router_.chosen().typist.holdBack();
    }
    Typed paste() override { return router_.chosen().typist.paste(); }
    Typed submit() override { return router_.chosen().typist.submit(); }

private:
    PressRouter& router_;
};

PressRouter::PressRouter(Parts x11, Parts session, std::function<bool()> pressSeenOnlyByX11)
    : x11_(x11), session_(session), pressSeenOnlyByX11_(std::move(pressSeenOnlyByX11)),
      clipboard_(std::make_unique<RoutedClipboard>(*this)),
      typist_(std::make_unique<RoutedTypist>(*this)) {}

PressRouter::~PressRouter() = default;

ClipboardWriter& PressRouter::clipboard() {
    return *clipboard_;
}

Typist& PressRouter::typist() {
    return *typist_;
}

void PressRouter::choose() {
    const bool x11 = pressSeenOnlyByX11_();
    if (x11 != x11Road_)
        qCDebug(log::desktop, "the press goes through %s", x11 ? "X11" : "the Wayland session");
    x11Road_ = x11;
}

} // namespace qlq
