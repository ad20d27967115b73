#pragma once

#include <QListView>

namespace qlq {

// List1. Only a selection, by mouse or keyboard, is the user's choice of a row. Gaining the
// focus chooses nothing: Qt would make the first row current, which reads as a choice and lets
// the first Down skip to row 1; here no row is current until one is selected.
class TailListView : public QListView {
    Q_OBJECT
public:
    using QListView::QListView;

protected:
    void focusInEvent(QFocusEvent* event) override;
};

} // namespace qlq
