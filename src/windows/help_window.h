#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qlq {

class DesktopServices;
class LinkLabel;

// Form2 "介绍与帮助": an about panel and a contact panel with two links. Holds no data; each
// opening builds it afresh.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 363;  // 5445 twips
    static constexpr int kClientHeight = 396; // 5940 twips

    explicit HelpWindow(DesktopServices& desktop, QWidget* parent = nullptr);
    ~HelpWindow() override;

private:
    void createAboutPanel();
    void createContactPanel();
    void Label4_Click();
    void Label8_Click();

    DesktopServices& desktop_;
    QWidget* Picture1 = nullptr;
    QWidget* Picture2 = nullptr;
    QPushButton* Command1 = nullptr;
    QLineEdit* Text1 = nullptr;
    LinkLabel* Label4 = nullptr;
    LinkLabel* Label8 = nullptr;
};

} // namespace qlq
