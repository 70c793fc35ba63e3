#include "ui/results/results_commands.h"

#include <QClipboard>
#include <QGuiApplication>

#include "browse/export/hit_export.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/database_title.h"
#include "ui/common/tell_user.h"
#include "ui/print/print_documents.h"
#include "ui/results/result_page.h"
#include "ui/results/whole_record_text.h"

namespace {

// A piece of a row on one line of its own: its tabs and line breaks become blanks.
QString OneLine(const char* text) {
    QString line = cp1252::ToQString(text);
    for (QChar& c : line) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    }
    return line;
}

}  // namespace

CResultsCommands::CResultsCommands(CSearchSession& session, const CDirectories& dirs, QWidget* window,
                                   std::function<bool()> closed)
    : session_(session), window_(window), closed_(closed), people_(dirs, window, closed) {}

int CResultsCommands::DatabaseCode() const { return session_.Database().DatabaseCode(); }

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
    if (ReadRecord(row, title, text))
        QGuiApplication::clipboard()->setText(CPeopleCommands::RecordCopyText(title, text));
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
    // Read before the file is asked for: the file gets the whole text at once.
    const std::string csv = hit_export::AsCsv(DatabaseCode(), hits);
    people_.ExportCsv(
        [&csv](const std::function<bool(const std::string&)>& write) {
            write(csv);
            return SearchOutcome{SearchStatus::Found, {}, {}, {}};
        },
        cp1252::ToQString(session_.Pager().Surname()), nullptr, static_cast<long>(hits.size()));
}

bool CResultsCommands::ReadPersonOfRow(int row, FoundPerson& person) {
    // No row, no disk check.
    if (row < 0 || row >= session_.RowsOnPage()) return false;
    const SearchOutcome found = session_.PersonOfRow(row, person);
    if (closed_()) return false;
    TellUser(found);
    return !closed_() && found.status == SearchStatus::Found && person.code != 0;
}

void CResultsCommands::CopyCitationOfRow(int row) {
    FoundPerson person;
    if (ReadPersonOfRow(row, person)) people_.CopyCitation(person);
}

void CResultsCommands::ExportRowToFamilyTree(int row) {
    FoundPerson person;
    if (!ReadPersonOfRow(row, person)) return;
    people_.ExportFamilyTree(std::vector<FoundPerson>{person},
                             cp1252::ToQString(person.surname.c_str()) + QLatin1Char(' ') +
                                 cp1252::ToQString(person.givenNames.c_str()));
}

void CResultsCommands::ExportResultsToFamilyTree() {
    if (session_.RecordCount() <= 0) return;
    people_.ExportFamilyTree(
        [this](const std::function<bool(const FoundPerson&)>& visit) {
            return session_.ForEachPerson(visit);
        },
        cp1252::ToQString(session_.Pager().Surname()));
}

void CResultsCommands::PrintRecordText(const QString& title, const QString& fullText, QWidget* parent,
                                       const WholeRecordText* whole) {
    people_.PrintRecordText(title, fullText, parent, DatabaseCode(), whole);
}

bool CResultsCommands::ReadWholeRecordOfRow(int row, const QString& title, WholeRecordText& whole) {
    FoundPerson person;
    if (!ReadPersonOfRow(row, person)) return false;
    whole = people_.WholeRecordOf(person, title);
    return !closed_();
}

void CResultsCommands::PrintRecord(int row) {
    QString title, text;
    WholeRecordText whole;
    if (ReadRecord(row, title, text) && ReadWholeRecordOfRow(row, title, whole))
        PrintRecordText(title, text, window_, &whole);
}

void CResultsCommands::PrintResults() {
    std::vector<ExportedHit> hits;
    if (!CollectShownHits(hits)) return;

    print_documents::Results results;
    const QString surname = cp1252::ToQString(session_.Pager().Surname()).trimmed();
    results.heading = QStringLiteral("%1 in %2").arg(surname, DatabaseTitle(DatabaseCode()));
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
        results.rows.push_back({OneLine(hit.surname.c_str()), OneLine(hit.givenNames.c_str()),
                                OneLine(hit.summary.c_str()), QString(), FieldLinesOf(hit)});
    }
    people_.PrintResultList(std::move(results), {DatabaseCode()}, window_);
}
