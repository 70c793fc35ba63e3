#pragma once
// CResultsCommands: what the viewer does with what the main window's search
// found: copy the rows of the page, a record or a person's citation, export
// every hit to CSV, export a person or every hit to a family-tree file,
// print a record or every hit. It works on the search session and the row
// the caller names as selected; it reads through the session's operations
// (the data-disk check included) and shows their messages. What is done
// with the people once read (the files, the print dialog, the citation) is
// CPeopleCommands', which any window that finds people uses too (People()).

#include <functional>
#include <vector>

#include <QString>

#include "browse/session/search_session.h"
#include "ui/results/people_commands.h"

class CDirectories;
class QWidget;
struct ExportedHit;

class CResultsCommands {
public:
    using SaveFileAsker = CPeopleCommands::SaveFileAsker;
    using PrintDialogRunner = CPeopleCommands::PrintDialogRunner;
    using Clock = CPeopleCommands::Clock;

    // window: the parent of the dialogs. closed: true once the window has
    // been closed while a dialog of a command waited; the command then stops.
    CResultsCommands(CSearchSession& session, const CDirectories& dirs, QWidget* window,
                     std::function<bool()> closed);

    // The commands on people, which the seams below are set on.
    CPeopleCommands& People() { return people_; }
    void SetSaveFileAsker(SaveFileAsker asker) { people_.SetSaveFileAsker(std::move(asker)); }
    void SetPrintDialogRunner(PrintDialogRunner runner) { people_.SetPrintDialogRunner(std::move(runner)); }
    void SetClock(Clock clock) { people_.SetClock(std::move(clock)); }

    // The text that Copy puts on the clipboard: row, or every row of the
    // page when it is -1, as tab-separated lines (surname, given names,
    // summary); empty without rows.
    QString RowsCopyText(int row) const;
    void CopyRows(int row);
    // The row's More Info title and full text.
    void CopyRecord(int row);
    // Every hit of the search shown into a CSV file that the user names.
    void ExportResults();
    // The row's person's citation onto the clipboard.
    void CopyCitationOfRow(int row);
    // The row's person, and every hit of the search shown, into a family-tree file.
    void ExportRowToFamilyTree(int row);
    void ExportResultsToFamilyTree();
    // The row's record, and every hit as a list, through the print dialog.
    void PrintRecord(int row);
    void PrintResults();
    // A record of the search shown already read (its More Info title and
    // CR LF full text, its whole record: null, none), through the print
    // dialog, which opens over parent.
    void PrintRecordText(const QString& title, const QString& fullText, QWidget* parent,
                         const WholeRecordText* whole = nullptr);

    // The row's More Info title and full text; false without such a row,
    // or after the messages when it could not be read.
    bool ReadRecord(int row, QString& title, QString& fullText);
    // The whole record of the row's person under title (More Info's);
    // false without such a row, or after the messages when it could not be read.
    bool ReadWholeRecordOfRow(int row, const QString& title, WholeRecordText& whole);

private:
    // Every hit of the search shown (all pages, after the first-name
    // filter); false without hits, or after the messages when the disk or a
    // record could not be read.
    bool CollectShownHits(std::vector<ExportedHit>& hits);
    // The person of a row of the page; false without one, or after the messages.
    bool ReadPersonOfRow(int row, FoundPerson& person);
    int DatabaseCode() const;

    CSearchSession& session_;
    QWidget* window_;
    std::function<bool()> closed_;
    CPeopleCommands people_;
};
