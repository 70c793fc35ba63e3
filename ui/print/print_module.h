#pragma once
// Printing lives in a module of its own, chronara-print.so beside the
// viewer, which the viewer loads when it first prints: Qt's print support
// is then not loaded at every start (it costs a window half a megabyte and
// about a millisecond before its first frame; docs/performance.md). The
// module's one entry point runs the print dialog on a printer and prints
// one of the two documents (ui/print/print_documents.h) on it.

#include <functional>

#include <QString>

#include "ui/print/print_documents.h"

class QPrinter;
class QWidget;

namespace print_module {

// The module's file, beside the program that loads it, and its entry point.
inline constexpr char kFileName[] = "chronara-print.so";
inline constexpr char kEntryName[] = "chronara_print_job";

struct Job {
    QWidget* parent = nullptr;  // of the dialog
    QString documentName;
    // Runs the dialog on the printer, true to print; empty: Qt's print dialog.
    std::function<bool(QPrinter& printer, QWidget* parent)> runDialog;
    // Asked after the dialog with the PDF file chosen (or empty): false stops.
    std::function<bool(const QString& outputFile)> mayPrint;
    // The document: a record, else the results.
    const print_documents::Record* record = nullptr;
    const print_documents::Results* results = nullptr;
};

enum class Outcome {
    NotPrinted,  // the dialog was cancelled, or mayPrint said no
    Printed,
    Failed,  // the printer could not be started, or a page not added
};

using Entry = Outcome (*)(const Job& job);

// The printer's document name for a title: the title without the full
// stops (and blanks) that end it. The print dialog offers the name with
// ".pdf" added as the file to print to, and "SMITH, Charles H..pdf" has a
// dot too many.
inline QString DocumentName(const QString& title) {
    qsizetype end = title.size();
    while (end > 0 && (title.at(end - 1) == QLatin1Char('.') || title.at(end - 1).isSpace())) --end;
    return end > 0 ? title.left(end) : title;
}

}  // namespace print_module
