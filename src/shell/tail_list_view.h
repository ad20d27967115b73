#pragma once

#include <QListView>

namespace qlq {

// The tail list. While it is empty it shows how to fill it, drawn in the box rather than as a
// row, so that F8 still finds no tail in it.
class TailListView : public QListView {
    Q_OBJECT
public:
    explicit TailListView(QWidget* parent = nullptr);

    static QString emptyHint() { return QStringLiteral("点击『编辑内容』添加小尾巴…"); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace qlq
