#include "shell/tail_list_model.h"

namespace qlq {

QVariant TailListModel::data(const QModelIndex& index, int role) const {
    QVariant value = QStringListModel::data(index, role);
    if (role == Qt::DisplayRole) {
        const QString text = value.toString();
        if (text.size() > kShownCharacters)
            return text.left(kShownCharacters);
    }
    return value;
}

} // namespace qlq
