#include "ui/common/database_title.h"

#include <algorithm>

#include <QFontMetrics>
#include <QStringList>

#include "store/catalogue.h"
#include "ui/common/cp1252_qt.h"

QString DatabaseTitle(int code) { return cp1252::ToQString(catalogue::TitleOfCode(code)); }

QString DatabaseTitles(const std::vector<int>& codes) {
    QStringList titles;
    for (int code : codes) titles << DatabaseTitle(code);
    return titles.join(QStringLiteral(", "));
}

int WidestDatabaseTitle(const QFontMetrics& metrics) {
    int widest = 0;
    for (int row = 0; catalogue::kListTexts[row][0] != '\0'; ++row)
        widest = std::max(widest, metrics.horizontalAdvance(cp1252::ToQString(catalogue::kListTexts[row])));
    return widest;
}
