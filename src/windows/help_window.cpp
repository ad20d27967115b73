#include "windows/help_window.h"

#include "config/build_config.h"
#include "config/web_addresses.h"
#include "platform/shell_services.h"
#include "ui/controls.h"
#include "ui/program_icon.h"
#include "ui/song_font.h"
#include "ui/window_placement.h"
#include "windows/link_label.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qlq {
namespace {

using enum ControlKind;

constexpr char kAboutText[] =
    "  快捷键F8操作,快速方便的设置贴吧小尾巴并支持立即回复、最小化后台运行。纯绿色软件";

// 宋体 as designed; the installed Song-style face where it is missing.
QFont helpFont(qreal points, bool bold) {
    QFont font = songFont(points, "宋体");
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

} // namespace

HelpWindow::HelpWindow(ShellServices& shell, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      shell_(shell) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("介绍与帮助"));
    setWindowIcon(programIcon());
    setAttribute(Qt::WA_QuitOnClose, false); // the program decides when it ends
    setFixedSize(kClientWidth, kClientHeight);

    createAboutPanel(placeControl(new QWidget(this), "Picture1", 240, 120, 4935, 2535));
    createContactPanel(placeControl(new QWidget(this), "Picture2", 240, 2880, 4935, 2295));

    auto* close =
        createControl<QPushButton>(this, {"Command1", Button, {2280, 5400, 1095, 375}, "关闭"});
    describeControl(close, QStringLiteral("关闭"), QStringLiteral("关闭介绍与帮助窗口"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    centreOnScreen(*this);
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::createAboutPanel(QWidget* panel) {
    describeControl(
        createControl(panel,
                      {"Image2", Picture, {120, 360, 1650, 1650}, ":/images/help_about.png"}),
        QStringLiteral("青岚雀"), QStringLiteral("软件图标"));

    // The separator runs past the panel's bottom edge, which cuts it off.
    auto* line = placeControl(new QWidget(panel), "Line1", 1920, 0, 15, 2760);
    line->setStyleSheet(QStringLiteral("background-color: rgb(192, 192, 192);"));
    line->setAttribute(Qt::WA_StyledBackground);

    createControl<QLabel>(panel, {"Label18", Label, {2280, 360, 2295, 375}, "青岚雀-贴吧小尾巴"});
    createControl<QLabel>(panel, {"Label17", Label, {2280, 720, 1695, 375}})
        ->setText(QStringLiteral("软件版本：") + QString::fromLatin1(config::kVersion));
    createControl<QLabel>(panel, {"Label16", Label, {2280, 1080, 1575, 255}, config::kRights});
    createControl<QLabel>(panel, {"Label15", Label, {2280, 1440, 1095, 255}, "软件说明："});
    QLabel* about =
        createControl<QLabel>(panel, {"Label14", Label, {2280, 1680, 2535, 1335}, kAboutText});
    about->setWordWrap(true);
    about->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void HelpWindow::createContactPanel(QWidget* panel) {
    const QFont bold12 = helpFont(12, true);
    const QFont regular12 = helpFont(12, false);
    const QFont bold105 = helpFont(10.5, true);
    const QFont regular105 = helpFont(10.5, false);

    createControl<QLabel>(panel, {"Label3", Label, {240, 120, 975, 255}, config::kCreditHeading})
        ->setFont(bold12);
    createControl<QLabel>(panel, {"Label6", Label, {1080, 120, 1215, 375}, config::kMakerNick})
        ->setFont(bold12);
    describeControl(
        createControl(panel,
                      {"Image1", Picture, {3360, 360, 1050, 1125}, ":/images/help_contact.png"}),
        QString::fromUtf8(config::kMakerNick), QStringLiteral("作者头像"));
    createControl<QLabel>(panel, {"Label9", Label, {240, 480, 2535, 255}, "青岚雀系列软件"})
        ->setFont(regular12);
    createControl<QLabel>(panel, {"Label1", Label, {240, 800, 2895, 255}, config::kMakerAccount})
        ->setFont(regular105);
    createControl<QLabel>(panel, {"Label22", Label, {240, 1080, 3015, 375}, "Q Q群：        "})
        ->setFont(bold105);

    // Lies over the label's trailing spaces; there to select and copy, nothing reads it back.
    auto* groupChat = createControl<QLineEdit>(
        panel, {"Text1", LineEdit, {960, 1080, 975, 290}, config::kGroupChat});
    groupChat->setCursorPosition(0);
    describeControl(groupChat, QStringLiteral("QQ群号"), QStringLiteral("可以选中并复制"));

    createControl<QLabel>(panel, {"Label5", Label, {240, 1440, 765, 240}, "贴吧："})
        ->setFont(bold12);
    createControl<QLabel>(panel, {"Label7", Label, {240, 1800, 1455, 255}, "博客："})
        ->setFont(bold12);

    // The palette's link colour: blue in a light theme, readable on a dark one.
    auto link = [&](const char* name, const char* text, int top, const QUrl& address) {
        auto* label = new LinkLabel(shell_, panel);
        designControl(label, {name, Label, {960, top, 3735, 255}, text});
        label->setFont(bold12);
        label->setForegroundRole(QPalette::Link);
        describeControl(label, label->text(),
                        QStringLiteral("链接：在浏览器中打开 ") + address.toString());
        connect(label, &LinkLabel::clicked, this, [this, address] { shell_.openUrl(address); });
    };
    link("Label4", "点击进入", 1440, forumPageUrl());
    link("Label8", config::kHomeUrl, 1800, homePageUrl());
}

} // namespace qlq
