#include "ui/results/results_commands.h"

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
#include "browse/export/hit_export.h"
#include "browse/record_text/search_messages.h"
#include "browse/session/search_session.h"
#include "store/catalogue.h"
#include "store/directories.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/tell_user.h"
#include "ui/print/print_documents.h"
#include "ui/results/record_text.h"
#include "ui/results/result_page.h"

namespace {

// A piece of a row on one line of its own: its tabs and line breaks become blanks.
QString OneLine(const char* text) {
    QString line = cp1252::ToQString(text);
    for (QChar& c : line) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    }
    return line;
}

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

CResultsCommands::CResultsCommands(CSearchSession& session, const CDirectories& dirs, QWidget* window,
                                   std::function<bool()> closed)
    : session_(session),
      dirs_(dirs),
      window_(window),
      closed_(std::move(closed)),
      saveFileAsker_(&AskSaveFileName),
      clock_(&calendar_date::Today) {}

QString CResultsCommands::DefaultExportFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

QString CResultsCommands::DatabaseTitle() const {
    return cp1252::ToQString(catalogue::TitleOfCode(session_.Database().DatabaseCode()));
}

bool CResultsCommands::RefusedOnDataDisk(const QString& path) const {
    if (!LiesIn(path, QString::fromLocal8Bit(dirs_.DataDir()))) return false;
    Say(search_messages::RefusedOnDataDisk(Bytes(QFileInfo(path).fileName())));
    return true;
}

QString CResultsCommands::RowsCopyText(int row) const {
    const int rows = session_.RowsOnPage();
    if (rows <= 0) return QString();
    const CResultPager& pager = session_.Pager();
    const bool one = row >= 0 && row < rows;
    QString text;
    for (int i = one ? row : 0; i < (one ? row + 1 : rows); ++i) {
        const PageRow& page = pager.Row(i);
        text += OneLine(pager.Surname()) + QLatin1Char('\t') + OneLine(page.givenNames) + QLatin1Char('\t') +
                OneLine(page.summary) + QLatin1Char('\n');
    }
    return text;
}

void CResultsCommands::CopyRows(int row) {
    const QString text = RowsCopyText(row);
    // Nothing to copy leaves the clipboard as it was.
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

bool CResultsCommands::ReadRecord(int row, QString& title, QString& fullText) {
    const RecordOutcome record = session_.FullText(row);
    if (closed_()) return false;
    TellUser(record);
    if (closed_() || record.status != SearchStatus::Found) return false;
    title = cp1252::ToQString(record.title.c_str());
    fullText = cp1252::ToQString(record.text.c_str());
    return true;
}

QString CResultsCommands::RecordCopyText(const QString& title, const QString& fullText) {
    QString copied = title + QStringLiteral("\n\n") + record_text::Lines(fullText);
    if (!copied.endsWith(QLatin1Char('\n'))) copied += QLatin1Char('\n');
    return copied;
}

void CResultsCommands::CopyRecord(int row) {
    QString title, text;
    if (ReadRecord(row, title, text)) QGuiApplication::clipboard()->setText(RecordCopyText(title, text));
}

bool CResultsCommands::CollectShownHits(std::vector<ExportedHit>& hits) {
    const SearchOutcome outcome = session_.CollectHits(hits);
    if (closed_()) return false;
    TellUser(outcome);
    return !closed_() && outcome.status == SearchStatus::Found;
}

QString CResultsCommands::AskExportPath(QString name, const QString& suffix, QWidget* parent) {
    const QString suggested = QDir(DefaultExportFolder()).filePath(FileNameOf(std::move(name)) + suffix);
    const QString path = saveFileAsker_(parent != nullptr ? parent : window_, suggested);
    if (path.isEmpty() || closed_() || RefusedOnDataDisk(path)) return QString();
    return path;
}

void CResultsCommands::ExportResults() {
    std::vector<ExportedHit> hits;
    if (!CollectShownHits(hits)) return;
    const std::string csv = hit_export::AsCsv(session_.Database().DatabaseCode(), hits);

    const QString path =
        AskExportPath(cp1252::ToQString(session_.Pager().Surname()), QStringLiteral(".csv"), nullptr);
    if (path.isEmpty()) return;
    // Written beside the file and then renamed over it: a failure leaves
    // whatever was there before.
    QSaveFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly) &&
        file.write(csv.data(), static_cast<qint64>(csv.size())) == static_cast<qint64>(csv.size()) &&
        file.commit();
    if (!written) {
        const QString reason = file.errorString();
        file.cancelWriting();
        Say(search_messages::ResultsNotWritten(Bytes(path), Bytes(reason)));
    }
}

bool CResultsCommands::ReadPersonOfRow(int row, FoundPerson& person) {
    // No row, no disk check.
    if (row < 0 || row >= session_.RowsOnPage()) return false;
    const SearchOutcome found = session_.PersonOfRow(row, person);
    if (closed_()) return false;
    TellUser(found);
    return !closed_() && found.status == SearchStatus::Found && person.code != 0;
}

SearchOutcome CResultsCommands::ReadCitationContext(CitationContext& context) {
    context.date = clock_();
    return session_.ReadDiskLabel(context.disk);
}

void CResultsCommands::CopyCitation(const FoundPerson& person) {
    CitationContext context;
    const SearchOutcome labelled = ReadCitationContext(context);
    TellUser(labelled);
    if (closed_() || !labelled.Done()) return;
    const Citation cited = citation::Of(person, context);
    QString text;
    for (const std::string* line : {&cited.fullNote, &cited.shortNote, &cited.sourceListEntry})
        text += cp1252::ToQString(line->c_str()) + QLatin1Char('\n');
    QGuiApplication::clipboard()->setText(text);
}

