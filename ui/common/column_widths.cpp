#include "ui/common/column_widths.h"

#include <QStyle>
#include <QWidget>

#include "ui/common/database_title.h"

namespace column_widths {

int Margin(const QWidget& list) {
    return 2 * (list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1) +
           list.fontMetrics().averageCharWidth();
}

int DatabaseColumn(const QWidget& list) { return WidestDatabaseTitle(list.fontMetrics()) + Margin(list); }

}  // namespace column_widths
