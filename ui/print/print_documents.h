#pragma once
// The two printed documents: one record (its title, the database's title,
// the full text, its whole record and the day printed), and the hits of a
// search as a list to tick off, with column heads and page numbers, then
// their records. Each prints on a printer as it is set up
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
    QString whole;     // the whole record and where its records came from, likewise; empty: none
    QString printed;   // the day it was printed ("Printed 3 January 2026."); empty: none
};

struct ResultRow {
    ResultRow(QString surnameText, QString given, QString summaryText, QString databaseTitle = QString(),
              QString recordText = QString())
        : surname(std::move(surnameText)),
          givenNames(std::move(given)),
          summary(std::move(summaryText)),
          database(std::move(databaseTitle)),
          record(std::move(recordText)) {}
    QString surname;
    QString givenNames;
    QString summary;   // as the result rows show it
    QString database;  // the database's title, where the list has people of several
    QString record;    // every field that is not blank, "Heading: value" lines; empty: none
};

struct Results {
    QString heading;     // what was searched, and where
    QString subheading;  // how many were found
    std::vector<ResultRow> rows;
    // A first column with each row's database (a search of the records).
    bool withDatabase = false;
    // After the list: each row's record under its name, where the records
    // of each database came from (its title, then "Key: value" lines), and
    // the day printed. A list without any of them is the list alone.
    std::vector<std::pair<QString, QString>> sources;
    QString printed;
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
