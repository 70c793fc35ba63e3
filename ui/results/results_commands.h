#pragma once
// CResultsCommands: what the viewer does with what a search found: copy
// the rows of the page, a record or a person's citation, export every hit
// to CSV, export a person or every hit to a family-tree file, print a record
// or every hit. It works on the search session and the row the caller
// names as selected; it reads through the session's operations (the data-
// disk check included) and shows their messages. The citation and the
// family-tree export also take people found elsewhere (a list of people, or
// one), so that any window that finds people offers them. The file and print
// dialogs and the day of consultation are seams that the tests replace.

#include <functional>
#include <string>
#include <vector>

#include <QString>

#include "browse/export/calendar_date.h"
#include "browse/session/search_session.h"
#include "ui/print/print_module.h"

class CDirectories;
class QPrinter;
class QWidget;
struct CitationContext;
struct ExportedHit;
struct FoundPerson;

class CResultsCommands {
public:
    // What asks for the export file (the path suggested in, the one chosen
    // or empty out), and what runs the print dialog on a printer (true to
    // print; by default Qt's print dialog, in the print module).
    using SaveFileAsker = std::function<QString(QWidget* parent, const QString& suggested)>;
    using PrintDialogRunner = std::function<bool(QPrinter& printer, QWidget* parent)>;
    // What day it is, for citations and family-tree files.
    using Clock = std::function<CalendarDate()>;
    // People taken one at a time (visit returns false to stop), and whether
    // they could all be read: the form of CSearchSession::ForEachPerson.
    using PeopleWalk = std::function<SearchOutcome(const std::function<bool(const FoundPerson&)>& visit)>;
    // Writes a whole file through write (false: it could not be written,
    // which ends the walk), and whether everything could be read.
    using FileWalk = std::function<SearchOutcome(const std::function<bool(const std::string&)>& write)>;

    // window: the parent of the dialogs. closed: true once the window has
    // been closed while a dialog of a command waited; the command then stops.
    CResultsCommands(CSearchSession& session, const CDirectories& dirs, QWidget* window,
                     std::function<bool()> closed);

    void SetSaveFileAsker(SaveFileAsker asker) { saveFileAsker_ = std::move(asker); }
    void SetPrintDialogRunner(PrintDialogRunner runner) { printDialogRunner_ = std::move(runner); }
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    // Where the export's save dialog starts: the user's documents folder, else home.
    static QString DefaultExportFolder();

    // The text that Copy puts on the clipboard: row, or every row of the
    // page when it is -1, as tab-separated lines (surname, given names,
    // summary); empty without rows.
    QString RowsCopyText(int row) const;
    void CopyRows(int row);
    // The row's More Info title and full text.
    void CopyRecord(int row);
    // What Copy record puts on the clipboard: the title, a blank line, the text.
    static QString RecordCopyText(const QString& title, const QString& fullText);
    // Every hit of the search shown into a CSV file that the user names.
    void ExportResults();
    // The person's citation (full note, short note, source-list entry, one
    // a line) onto the clipboard; the row's person's.
    void CopyCitation(const FoundPerson& person);
    void CopyCitationOfRow(int row);
    // People into a GEDCOM file that the user names (name: the file name
    // offered, without its extension), written as they are read; refused
    // on the data disk. The row's person; every hit of the search shown.
    // parent: the window the file dialog opens over (null: the main window).
    void ExportFamilyTree(const PeopleWalk& people, const QString& name, QWidget* parent = nullptr);
    void ExportFamilyTree(const std::vector<FoundPerson>& people, const QString& name,
                          QWidget* parent = nullptr);
    // A CSV file that the user names, written by write as it reads; refused
    // on the data disk; a failure or a cancel leaves what was there before.
    void ExportCsv(const FileWalk& write, const QString& name, QWidget* parent);
    void ExportRowToFamilyTree(int row);
    void ExportResultsToFamilyTree();
    // The row's record, and every hit as a list, through the print dialog.
    void PrintRecord(int row);
    void PrintResults();
    // A record already read (its More Info title and CR LF full text) of
    // database code (0: that of the search shown), through the print
    // dialog, which opens over parent.
    void PrintRecordText(const QString& title, const QString& fullText, QWidget* parent, int code = 0);
    // A list of people made elsewhere, through the print dialog over parent.
    void PrintResultList(const print_documents::Results& results, QWidget* parent);

    // The row's More Info title and full text; false without such a row,
    // or after the messages when it could not be read.
    bool ReadRecord(int row, QString& title, QString& fullText);

private:
    // Every hit of the search shown (all pages, after the first-name
    // filter); false without hits, or after the messages when the disk or a
    // record could not be read.
    bool CollectShownHits(std::vector<ExportedHit>& hits);
    // Runs the print dialog, then prints the job's document on the printer
    // it set up; says so when printing failed or the module is missing.
    void PrintThroughDialog(print_module::Job job);
    // The print module's entry point, loaded at the first print; null after
    // saying why when it cannot be.
    print_module::Entry PrintEntry();
    // The person of a row of the page; false without one, or after the messages.
    bool ReadPersonOfRow(int row, FoundPerson& person);
    // What the disk says of itself, and today: what a citation names besides the person.
    SearchOutcome ReadCitationContext(CitationContext& context);
    // The file the user names for an export, offered as name.suffix in the
    // export folder; empty when none was named, the window went, or it
    // would be written on the data disk (which is said).
    QString AskExportPath(QString name, const QString& suffix, QWidget* parent);
    // Writes the file at path through write; says why when it could not be written.
    void WriteExport(const QString& path, const FileWalk& write);
    // True, after saying so, when path would be written on the data disk.
    bool RefusedOnDataDisk(const QString& path) const;
    QString DatabaseTitle() const;

    CSearchSession& session_;
    const CDirectories& dirs_;
    QWidget* window_;
    std::function<bool()> closed_;
    SaveFileAsker saveFileAsker_;
    PrintDialogRunner printDialogRunner_;
    print_module::Entry printEntry_ = nullptr;
    Clock clock_;
};
