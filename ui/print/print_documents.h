#pragma once
// The two printed documents: one record (its title, the database's title
// and the full text), and the hits of a search as a list to tick off, with
// column heads and page numbers. Each prints on a printer as it is set up
// (by the print dialog, or by a caller that writes a PDF file), so that
// they can be made without a dialog.

#include <cstddef>
#include <utility>
#include <vector>

#include <QString>

class QPrinter;

namespace print_documents {

struct Record {
    QString title;     // as More Info's title
    QString database;  // the database's title
    QString text;      // the full text, lines broken by line feeds
};

struct ResultRow {
    ResultRow(QString surnameText, QString given, QString summaryText, QString databaseTitle = QString())
        : surname(std::move(surnameText)),
          givenNames(std::move(given)),
          summary(std::move(summaryText)),
          database(std::move(databaseTitle)) {}
    QString surname;
    QString givenNames;
    QString summary;   // as the result rows show it
    QString database;  // the database's title, where the list has people of several
};

struct Results {
    QString heading;     // what was searched, and where
    QString subheading;  // how many were found
    std::vector<ResultRow> rows;
    // A first column with each row's database (a search of the records).
    bool withDatabase = false;
};

// A page of results holds this many rows, under the column heads.
inline constexpr int kRowsPerPage = 50;

// Pages of a list of rows; an empty list still prints its one page.
int ResultPages(std::size_t rows);

// Both return false when nothing could be printed (the printer could not
// be started, or a page not added).
bool PrintRecord(QPrinter& printer, const Record& record);
bool PrintResults(QPrinter& printer, const Results& results);

}  // namespace print_documents
