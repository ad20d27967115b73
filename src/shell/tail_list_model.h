#pragma once

#include <QStringListModel>

namespace qlq {

// The tail list's rows: the tails in file order, undecodable bytes kept. A row shows only the start
// of a long tail: drawing a row lays its whole text out, and a tail of megabytes would freeze the
// window for seconds.
class TailListModel : public QStringListModel {
    Q_OBJECT
public:
    static constexpr qsizetype kShownCharacters = 500;

    using QStringListModel::QStringListModel;

    QVariant data(const QModelIndex& index, int role) const override;
};

} // namespace qlq
