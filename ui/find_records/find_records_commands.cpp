// The commands of the Find in Records dialog on the people it found: More
// Info, copy, export and print. The files, the print dialog, the citation
// and the refusals on the data disk are CPeopleCommands';
// the people are read here, from the answer shown. What cannot be read is
// said in the dialog.

#include <set>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include "browse/export/found_csv.h"
#include "browse/record_text/more_info_title.h"
#include "browse/record_text/search_messages.h"
#include "ui/common/count_label.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/database_title.h"
#include "ui/common/help_window.h"
#include "ui/find_records/find_records_dlg.h"
#include "ui/find_records/found_people_list.h"
#include "ui/find_records/found_people_model.h"
#include "ui/print/print_documents.h"
#include "ui/results/more_info_dlg.h"
#include "ui/results/people_commands.h"
#include "ui/results/whole_record_text.h"

namespace {

// A walk of more people than this shows its progress, and can be cancelled.
constexpr std::int64_t kQuietWalk = 2000;
// The CSV goes to the file in pieces of about this size.
constexpr std::size_t kPieceSize = 64 * 1024;

QString Text(const std::string& windows1252) {
    return cp1252::ToQString(windows1252.data(), windows1252.size());
}

// More Info's title, made as the result list's rows make it.
QString TitleOf(const RecordHit& person) {
    const std::string row = person.surname + "\t" + person.givenNames + "\t" + person.summary;
    char title[kTitleWorkSize + 2];
    BuildMoreInfoTitle(row.c_str(), title, sizeof title);
    return cp1252::ToQString(title);
}

}  // namespace

void CFindRecordsDlg::ShowMenu(const QPoint& globalPos) {
    view_menus::ListState state;
    state.rows = Model()->rowCount();
    state.selected = people_->OnPerson();
    state.results = Model()->Count() > 0;
    // The entry's command runs once the menu has closed.
    const MenuCommand chosen = view_menus::Run(*view_menus::FoundMenu(this, state), globalPos);
    if (chosen == MenuCommand::ShowInMainWindow) {
        accept();
    } else if (chosen != MenuCommand::None) {
        RunCommand(chosen);
    }
}

void CFindRecordsDlg::RunCommand(MenuCommand command) {
    // The keyboard goes back where it was, on the same person.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    if (!WaitForAnswer()) return;
    // The command reads the people of the answer shown, from before its file
    // or print dialog to after it: a query asked meanwhile (an index made
    // while the dialog waited) would make them stale, and the command would
    // end with nothing. It is asked once the command has ended.
    const bool outerCommand = commandRunning_;
    commandRunning_ = true;
    const int row = people_->CurrentRow();
    const bool onPerson = people_->OnPerson();
    RecordHit person;
    switch (command) {
        case MenuCommand::MoreInfo:
            if (onPerson) OpenMoreInfo();
            break;
        case MenuCommand::CopyRows:
            CopyRows();
            break;
        case MenuCommand::CopyRecord:
            if (onPerson && ReadPerson(row, person))
                QApplication::clipboard()->setText(
                    CPeopleCommands::RecordCopyText(TitleOf(person), Text(person.text)));
            break;
        case MenuCommand::CopyCitation:
            if (onPerson && ReadPerson(row, person)) commands_.CopyCitation(person);
            break;
        case MenuCommand::ExportResults:
            ExportCsv();
            break;
        case MenuCommand::ExportRecordToFamilyTree:
        case MenuCommand::ExportResultsToFamilyTree:
            ExportFamilyTree(command == MenuCommand::ExportResultsToFamilyTree);
            break;
        case MenuCommand::PrintRecord:
            if (onPerson && ReadPerson(row, person)) {
                const QString title = TitleOf(person);
                const WholeRecordText whole = commands_.WholeRecordOf(person, title);
                commands_.PrintRecordText(title, Text(person.text), this, person.code, &whole);
            }
            break;
        case MenuCommand::PrintResults:
            PrintResults();
            break;
        case MenuCommand::SavePerson:
            if (onPerson && ReadPerson(row, person)) emit saveRequested(person, this);
            break;
        default:
            break;
    }
    // A command on the person beeps without one, as its key does in the window.
    const bool needsPerson = command == MenuCommand::MoreInfo || command == MenuCommand::CopyRecord ||
                             command == MenuCommand::CopyCitation || command == MenuCommand::PrintRecord ||
                             command == MenuCommand::ExportRecordToFamilyTree ||
                             command == MenuCommand::SavePerson;
    if (needsPerson && !onPerson) QApplication::beep();
    commandRunning_ = outerCommand;
    if (!commandRunning_ && refreshAfterCommand_) {
        refreshAfterCommand_ = false;
        QTimer::singleShot(0, this, &CFindRecordsDlg::Refresh);
    }
    if (!focused.isNull() && isVisible()) focused->setFocus(Qt::OtherFocusReason);
}

