#include "ui/results/people_commands.h"

#include <optional>

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibrary>
#include <QSaveFile>
#include <QStandardPaths>

#include "browse/export/citation.h"
#include "browse/export/gedcom_writer.h"
#include "browse/export/printed_record.h"
#include "browse/record_text/search_messages.h"
#include "browse/same_person/same_people.h"
#include "store/database_about.h"
#include "store/directories.h"
#include "store/disk_label.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/database_title.h"
#include "ui/common/tell_user.h"
#include "ui/results/record_text.h"

namespace {

std::string Bytes(const QString& text) { return cp1252::FromQString(text).toStdString(); }

void Say(const std::string& text) { platform::Tell({text}); }

// Whether path lies in folder (both as they are on the disk, links resolved).
bool LiesIn(const QString& path, const QString& folder) {
    const QString inside = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    const QString root = QDir(folder).canonicalPath();
    if (inside.isEmpty() || root.isEmpty()) return false;
    return inside == root ||
           inside.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

QString AskSaveFileName(QWidget* parent, const QString& suggested) {
    // The kind of file offered decides the dialog's caption and filter.
    if (suggested.endsWith(QLatin1String(".ged"))) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Export to Family Tree"), suggested,
                                            QStringLiteral("GEDCOM files (*.ged);;All files (*)"));
    }
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Export Results"), suggested,
                                        QStringLiteral("CSV files (*.csv);;All files (*)"));
}

// A file name made of a person's or a search's name.
QString FileNameOf(QString name) {
    name = name.simplified();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    return name.isEmpty() ? QStringLiteral("results") : name;
}

}  // namespace

CPeopleCommands::CPeopleCommands(const CDirectories& dirs, QWidget* window, std::function<bool()> closed)
    : dirs_(dirs),
      window_(window),
      closed_(std::move(closed)),
      saveFileAsker_(&AskSaveFileName),
      clock_(&calendar_date::Today) {}

QString CPeopleCommands::DefaultExportFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

QString CPeopleCommands::RecordCopyText(const QString& title, const QString& fullText) {
    QString copied = title + QStringLiteral("\n\n") + record_text::Lines(fullText);
    if (!copied.endsWith(QLatin1Char('\n'))) copied += QLatin1Char('\n');
    return copied;
}

bool CPeopleCommands::RefusedOnDataDisk(const QString& path) const {
    if (!LiesIn(path, QString::fromLocal8Bit(dirs_.DataDir()))) return false;
    Say(search_messages::RefusedOnDataDisk(Bytes(QFileInfo(path).fileName())));
    return true;
}

SearchOutcome CPeopleCommands::ReadCitationContext(CitationContext& context) {
    context.date = clock_();
    SearchOutcome outcome;
    outcome.error = ReadDiskLabel(dirs_, context.disk);
    if (!outcome.error.Failed()) {
        outcome.status = SearchStatus::Found;
        return outcome;
    }
    outcome.status = SearchStatus::Failed;
    outcome.messages.push_back(search_messages::MessageOf(outcome.error));
    return outcome;
}

SearchOutcome CPeopleCommands::ReadProvenance(int code, std::vector<ProvenanceEntry>& provenance) {
    SearchOutcome outcome;
    outcome.error = ReadDatabaseProvenance(dirs_, code, provenance);
    outcome.status = outcome.error.Failed() ? SearchStatus::Failed : SearchStatus::Found;
    if (outcome.error.Failed()) outcome.messages.push_back(search_messages::MessageOf(outcome.error));
    return outcome;
}

std::vector<ProvenanceEntry> CPeopleCommands::ProvenanceOrNone(int code) {
    std::vector<ProvenanceEntry> provenance;
    const SearchOutcome read = ReadProvenance(code, provenance);
    if (!read.Done()) {
        TellUser(read);
        provenance.clear();
    }
    return provenance;
}

WholeRecordText CPeopleCommands::WholeRecordOf(const FoundPerson& person, const QString& title) {
    return WholeRecordTextOf(title, person, ProvenanceOrNone(person.code));
}

