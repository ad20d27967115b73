#pragma once

#include <QListView>

namespace qlq {

// The tail list on the main window. Only a selection, by mouse or keyboard, is the user's choice of
// a row. Gaining the focus chooses nothing: Qt would make the first row current, which reads as a
// choice and lets the first Down skip to row 1; here no row is current until one is selected. While
// the list is empty it shows how to fill it, drawn in the box rather than as a row, so that F8
// still finds no tail in it.
class TailListView : public QListView {
    Q_OBJECT
public:
    using QListView::QListView;

    static QString emptyHint() { return QStringLiteral("点击『编辑内容』添加小尾巴…"); }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace qlq