bool CFindRecordsDlg::ReadPerson(std::int64_t i, RecordHit& person) {
    StoreError error;
    const CRecordFinder::Read read = finder_.Person(shown_, i, person, error);
    if (read == CRecordFinder::Read::Done) return true;
    // Stale: a newer answer is on its way, and the command waits for nothing.
    if (read == CRecordFinder::Read::Failed)
        SayProblem(search_messages::MessageOf(error));
    else
        QApplication::beep();
    return false;
}

void CFindRecordsDlg::OpenMoreInfo() {
    RecordHit person;
    if (!ReadPerson(people_->CurrentRow(), person)) return;
    CMoreInfoDlg dialog(this);
    dialog.SetTitle(TitleOf(person));
    dialog.SetText(Text(person.text));
    dialog.SetWholeRecord(commands_.WholeRecordOf(person, dialog.Title()));
    connect(&dialog, &CMoreInfoDlg::printRequested, this, [this, &dialog, &person]() {
        commands_.PrintRecordText(dialog.Title(), dialog.Text(), &dialog, person.code, &dialog.WholeRecord());
    });
    connect(&dialog, &CMoreInfoDlg::citationRequested, this,
            [this, &person]() { commands_.CopyCitation(person); });
    connect(&dialog, &CMoreInfoDlg::saveRequested, this,
            [this, &person, &dialog]() { emit saveRequested(person, &dialog); });
    emit personOpened(person);
    Model()->AskSeen(person.code, person.entry);
    emit moreInfoOpening(&dialog, person);
    dialog.DoModal();
}

SearchOutcome CFindRecordsDlg::WalkPeople(const QString& doing,
                                          const std::function<bool(const RecordHit&)>& visit) {
    std::unique_ptr<QProgressDialog> progress;
    const std::int64_t total = Model()->Count();
    if (total > kQuietWalk) {
        progress = std::make_unique<QProgressDialog>(doing, QStringLiteral("Cancel"), 0, 1000, this);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(300);
    }
    std::int64_t done = 0;
    bool cancelled = false;
    StoreError error;
    const CRecordFinder::Read read = finder_.ForEachPerson(
        shown_,
        [&](const RecordHit& person) {
            if (progress != nullptr && ++done % 256 == 0) {
                progress->setValue(static_cast<int>(done * 1000 / total));
                cancelled = progress->wasCanceled();
            }
            return !cancelled && visit(person);
        },
        error);
    progress.reset();
    if (read == CRecordFinder::Read::Failed) {
        // Said here; the window's command shows nothing more.
        SayProblem(search_messages::MessageOf(error));
        return SearchOutcome{SearchStatus::Failed, error, {}, {}};
    }
    if (read == CRecordFinder::Read::Stale || cancelled)
        return SearchOutcome{SearchStatus::Cancelled, {}, {}, {}};
    return SearchOutcome{SearchStatus::Found, {}, {}, {}};
}

