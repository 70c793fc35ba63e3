#pragma once
// ResultPage: one page of results as the viewer shows it, taken from the
// search session after every search, page turn and Clear: the columns of
// each row, the count of the search and where the page stands in it.

#include <QString>
#include <QStringList>
#include <QVector>

class CSearchSession;

// One row as the session holds it, and the columns it is painted in:
// surname, given names and summary, each split at its tabs with empty runs
// dropped, at most three in all (a row with empty given names shows its
// summary second).
struct ResultRow {
    QString surname;
    QString givenNames;
    QString summary;
    QStringList columns;
    // The person's More Info was opened before (the research log's seen mark).
    bool seen = false;
};

struct ResultPage {
    QVector<ResultRow> rows;
    long count = 0;
    int index = 0;  // 0 for the first page
    int pageSize = 10;
    bool hasPrev = false;
    bool hasNext = false;

    int Rows() const { return static_cast<int>(rows.size()); }
    // "23 records found."
    QString CountText() const;
    // "Page 2 of 3"; empty without records.
    QString PageText() const;

    // The page the session holds now.
    static ResultPage Of(const CSearchSession& session);
};