void CPeopleCommands::CopyCitation(const FoundPerson& person) {
    CitationContext context;
    SearchOutcome labelled = ReadCitationContext(context);
    // The record set is named as the disk's provenance of the database names it.
    if (labelled.Done()) labelled = ReadProvenance(person.code, context.provenance[person.code]);
    TellUser(labelled);
    if (closed_() || !labelled.Done()) return;
    const Citation cited = citation::Of(person, context);
    QString text;
    for (const std::string* line : {&cited.fullNote, &cited.shortNote, &cited.sourceListEntry})
        text += cp1252::ToQString(line->c_str()) + QLatin1Char('\n');
    QGuiApplication::clipboard()->setText(text);
}

QString CPeopleCommands::AskExportPath(QString name, const QString& suffix, QWidget* parent) {
    const QString folder = exportFolderOf_ ? exportFolderOf_(DefaultExportFolder()) : DefaultExportFolder();
    const QString suggested = QDir(folder).filePath(FileNameOf(std::move(name)) + suffix);
    const QString path = saveFileAsker_(parent != nullptr ? parent : window_, suggested);
    if (path.isEmpty() || closed_() || RefusedOnDataDisk(path)) return QString();
    if (exportChosen_) exportChosen_(path);
    return path;
}

void CPeopleCommands::WriteExport(const QString& path, const CountedFileWalk& write) {
    // Written beside the file as the people are read, then renamed over it:
    // a failure, a cancel or an unreadable record leaves what was there before.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        Say(search_messages::ResultsNotWritten(Bytes(path), Bytes(file.errorString())));
        return;
    }
    bool writeFailed = false;
    const WrittenFile written = write([&file, &writeFailed](const std::string& piece) {
        writeFailed =
            file.write(piece.data(), static_cast<qint64>(piece.size())) != static_cast<qint64>(piece.size());
        return !writeFailed;
    });
    const SearchOutcome& walked = written.walked;
    if (closed_()) return;
    TellUser(walked);
    if (closed_() || (!walked.Done() && !writeFailed)) {
        file.cancelWriting();
        return;
    }
    if (writeFailed || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        Say(search_messages::ResultsNotWritten(Bytes(path), Bytes(reason)));
        return;
    }
    // Said in a box over the window that exported, which screen readers read out.
    const std::string saved =
        search_messages::PeopleSaved(written.people, Bytes(QDir::toNativeSeparators(path)));
    platform::ShowMessageBox(saved.c_str(), platform::kAppTitle, platform::MessageButtons::Ok,
                             platform::MessageIcon::Information, "");
}

void CPeopleCommands::ExportCsv(const FileWalk& write, const QString& name, QWidget* parent, long people) {
    const QString path = AskExportPath(name, QStringLiteral(".csv"), parent);
    if (path.isEmpty()) return;
    WriteExport(path, [&write, people](const std::function<bool(const std::string&)>& sink) {
        return WrittenFile{write(sink), people};
    });
}

void CPeopleCommands::ExportFamilyTree(const PeopleWalk& people, const QString& name, QWidget* parent,
                                       const NoteOf& noteOf) {
    const QString path = AskExportPath(name, QStringLiteral(".ged"), parent);
    if (path.isEmpty()) return;
    WriteExport(path, [&](const std::function<bool(const std::string&)>& write) -> WrittenFile {
        long added = 0;
        // The file is begun with the first person, once the disk is known to be
        // there (the walk has asked for it), with what the disk says of itself.
        std::optional<CGedcomWriter> writer;
        // A person confirmed the same as other records is written once, with
        // them; what that says (a log that cannot be read, a record gone) is
        // said with the walk's messages, before the file is said saved.
        same_person::CSamePeople samePeople(dirs_);
        std::vector<std::string> notes;
        SearchOutcome labelled;
        auto named = [&](int code) {
            // Each database's source is named as the disk's provenance names it.
            if (writer->HasProvenance(code)) return true;
            std::vector<ProvenanceEntry> provenance;
            labelled = ReadProvenance(code, provenance);
            if (!labelled.Done()) return false;
            writer->AddProvenance(code, std::move(provenance));
            return true;
        };
        const SearchOutcome walked = people([&](const FoundPerson& person) {
            if (!writer.has_value()) {
                CitationContext context;
                labelled = ReadCitationContext(context);
                if (!labelled.Done()) return false;
                const same_person::VerdictsRead read = samePeople.Load();
                notes = read.messages;
                if (read.Failed()) {
                    labelled = SearchOutcome{SearchStatus::Failed, read.error, std::move(notes), {}};
                    return false;
                }
                writer.emplace(context, write);
            }
            same_person::SameRecords same = samePeople.RecordsWith(person);
            if (same.Failed()) {
                labelled = SearchOutcome{SearchStatus::Failed, same.error, std::move(notes), {}};
                labelled.messages.insert(labelled.messages.end(), same.messages.begin(), same.messages.end());
                return false;
            }
            notes.insert(notes.end(), same.messages.begin(), same.messages.end());
            if (!same.write) return true;
            if (!named(person.code)) return false;
            for (const FoundPerson& record : same.same) {
                if (!named(record.code)) return false;
            }
            ++added;
            return writer->Add(person, same.same, noteOf ? noteOf(person) : std::string());
        });
        if (!walked.Done()) return {walked, added};
        if (!labelled.Done()) return {labelled, added};
        if (!writer.has_value()) return {SearchOutcome{SearchStatus::Cancelled, {}, {}, {}}, added};
        // A sink that failed ends the file as it stands: WriteExport says so.
        writer->Finish();
        SearchOutcome said = walked;
        said.messages.insert(said.messages.begin(), notes.begin(), notes.end());
        return {said, added};
    });
}

