#include "ui/results_commands.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QStandardPaths>

#include "browse/hit_export.h"
#include "browse/search_messages.h"
#include "browse/search_session.h"
#include "store/catalogue.h"
#include "store/directories.h"
#include "ui/cp1252_qt.h"
#include "ui/print_documents.h"
#include "ui/record_text.h"
#include "ui/result_page.h"
#include "ui/tell_user.h"

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
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Export Results"), suggested,
                                        QStringLiteral("CSV files (*.csv);;All files (*)"));
}

bool RunPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

CResultsCommands::CResultsCommands(CSearchSession& session, const CDirectories& dirs, QWidget* window,
                                   std::function<bool()> closed)
    : session_(session),
      dirs_(dirs),
      window_(window),
      closed_(std::move(closed)),
      saveFileAsker_(&AskSaveFileName),
      printDialogRunner_(&RunPrintDialog) {}

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

void CResultsCommands::CopyRecord(int row) {
    QString title, text;
    if (!ReadRecord(row, title, text)) return;
    QString copied = title + QStringLiteral("\n\n") + record_text::Lines(text);
    if (!copied.endsWith(QLatin1Char('\n'))) copied += QLatin1Char('\n');
    QGuiApplication::clipboard()->setText(copied);
}

bool CResultsCommands::CollectShownHits(std::vector<ExportedHit>& hits) {
    const SearchOutcome outcome = session_.CollectHits(hits);
    if (closed_()) return false;
    TellUser(outcome);
    return !closed_() && outcome.status == SearchStatus::Found;
}

void CResultsCommands::ExportResults() {
    std::vector<ExportedHit> hits;
    if (!CollectShownHits(hits)) return;
    const std::string csv = hit_export::AsCsv(session_.Database().DatabaseCode(), hits);

    QString name = cp1252::ToQString(session_.Pager().Surname()).trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    if (name.isEmpty()) name = QStringLiteral("results");
    const QString suggested = QDir(DefaultExportFolder()).filePath(name + QStringLiteral(".csv"));
    const QString path = saveFileAsker_(window_, suggested);
    if (path.isEmpty() || closed_()) return;
    if (RefusedOnDataDisk(path)) return;
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

void CResultsCommands::PrintThroughDialog(QWidget* parent, const QString& documentName,
                                          const std::function<bool(QPrinter&)>& print) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    if (!printDialogRunner_(printer, parent) || closed_()) return;
    // Printed to a file (PDF): never onto the data disk.
    if (!printer.outputFileName().isEmpty() && RefusedOnDataDisk(printer.outputFileName())) return;
    if (!print(printer)) Say(search_messages::NotPrinted(Bytes(documentName)));
}

void CResultsCommands::PrintRecordText(const QString& title, const QString& fullText, QWidget* parent) {
    print_documents::Record record;
    record.title = title;
    record.database = DatabaseTitle();
    record.text = record_text::Lines(fullText);
    PrintThroughDialog(parent, title, [&record](QPrinter& printer) {
        return print_documents::PrintRecord(printer, record);
    });
}

void CResultsCommands::PrintRecord(int row) {
    QString title, text;
    if (ReadRecord(row, title, text)) PrintRecordText(title, text, window_);
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
        results.subheading += QStringLiteral(", given names beginning with %1.")
                                  .arg(cp1252::ToQString(query.FirstName()).trimmed());
    }
    results.rows.reserve(hits.size());
    for (const ExportedHit& hit : hits) {
        results.rows.push_back(
            {OneLine(hit.surname.c_str()), OneLine(hit.givenNames.c_str()), OneLine(hit.summary.c_str())});
    }
    PrintThroughDialog(window_, results.heading, [&results](QPrinter& printer) {
        return print_documents::PrintResults(printer, results);
    });
}
