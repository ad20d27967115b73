#pragma once

#include "ui/twips.h"

#include <QPushButton>
#include <QString>
#include <QWidget>

#include <span>

namespace qlq {

enum class ControlKind {
    Label,
    Heading,  // a red label in 新宋体 10.5 pt
    Picture,  // the caption names the picture's resource; drawn at its own size from the top left
    LineEdit, // one line
    TextArea, // lines under a vertical scroll bar; Tab leaves it
    Button,   // Enter presses it, as Space does
    CheckBox,
    List,
};

inline constexpr int kNoTabStop = -1;

// One control of a window as it was designed. The designer name is the objectName: skins and
// tests find the control by it.
struct ControlDesign {
    const char* name;
    ControlKind kind;
    QRect twips;                   // left, top, width, height
    const char* caption = nullptr; // UTF-8; the initial text of a text control
    int tabStop = kNoTabStop;      // the place in the window's Tab order, counted from 0
    // What a screen reader says, for a control the user sees.
    const char* accessibleName = nullptr;
    const char* accessibleDescription = nullptr;
    bool hidden = false;
};

// Names a control after its designer name and puts it at its designed place (twips).
template <typename W>
W* placeControl(W* control, const char* objectName, int left, int top, int width, int height) {
    control->setObjectName(QString::fromLatin1(objectName));
    control->setGeometry(twipsRect(left, top, width, height));
    return control;
}

template <typename W> W* placeControl(W* control, const char* objectName, const QRect& twipsArea) {
    control->setObjectName(QString::fromLatin1(objectName));
    control->setGeometry(twipsRect(twipsArea));
    return control;
}

// Enter on a focused button presses it, as Space does. Qt does that for auto-default buttons
// only; outside a dialog that makes no button the window's default.
inline QPushButton* pressedByEnter(QPushButton* button) {
    button->setAutoDefault(true);
    return button;
}

// What a screen reader says for a control the user sees; a button's or box's text alone leaves
// text fields, lists and pictures nameless.
inline void describeControl(QWidget* control, const QString& name, const QString& description) {
    control->setAccessibleName(name);
    control->setAccessibleDescription(description);
}

// Makes the control that `design` describes, a child of `parent`.
QWidget* createControl(QWidget* parent, const ControlDesign& design);
template <typename W> W* createControl(QWidget* parent, const ControlDesign& design) {
    return static_cast<W*>(createControl(parent, design));
}
// Names, places and captions a control of the caller's own class as `design` says.
QWidget* designControl(QWidget* control, const ControlDesign& design);

// Tab goes through the controls of `window` in the order of their Tab stops.
void chainTabOrder(QWidget& window, std::span<const ControlDesign> designs);

} // namespace qlq
