#pragma once

#include <QStyledItemDelegate>

namespace qlq {

// Draws a tail as it may be shown: bytes the file's encoding could not decode appear as "�".
// The list itself keeps them, so that the editor writes them back unchanged.
class TailRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale& locale) const override;
};

} // namespace qlq
