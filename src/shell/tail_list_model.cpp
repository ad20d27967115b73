#include "shell/tail_list_model.h"

#include "text/display_text.h"

namespace qlq {

QVariant TailListModel::data(const QModelIndex& index, int role) const {
    QVariant value = QStringListModel::data(index, role);
    // Bytes the file's encoding could not decode show as "�"; the rows keep them, so that the
    // editor writes them back unchanged.
    if (role == Qt::DisplayRole)
        return textForDisplay(value.toString().left(kShownCharacters));
    return value;
}

} // namespace qlq
