#include "windows/help_window.h"

#include "config/build_config.h"
#include "config/web_addresses.h"
#include "platform/shell_services.h"
#include "ui/controls.h"
#include "ui/program_icon.h"
#include "ui/window_placement.h"
#include "windows/link_label.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qlq {
namespace {

// 宋体 as designed; the installed Song-style face where it is missing.
QFont songFont(qreal points, bool bold) {
    QFont font;
    font.setFamilies(
        {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN")});
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QLabel* label(QWidget* panel, const char* name, const QString& caption, int left, int top,
              int width, int height) {
    auto* l = placeControl(new QLabel(panel), name, left, top, width, height);
    l->setTextFormat(Qt::PlainText);
    l->setText(caption);
    return l;
}

QLabel* picture(QWidget* panel, const char* name, const QString& resource, int left, int top,
                int width, int height) {
    auto* l = placeControl(new QLabel(panel), name, left, top, width, height);
    l->setPixmap(QPixmap(resource));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
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

    auto* close = placeControl(new QPushButton(QStringLiteral("关闭"), this), "Command1", 2280,
                               5400, 1095, 375);
    pressedByEnter(close);
    describeControl(close, QStringLiteral("关闭"), QStringLiteral("关闭介绍与帮助窗口"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    centreOnScreen(*this);
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::createAboutPanel(QWidget* panel) {
    describeControl(
        picture(panel, "Image2", QStringLiteral(":/images/help_about.png"), 120, 360, 1650, 1650),
        QStringLiteral("青岚雀"), QStringLiteral("软件图标"));

    // The separator runs past the panel's bottom edge, which cuts it off.
    auto* line = placeControl(new QWidget(panel), "Line1", 1920, 0, 15, 2760);
    line->setStyleSheet(QStringLiteral("background-color: rgb(192, 192, 192);"));
    line->setAttribute(Qt::WA_StyledBackground);

    label(panel, "Label18", QStringLiteral("青岚雀-贴吧小尾巴"), 2280, 360, 2295, 375);
    label(panel, "Label17", QStringLiteral("软件版本：") + QString::fromLatin1(config::kVersion),
          2280, 720, 1695, 375);
    label(panel, "Label16", QString::fromUtf8(config::kRights), 2280, 1080, 1575, 255);
    label(panel, "Label15", QStringLiteral("软件说明："), 2280, 1440, 1095, 255);
    QLabel* about = label(panel, "Label14",
                          QStringLiteral("  快捷键F8操作,快速方便的设置贴吧小尾巴并支持立即回复、"
                                         "最小化后台运行。纯绿色软件"),
                          2280, 1680, 2535, 1335);
    about->setWordWrap(true);
    about->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void HelpWindow::createContactPanel(QWidget* panel) {
    const QFont bold12 = songFont(12, true);
    const QFont regular12 = songFont(12, false);
    const QFont bold105 = songFont(10.5, true);
    const QFont regular105 = songFont(10.5, false);

    label(panel, "Label3", QString::fromUtf8(config::kCreditHeading), 240, 120, 975, 255)
        ->setFont(bold12);
    label(panel, "Label6", QString::fromUtf8(config::kMakerNick), 1080, 120, 1215, 375)
        ->setFont(bold12);
    describeControl(picture(panel, "Image1", QStringLiteral(":/images/help_contact.png"), 3360, 360,
                            1050, 1125),
                    QString::fromUtf8(config::kMakerNick), QStringLiteral("作者头像"));
    label(panel, "Label9", QStringLiteral("青岚雀系列软件"), 240, 480, 2535, 255)
        ->setFont(regular12);
    label(panel, "Label1", QString::fromUtf8(config::kMakerAccount), 240, 800, 2895, 255)
        ->setFont(regular105);
    label(panel, "Label22", QStringLiteral("Q Q群：        "), 240, 1080, 3015, 375)
        ->setFont(bold105);

    // Lies over the label's trailing spaces; there to select and copy, nothing reads it back.
    auto* groupChat = placeControl(new QLineEdit(panel), "Text1", 960, 1080, 975, 290);
    groupChat->setText(QString::fromUtf8(config::kGroupChat));
    groupChat->setCursorPosition(0);
    describeControl(groupChat, QStringLiteral("QQ群号"), QStringLiteral("可以选中并复制"));

    label(panel, "Label5", QStringLiteral("贴吧："), 240, 1440, 765, 240)->setFont(bold12);
    label(panel, "Label7", QStringLiteral("博客："), 240, 1800, 1455, 255)->setFont(bold12);

    // The palette's link colour: blue in a light theme, readable on a dark one.
    auto link = [&](const char* name, const QString& text, int top, const QUrl& address) {
        auto* label = placeControl(new LinkLabel(shell_, panel), name, 960, top, 3735, 255);
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        label->setFont(bold12);
        label->setForegroundRole(QPalette::Link);
        describeControl(label, text, QStringLiteral("链接：在浏览器中打开 ") + address.toString());
        connect(label, &LinkLabel::clicked, this, [this, address] { shell_.openUrl(address); });
    };
    link("Label4", QStringLiteral("点击进入"), 1440, forumPageUrl());
    link("Label8", QString::fromUtf8(config::kHomeUrl), 1800, homePageUrl());
}

} // namespace qlq