void CPeopleCommands::ExportFamilyTree(const std::vector<FoundPerson>& people, const QString& name,
                                       QWidget* parent, const NoteOf& noteOf) {
    ExportFamilyTree(
        [&people](const std::function<bool(const FoundPerson&)>& visit) {
            for (const FoundPerson& person : people) {
                if (!visit(person)) break;
            }
            return SearchOutcome{SearchStatus::Found, {}, {}, {}};
        },
        name, parent, noteOf);
}

print_module::Entry CPeopleCommands::PrintEntry() {
    if (printEntry_ != nullptr) return printEntry_;
    QLibrary module(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                    QLatin1String(print_module::kFileName));
    printEntry_ = reinterpret_cast<print_module::Entry>(module.resolve(print_module::kEntryName));
    if (printEntry_ == nullptr) Say("Printing is not available: " + Bytes(module.errorString()));
    return printEntry_;
}

void CPeopleCommands::PrintThroughDialog(print_module::Job job) {
    const print_module::Entry print = PrintEntry();
    if (print == nullptr) return;
    job.runDialog = printDialogRunner_;
    // Printed to a file (PDF): never onto the data disk.
    job.mayPrint = [this](const QString& file) {
        return !closed_() && (file.isEmpty() || !RefusedOnDataDisk(file));
    };
    if (print(job) == print_module::Outcome::Failed)
        Say(search_messages::NotPrinted(Bytes(job.documentName)));
}

void CPeopleCommands::PrintRecordText(const QString& title, const QString& fullText, QWidget* parent,
                                      int code, const WholeRecordText* whole) {
    print_documents::Record record;
    record.title = title;
    record.database = DatabaseTitle(code);
    record.text = record_text::Lines(fullText);
    if (whole != nullptr) record.whole = whole->lines;
    record.printed = cp1252::ToQString(printed_record::PrintedOn(clock_()).c_str());
    print_module::Job job;
    job.parent = parent;
    job.documentName = title;
    job.record = &record;
    PrintThroughDialog(std::move(job));
}

void CPeopleCommands::PrintText(const QString& title, const QString& heading, const QString& text,
                                QWidget* parent) {
    print_documents::Record record;
    record.title = title;
    record.database = heading;
    // A report's lines end in line feeds (or CR LF): each is printed as a
    // line of its own, where a record's full text would join them.
    record.text = text;
    record.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    record.printed = cp1252::ToQString(printed_record::PrintedOn(clock_()).c_str());
    print_module::Job job;
    job.parent = parent;
    job.documentName = title;
    job.record = &record;
    PrintThroughDialog(std::move(job));
}

void CPeopleCommands::PrintResultList(print_documents::Results results, const std::set<int>& codes,
                                      QWidget* parent) {
    for (int code : codes) {
        const std::vector<ProvenanceEntry> provenance = ProvenanceOrNone(code);
        if (closed_()) return;
        if (!provenance.empty())
            results.sources.emplace_back(DatabaseTitle(code), ProvenanceLinesOf(provenance));
    }
    results.printed = cp1252::ToQString(printed_record::PrintedOn(clock_()).c_str());
    print_module::Job job;
    job.parent = parent != nullptr ? parent : window_;
    job.documentName = results.heading;
    job.results = &results;
    PrintThroughDialog(std::move(job));
}
