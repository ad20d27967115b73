#pragma once

#include <QWidget>

#include <chrono>
#include <functional>

class QTimer;

namespace qlq {

class DesktopServices;
class LinkLabel;

// Form3: the picture the program starts with. After its delay it unloads itself and then hands
// over (shows the main window); a click on the picture opens the maker's home page.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDelay{3000};
    static constexpr int kWidth = 445;  // 6680 twips
    static constexpr int kHeight = 300; // 4500 twips

    SplashWindow(DesktopServices& desktop, std::function<void()> handOver,
                 std::chrono::milliseconds delay = kDelay, QWidget* parent = nullptr);
    ~SplashWindow() override;

    // Form_Load: no border, the timer starts counting, then size and place. Call before show().
    void load();

private:
    void Timer1_Timer();
    void Image1_Click();

    DesktopServices& desktop_;
    std::function<void()> handOver_;
    std::chrono::milliseconds delay_;
    LinkLabel* Image1 = nullptr;
    QTimer* Timer1 = nullptr;
};

} // namespace qlq
