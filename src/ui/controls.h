#pragma once

#include "ui/twips.h"

#include <QPushButton>
#include <QString>
#include <QWidget>

namespace qlq {

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

} // namespace qlq
