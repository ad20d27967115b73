#include "ui/controls.h"

#include "ui/song_font.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>

#include <algorithm>
#include <vector>

namespace qlq {

QWidget* createControl(QWidget* parent, const ControlDesign& design) {
    switch (design.kind) {
    case ControlKind::Label:
    case ControlKind::Heading:
    case ControlKind::Picture:
        return designControl(new QLabel(parent), design);
    case ControlKind::LineEdit:
        return designControl(new QLineEdit(parent), design);
    case ControlKind::TextArea:
        return designControl(new QPlainTextEdit(parent), design);
    case ControlKind::Button:
        return designControl(new QPushButton(parent), design);
    case ControlKind::CheckBox:
        return designControl(new QCheckBox(parent), design);
    case ControlKind::List:
        return designControl(new QListView(parent), design);
    }
    return nullptr;
}

QWidget* designControl(QWidget* control, const ControlDesign& design) {
    placeControl(control, design.name, design.twips);
    const QString caption = QString::fromUtf8(design.caption);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        if (design.kind == ControlKind::Picture) {
            label->setPixmap(QPixmap(caption));
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        } else {
            label->setTextFormat(Qt::PlainText);
            label->setText(caption);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(caption);
    } else if (auto* line = qobject_cast<QLineEdit*>(control); line && design.caption) {
        line->setText(caption);
    } else if (auto* area = qobject_cast<QPlainTextEdit*>(control)) {
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        area->setTabChangesFocus(true);
        if (design.caption)
            area->setPlainText(caption);
    }
    if (auto* button = qobject_cast<QPushButton*>(control))
        pressedByEnter(button);
    if (design.kind == ControlKind::Heading) {
        control->setFont(songFont(10.5, "新宋体"));
        control->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    }
    if (design.accessibleName)
        describeControl(control, QString::fromUtf8(design.accessibleName),
                        QString::fromUtf8(design.accessibleDescription));
    if (design.hidden)
        control->setVisible(false);
    // A picture, too, takes the focus when Tab reaches it, though never from a click.
    if (design.tabStop != kNoTabStop && control->focusPolicy() == Qt::NoFocus)
        control->setFocusPolicy(Qt::TabFocus);
    return control;
}

void chainTabOrder(QWidget& window, std::span<const ControlDesign> designs) {
    std::vector<const ControlDesign*> stops;
    for (const ControlDesign& design : designs) {
        if (design.tabStop != kNoTabStop)
            stops.push_back(&design);
    }
    std::ranges::sort(stops, {}, &ControlDesign::tabStop);
    QList<QWidget*> order;
    for (const ControlDesign* design : stops)
        order.append(window.findChild<QWidget*>(QString::fromLatin1(design->name)));
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

} // namespace qlq
