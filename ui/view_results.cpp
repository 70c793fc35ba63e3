// The search view's commands on what a search found: copy, export and print.

#include <string>
#include <vector>

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
#include "browse/more_info_title.h"
#include "browse/result_pager.h"
#include "browse/search_messages.h"
#include "browse/search_session.h"
#include "platform/message_box.h"
#include "store/catalogue.h"
#include "store/directories.h"
#include "ui/cp1252_qt.h"
#include "ui/print_documents.h"
#include "ui/record_text.h"
#include "ui/view_view.h"

namespace {

// A piece of a row on one line of its own: its tabs and line breaks become blanks.
QString OneLine(const char* text) {
    QString line = cp1252::ToQString(text);
    for (QChar& c : line) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    }
    return line;
}

void Complain(const QString& text) { platform::Tell({cp1252::FromQString(text).toStdString()}); }

QString DatabaseTitleOf(int code) { return cp1252::ToQString(catalogue::TitleOfCode(code)); }

// Whether path lies in folder (both as they are on the disk, links resolved).
bool LiesIn(const QString& path, const QString& folder) {
    const QString inside = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    const QString root = QDir(folder).canonicalPath();
    if (inside.isEmpty() || root.isEmpty()) return false;
    return inside == root ||
           inside.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

// True, after saying so, when path would be written on the data disk.
bool RefusedOnDataDisk(const QString& path, const char* dataDir) {
    if (!LiesIn(path, QString::fromLocal8Bit(dataDir))) return false;
    Complain(QStringLiteral("Chronara writes nothing on the data disk. Choose a folder of your own for %1.")
                 .arg(QFileInfo(path).fileName()));
    return true;
}

}  // namespace

QString CViewView::RowsCopyText() const {
    const int rows = RowsOnPage();
    if (session_ == nullptr || rows == 0) return QString();
    const CResultPager& pager = session_->Pager();
    const bool one = selectedRow_ >= 0 && selectedRow_ < rows;
    QString text;
    for (int row = one ? selectedRow_ : 0; row < (one ? selectedRow_ + 1 : rows); ++row) {
        const PageRow& page = pager.Row(row);
        text += OneLine(pager.Surname()) + QLatin1Char('\t') + OneLine(page.givenNames) + QLatin1Char('\t') +
                OneLine(page.summary) + QLatin1Char('\n');
    }
    return text;
}

void CViewView::OnCopyRows() {
    const QString text = RowsCopyText();
    // Nothing to copy leaves the clipboard as it was.
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

bool CViewView::ReadSelectedRecord(QString& title, QString& fullText) {
    const RecordOutcome record = session_->FullText(selectedRow_);
    if (viewDestroyed_ || !Told(record) || record.status != SearchStatus::Found) return false;
    title = cp1252::ToQString(record.title.c_str());
    fullText = cp1252::ToQString(record.text.c_str());
    return true;
}

void CViewView::OnCopyRecord() {
    CommandScope scope(*this);
    QString title, text;
    if (!ReadSelectedRecord(title, text)) return;
    QString copied = title + QStringLiteral("\n\n") + record_text::Lines(text);
    if (!copied.endsWith(QLatin1Char('\n'))) copied += QLatin1Char('\n');
    QGuiApplication::clipboard()->setText(copied);
}

QString CViewView::AskSaveFileName(QWidget* parent, const QString& suggested) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Export Results"), suggested,
                                        QStringLiteral("CSV files (*.csv);;All files (*)"));
}

bool CViewView::RunPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

QString CViewView::DefaultExportFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

bool CViewView::CollectShownHits(std::vector<ExportedHit>& hits) {
    const SearchOutcome outcome = session_->CollectHits(hits);
    return !viewDestroyed_ && Told(outcome) && outcome.status == SearchStatus::Found;
}

void CViewView::OnExportResults() {
    CommandScope scope(*this);
    std::vector<ExportedHit> hits;
    if (!CollectShownHits(hits)) return;
    const int code = session_->Database().DatabaseCode();
    const std::string csv = hit_export::AsCsv(code, hits);

    QString name = cp1252::ToQString(session_->Pager().Surname()).trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    if (name.isEmpty()) name = QStringLiteral("results");
    const QString suggested = QDir(DefaultExportFolder()).filePath(name + QStringLiteral(".csv"));
    const QString path = saveFileAsker_(window(), suggested);
    if (path.isEmpty() || viewDestroyed_) return;
    if (RefusedOnDataDisk(path, Directories().DataDir())) return;
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
        Complain(QStringLiteral("The results could not be written to %1: %2.").arg(path, reason));
    }
}

void CViewView::PrintThroughDialog(QWidget* parent, const QString& documentName,
                                   const std::function<bool(QPrinter&)>& print) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    if (!printDialogRunner_(printer, parent) || viewDestroyed_) return;
    // Printed to a file (PDF): never onto the data disk.
    if (!printer.outputFileName().isEmpty() &&
        RefusedOnDataDisk(printer.outputFileName(), Directories().DataDir())) {
        return;
    }
    if (!print(printer)) Complain(QStringLiteral("%1 could not be printed.").arg(documentName));
}

void CViewView::PrintRecordText(const QString& title, const QString& fullText, QWidget* parent) {
    CommandScope scope(*this);
    print_documents::Record record;
    record.title = title;
    record.database = DatabaseTitleOf(session_->Database().DatabaseCode());
    record.text = record_text::Lines(fullText);
    PrintThroughDialog(parent, title, [&record](QPrinter& printer) {
        return print_documents::PrintRecord(printer, record);
    });
}

void CViewView::OnPrintRecord() {
    CommandScope scope(*this);
    QString title, text;
    if (ReadSelectedRecord(title, text)) PrintRecordText(title, text, window());
}

void CViewView::OnPrintResults() {
    CommandScope scope(*this);
    std::vector<ExportedHit> hits;
    if (!CollectShownHits(hits)) return;

    print_documents::Results results;
    const QString surname = cp1252::ToQString(session_->Pager().Surname()).trimmed();
    const QString database = DatabaseTitleOf(session_->Database().DatabaseCode());
    results.heading = QStringLiteral("%1 in %2").arg(surname, database);
    const CSearchQuery& query = session_->Query();
    results.subheading = CountText();
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
    PrintThroughDialog(window(), results.heading, [&results](QPrinter& printer) {
        return print_documents::PrintResults(printer, results);
    });
}
