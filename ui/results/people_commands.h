#pragma once
// CPeopleCommands: what the viewer does with people already read, wherever
// they were found: a person's citation onto the clipboard, people into a
// family-tree (GEDCOM) or CSV file, a record or a list of people through
// the print dialog. It needs the directories (the data disk, which it
// never writes on, and what the disk says of itself), not a search session:
// the main window's commands (CResultsCommands) and Find in Records both
// run through it. It shows its messages itself. The file and print dialogs
// and the day of consultation are seams that the tests replace.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include <QString>

#include "browse/export/calendar_date.h"
#include "browse/record_text/search_messages.h"
#include "browse/session/search_session.h"  // SearchOutcome
#include "ui/print/print_module.h"
#include "ui/results/whole_record_text.h"

class CDirectories;
class QPrinter;
class QWidget;
struct CitationContext;
struct FoundPerson;
struct ProvenanceEntry;

class CPeopleCommands {
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

    // window: the parent of the dialogs when the caller names none. closed:
    // true once the window has been closed while a dialog of a command
    // waited; the command then stops.
    CPeopleCommands(const CDirectories& dirs, QWidget* window, std::function<bool()> closed);

    void SetSaveFileAsker(SaveFileAsker asker) { saveFileAsker_ = std::move(asker); }
    void SetPrintDialogRunner(PrintDialogRunner runner) { printDialogRunner_ = std::move(runner); }
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    // Where the export's save dialog starts: the user's documents folder, else home.
    static QString DefaultExportFolder();
    // Where the save dialog starts instead (given the default), and what
    // hears of each file chosen, so that the next export starts in its folder.
    using ExportFolderOf = std::function<QString(const QString& fallback)>;
    using ExportChosen = std::function<void(const QString& path)>;
    void SetExportFolder(ExportFolderOf folder, ExportChosen chosen) {
        exportFolderOf_ = std::move(folder);
        exportChosen_ = std::move(chosen);
    }

    // What Copy record puts on the clipboard: the title, a blank line, the text.
    static QString RecordCopyText(const QString& title, const QString& fullText);
    // The person's citation (full note, short note, source-list entry, one
    // a line) onto the clipboard, naming the record set as the disk says
    // where its records came from.
    void CopyCitation(const FoundPerson& person);
    // The whole record of person under title (More Info's), with where the
    // records of its database came from; provenance that cannot be read is
    // said and left out.
    WholeRecordText WholeRecordOf(const FoundPerson& person, const QString& title);
    // People into a GEDCOM file that the user names (name: the file name
    // offered, without its extension), written as they are read; refused
    // on the data disk. Records the research log holds confirmed as one
    // person are written as one, with every record's events and citations
    // (same_person::CSamePeople); a log that cannot be read is said and the
    // file written without its verdicts. parent: the window the file dialog
    // opens over (null: the window's). noteOf: the researcher's own note on
    // a person (Windows-1252, empty for none), written among their notes.
    using NoteOf = std::function<std::string(const FoundPerson& person)>;
    void ExportFamilyTree(const PeopleWalk& people, const QString& name, QWidget* parent = nullptr,
                          const NoteOf& noteOf = NoteOf());
    void ExportFamilyTree(const std::vector<FoundPerson>& people, const QString& name,
                          QWidget* parent = nullptr, const NoteOf& noteOf = NoteOf());
    // The count of a file of other things than people, said without a count.
    static constexpr long kNoCount = search_messages::kNoPeopleCount;
    // A CSV file that the user names, written by write as it reads; refused
    // on the data disk; a failure or a cancel leaves what was there before.
    // people: how many the file holds once written, which is said then
    // (kNoCount: a file of other things).
    void ExportCsv(const FileWalk& write, const QString& name, QWidget* parent, long people);
    // A record read (its More Info title and CR LF full text) of database
    // code, with its whole record (null: none) and the day printed, through
    // the print dialog, which opens over parent.
    void PrintRecordText(const QString& title, const QString& fullText, QWidget* parent, int code,
                         const WholeRecordText* whole = nullptr);
    // A list of people (each row with its record), then where the records
    // of each database of codes (those of its people) came from and the day
    // printed, through the print dialog over parent (null: the window).
    void PrintResultList(print_documents::Results results, const std::set<int>& codes, QWidget* parent);
    // A text made elsewhere (a report), its lines ended by line feeds (or
    // CR LF), each printed as a line of its own, under title and heading,
    // through the print dialog over parent.
    void PrintText(const QString& title, const QString& heading, const QString& text, QWidget* parent);

private:
    // Runs the print dialog, then prints the job's document on the printer
    // it set up; says so when printing failed or the module is missing.
    void PrintThroughDialog(print_module::Job job);
    // The print module's entry point, loaded at the first print; null after
    // saying why when it cannot be.
    print_module::Entry PrintEntry();
    // What the disk says of itself, and today: what a citation names besides the person.
    SearchOutcome ReadCitationContext(CitationContext& context);
    // Where the records of database code came from, as the disk says.
    SearchOutcome ReadProvenance(int code, std::vector<ProvenanceEntry>& provenance);
    // The same, said when it cannot be read and then empty: a record or a
    // list is shown and printed without it.
    std::vector<ProvenanceEntry> ProvenanceOrNone(int code);
    // The file the user names for an export, offered as name.suffix in the
    // export folder; empty when none was named, the window went, or it
    // would be written on the data disk (which is said).
    QString AskExportPath(QString name, const QString& suffix, QWidget* parent);
    // What a counted walk did: whether everything could be read, and how
    // many people it wrote (kNoCount: a file of other things).
    struct WrittenFile {
        SearchOutcome walked;
        long people = kNoCount;
    };
    using CountedFileWalk = std::function<WrittenFile(const std::function<bool(const std::string&)>& write)>;
    // Writes the file at path through write; says why when it could not be
    // written, else how many people the walk says it holds.
    void WriteExport(const QString& path, const CountedFileWalk& write);
    // True, after saying so, when path would be written on the data disk.
    bool RefusedOnDataDisk(const QString& path) const;

    const CDirectories& dirs_;
    QWidget* window_;
    std::function<bool()> closed_;
    SaveFileAsker saveFileAsker_;
    PrintDialogRunner printDialogRunner_;
    print_module::Entry printEntry_ = nullptr;
    Clock clock_;
    ExportFolderOf exportFolderOf_;
    ExportChosen exportChosen_;
};