void CResultsCommands::CopyCitationOfRow(int row) {
    FoundPerson person;
    if (ReadPersonOfRow(row, person)) CopyCitation(person);
}

void CResultsCommands::WriteExport(const QString& path, const FileWalk& write) {
    // Written beside the file as the people are read, then renamed over it:
    // a failure, a cancel or an unreadable record leaves what was there before.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        Say(search_messages::ResultsNotWritten(Bytes(path), Bytes(file.errorString())));
        return;
    }
    bool writeFailed = false;
    const SearchOutcome walked = write([&file, &writeFailed](const std::string& piece) {
        writeFailed =
            file.write(piece.data(), static_cast<qint64>(piece.size())) != static_cast<qint64>(piece.size());
        return !writeFailed;
    });
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
    }
}

void CResultsCommands::ExportCsv(const FileWalk& write, const QString& name, QWidget* parent) {
    const QString path = AskExportPath(name, QStringLiteral(".csv"), parent);
    if (!path.isEmpty()) WriteExport(path, write);
}

void CResultsCommands::ExportFamilyTree(const PeopleWalk& people, const QString& name, QWidget* parent) {
    const QString path = AskExportPath(name, QStringLiteral(".ged"), parent);
    if (path.isEmpty()) return;
    WriteExport(path, [&](const std::function<bool(const std::string&)>& write) {
        // The file is begun with the first person, once the disk is known to be
        // there (the walk has asked for it), with what the disk says of itself.
        std::optional<CGedcomWriter> writer;
        SearchOutcome labelled;
        const SearchOutcome walked = people([&](const FoundPerson& person) {
            if (!writer.has_value()) {
                CitationContext context;
                labelled = ReadCitationContext(context);
                if (!labelled.Done()) return false;
                writer.emplace(context, write);
            }
            return writer->Add(person);
        });
        if (!walked.Done()) return walked;
        if (!labelled.Done()) return labelled;
        if (!writer.has_value()) return SearchOutcome{SearchStatus::Cancelled, {}, {}};
        // A sink that failed ends the file as it stands: WriteExport says so.
        writer->Finish();
        return walked;
    });
}

void CResultsCommands::ExportFamilyTree(const std::vector<FoundPerson>& people, const QString& name,
                                        QWidget* parent) {
    ExportFamilyTree(
        [&people](const std::function<bool(const FoundPerson&)>& visit) {
            for (const FoundPerson& person : people) {
                if (!visit(person)) break;
            }
            return SearchOutcome{SearchStatus::Found, {}, {}};
        },
        name, parent);
}

void CResultsCommands::ExportRowToFamilyTree(int row) {
    FoundPerson person;
    if (!ReadPersonOfRow(row, person)) return;
    ExportFamilyTree(std::vector<FoundPerson>{person}, cp1252::ToQString(person.surname.c_str()) +
                                                           QLatin1Char(' ') +
                                                           cp1252::ToQString(person.givenNames.c_str()));
}

void CResultsCommands::ExportResultsToFamilyTree() {
    if (session_.RecordCount() <= 0) return;
    ExportFamilyTree(
        [this](const std::function<bool(const FoundPerson&)>& visit) {
            return session_.ForEachPerson(visit);
        },
        cp1252::ToQString(session_.Pager().Surname()));
}

print_module::Entry CResultsCommands::PrintEntry() {
    if (printEntry_ != nullptr) return printEntry_;
    QLibrary module(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                    QLatin1String(print_module::kFileName));
    printEntry_ = reinterpret_cast<print_module::Entry>(module.resolve(print_module::kEntryName));
    if (printEntry_ == nullptr) Say("Printing is not available: " + Bytes(module.errorString()));
    return printEntry_;
}

void CResultsCommands::PrintThroughDialog(print_module::Job job) {
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

void CResultsCommands::PrintRecordText(const QString& title, const QString& fullText, QWidget* parent,
                                       int code) {
    print_documents::Record record;
    record.title = title;
    record.database = code != 0 ? cp1252::ToQString(catalogue::TitleOfCode(code)) : DatabaseTitle();
    record.text = record_text::Lines(fullText);
    print_module::Job job;
    job.parent = parent;
    job.documentName = title;
    job.record = &record;
    PrintThroughDialog(std::move(job));
}

void CResultsCommands::PrintRecord(int row) {
    QString title, text;
    if (ReadRecord(row, title, text)) PrintRecordText(title, text, window_);
}

void CResultsCommands::PrintResultList(const print_documents::Results& results, QWidget* parent) {
    print_module::Job job;
    job.parent = parent;
    job.documentName = results.heading;
    job.results = &results;
    PrintThroughDialog(std::move(job));
}

void CResultsCommands::PrintResults() {
    std::vector<ExportedHit> hits;
    if (!CollectShownHits(hits)) return;

    print_documents::Results results;
    const QString surname = cp1252::ToQString(session_.Pager().Surname()).trimmed();
    results.heading = QStringLiteral("%1 in %2").arg(surname, DatabaseTitle());
    ResultPage counted;
    counted.count = static_cast<long>(session_.RecordCount());
    results.subheading = counted.CountText();
    const CSearchQuery& query = session_.Query();
    if (query.HasFirstName()) {
        results.subheading.chop(1);
        results.subheading +=
            QStringLiteral(", given names beginning with %1%2.")
                .arg(cp1252::ToQString(query.FirstName()).trimmed(),
                     session_.Pager().FilterKeptVariants() ? QStringLiteral(" or a variant of it")
                                                           : QString());
    }
    results.rows.reserve(hits.size());
    for (const ExportedHit& hit : hits) {
        results.rows.push_back(
            {OneLine(hit.surname.c_str()), OneLine(hit.givenNames.c_str()), OneLine(hit.summary.c_str())});
    }
    PrintResultList(results, window_);
}
