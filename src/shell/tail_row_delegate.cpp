#include "shell/tail_row_delegate.h"

#include "text/display_text.h"

namespace qlq {

QString TailRowDelegate::displayText(const QVariant& value, const QLocale& locale) const {
    return QStyledItemDelegate::displayText(textForDisplay(value.toString()), locale);
}

} // namespace qlq