void CFindRecordsDlg::CopyRows() {
    // The rows selected, in order; none, or every one, means everyone found.
    const CFoundPeopleModel& model = *Model();
    std::vector<std::pair<int, int>> ranges;
    std::int64_t chosen = 0;
    for (const QItemSelectionRange& range : PeopleList()->selectionModel()->selection()) {
        ranges.emplace_back(range.top(), range.bottom());
        chosen += range.height();
    }
    std::sort(ranges.begin(), ranges.end());
    const bool everyone = chosen == 0 || chosen >= model.Count();
    QString text;
    if (!everyone) {
        // The people not read for the list yet are read here.
        RecordHit read;
        for (const auto& [top, bottom] : ranges) {
            for (int row = top; row <= bottom; ++row) {
                if (const CRecordFinder::Row* person = model.Person(row)) {
                    text += CFoundPeopleModel::CopyLine(*person);
                } else {
                    if (!ReadPerson(row, read)) return;
                    text += CFoundPeopleModel::CopyLine(CRecordFinder::RowOf(read, HeadingsShown(read.code)));
                }
            }
        }
    } else if (model.Count() > 0) {
        const SearchOutcome walked = WalkPeople(
            QStringLiteral("Copying the people found\u2026"), [this, &text](const RecordHit& person) {
                text += CFoundPeopleModel::CopyLine(CRecordFinder::RowOf(person, HeadingsShown(person.code)));
                return true;
            });
        if (!walked.Done()) return;
    }
    // Nothing to copy leaves the clipboard as it was.
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

QString CFindRecordsDlg::QueryName() const {
    // A file name of the words asked for.
    QString name;
    for (const QChar c : text_->text()) name += c.isLetterOrNumber() ? c : QChar(u' ');
    name = name.simplified();
    return name.isEmpty() ? QStringLiteral("records") : name;
}

void CFindRecordsDlg::ExportCsv() {
    if (Model()->Count() <= 0) return;
    commands_.ExportCsv(
        [this](const std::function<bool(const std::string&)>& write) {
            // The header names the columns of every person: they are surveyed first.
            CFoundCsv csv;
            SearchOutcome walked =
                WalkPeople(QStringLiteral("Reading the people found\u2026"), [&csv](const RecordHit& person) {
                    csv.Survey(person);
                    return true;
                });
            if (!walked.Done() || !write(csv.Header())) return walked;
            std::string piece;
            bool written = true;
            walked =
                WalkPeople(QStringLiteral("Exporting the people found\u2026"), [&](const RecordHit& person) {
                    piece += csv.Row(person);
                    if (piece.size() < kPieceSize) return true;
                    written = write(piece);
                    piece.clear();
                    return written;
                });
            if (walked.Done() && written && !piece.empty()) write(piece);
            return walked;
        },
        QueryName(), this, static_cast<long>(Model()->Count()));
}

void CFindRecordsDlg::ExportFamilyTree(bool everyone) {
    if (!everyone) {
        RecordHit person;
        if (!people_->OnPerson() || !ReadPerson(people_->CurrentRow(), person)) return;
        commands_.ExportFamilyTree(std::vector<FoundPerson>{person},
                                   Text(person.surname) + QLatin1Char(' ') + Text(person.givenNames), this);
        return;
    }
    if (Model()->Count() <= 0) return;
    commands_.ExportFamilyTree(
        [this](const std::function<bool(const FoundPerson&)>& visit) {
            return WalkPeople(QStringLiteral("Exporting the people found\u2026"),
                              [&visit](const RecordHit& person) { return visit(person); });
        },
        QueryName(), this);
}

void CFindRecordsDlg::PrintResults() {
    if (Model()->Count() <= 0) return;
    print_documents::Results results;
    results.withDatabase = true;
    // What was asked, and where.
    QStringList asked;
    if (!text_->text().trimmed().isEmpty())
        asked << QStringLiteral("\u201C%1\u201D").arg(text_->text().trimmed());
    const QString from = yearsFrom_->text().trimmed(), to = yearsTo_->text().trimmed();
    if (!from.isEmpty() && !to.isEmpty()) asked << QStringLiteral("years %1 to %2").arg(from, to);
    if (!from.isEmpty() && to.isEmpty()) asked << QStringLiteral("years from %1").arg(from);
    if (from.isEmpty() && !to.isEmpty()) asked << QStringLiteral("years up to %1").arg(to);
    if (!fieldBox_->currentData().toString().isEmpty())
        asked << QStringLiteral("in %1").arg(fieldBox_->currentText());
    results.heading = QStringLiteral("Find in Records: %1, in %2")
                          .arg(asked.join(QStringLiteral(", ")), scopeBox_->Title());
    results.subheading = count_->text();
    std::set<int> codes;
    const SearchOutcome walked = WalkPeople(
        QStringLiteral("Reading the people found\u2026"), [&results, &codes](const RecordHit& person) {
            results.rows.push_back({Text(person.surname), Text(person.givenNames), Text(person.summary),
                                    DatabaseTitle(person.code), FieldLinesOf(person)});
            codes.insert(person.code);
            return true;
        });
    if (walked.Done()) commands_.PrintResultList(std::move(results), codes, this);
}
