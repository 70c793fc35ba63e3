#include "ui/results/result_page.h"

#include <algorithm>
#include <cstdio>

#include "browse/session/search_session.h"
#include "ui/common/cp1252_qt.h"

namespace {

// A row from its pieces; its columns are what "%s\t%s\t%s" split into runs
// between tabs would give.
ResultRow RowOf(const char* surname, const PageRow& row) {
    ResultRow shown{cp1252::ToQString(surname), cp1252::ToQString(row.givenNames),
                    cp1252::ToQString(row.summary), QStringList()};
    for (const QString* piece : {&shown.surname, &shown.givenNames, &shown.summary}) {
        shown.columns += piece->split(QLatin1Char('\t'), Qt::SkipEmptyParts);
    }
    shown.columns = shown.columns.mid(0, 3);
    return shown;
}

}  // namespace

QString ResultPage::CountText() const {
    char line[64];
    std::snprintf(line, sizeof line, "%ld records found.", count);
    return QString::fromLatin1(line);
}

QString ResultPage::PageText() const {
    if (count <= 0) return QString();
    const long size = std::max(1, pageSize);
    return QStringLiteral("Page %1 of %2").arg(index + 1).arg((count + size - 1) / size);
}

ResultPage ResultPage::Of(const CSearchSession& session) {
    ResultPage page;
    const CResultPager& pager = session.Pager();
    const int rows = std::clamp(session.RowsOnPage(), 0, CResultPager::kMaxRows);
    page.rows.reserve(rows);
    for (int i = 0; i < rows; ++i) page.rows.push_back(RowOf(pager.Surname(), pager.Row(i)));
    page.count = static_cast<long>(session.RecordCount());
    page.index = session.PageIndex();
    page.pageSize = session.PageSize();
    page.hasPrev = session.HasPrev();
    page.hasNext = session.HasNext();
    return page;
}
