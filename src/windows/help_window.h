#pragma once

#include <QWidget>

namespace qlq {

class ShellServices;

// "介绍与帮助": an about panel and a contact panel with two links. Holds no data; each
// opening builds it afresh.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 363;  // 5445 twips
    static constexpr int kClientHeight = 396; // 5940 twips

    explicit HelpWindow(ShellServices& shell, QWidget* parent = nullptr);
    ~HelpWindow() override;

private:
    void createAboutPanel(QWidget* panel);
    void createContactPanel(QWidget* panel);

    ShellServices& shell_;
};

} // namespace qlq
