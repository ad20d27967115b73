#pragma once

#include <QWidget>

#include <chrono>
#include <functional>

class QTimer;

namespace qlq {

class ShellServices;
class LinkLabel;

// The picture the program starts with. After its delay it unloads itself and then hands
// over (shows the main window); a click on the picture opens the maker's home page.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDelay{3000};
    static constexpr int kWidth = 445;  // 6680 twips
    static constexpr int kHeight = 300; // 4500 twips

    SplashWindow(ShellServices& shell, std::function<void()> handOver,
                 std::chrono::milliseconds delay = kDelay, QWidget* parent = nullptr);
    ~SplashWindow() override;

    // No border, the timer starts counting, then size and place. Call before show().
    void load();

private:
    void handOverWhenTimeIsUp();

    ShellServices& shell_;
    std::function<void()> handOver_;
    std::chrono::milliseconds delay_;
    LinkLabel* picture_ = nullptr;
    QTimer* timer_ = nullptr;
};

} // namespace qlq
