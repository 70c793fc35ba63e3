#include "ui/research_log/viewer_research.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>

#include "browse/names/surname_match.h"
#include "browse/record_text/found_person.h"
#include "platform/message_box.h"
#include "store/ascii.h"
#include "store/catalogue.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/typed_text.h"
#include "ui/research_log/edit_history.h"
#include "ui/research_log/log_report.h"
#include "ui/research_log/research_log_window.h"
#include "ui/research_log/save_person_dlg.h"
#include "ui/research_log/settled_search.h"
#include "ui/research_log/viewer_log.h"
#include "ui/research_log/viewer_settings.h"

using research_log::AskedSearch;
using research_log::SearchKind;

namespace {

constexpr char kAll[] = "all";
constexpr char kChosen[] = "chosen";

std::string StemOfRow(int row) {
    const char* stem = catalogue::StemOf(catalogue::CodeOfRow(row));
    return stem != nullptr ? std::string(stem) : std::string();
}

std::string Bytes(const QString& text) {
    QByteArray searched;
    if (!typed_text::ToSearched(text, searched)) return std::string();
    return std::string(searched.constData(), static_cast<std::size_t>(searched.size()));
}

int YearOf(const QString& text) {
    bool ok = false;
    const int year = text.trimmed().toInt(&ok);
    return ok && year > 0 && year <= 9999 ? year : 0;
}

}  // namespace

CViewerResearch::CViewerResearch(const CDirectories& dirs, Host host, const QString& settingsPath,
                                 QObject* parent)
    : QObject(parent), dirs_(dirs), host_(std::move(host)), settings_(new CViewerSettings(settingsPath)) {
    research_log::LogOptions options;
    options.keep = settings_->KeepLog();
    log_ = new CViewerLog(dirs_, options, this);
    history_ = new CEditHistory(
        *host_.surname, *host_.firstName,
        [this](const std::string& database) { return log_->EarlierSearches(database); },
        [this]() { return StemOfRow(host_.databaseList->currentIndex()); }, this);
    connect(host_.databaseList, qOverload<int>(&QComboBox::currentIndexChanged), history_,
            &CEditHistory::Forget);
    settled_ = new CSettledSearch(
        [this](const AskedSearch& asked, std::int64_t count) { log_->LogSearch(asked, count); }, this);
}

CViewerResearch::~CViewerResearch() = default;

void CViewerResearch::Restore() {
    const QString stem = settings_->Database();
    if (!stem.isEmpty()) {
        const int row = catalogue::RowOfCode(catalogue::CodeOfStem(stem.toLatin1().constData()));
        if (row >= 0) host_.databaseList->setCurrentIndex(row);
    }
    if (settings_->NameVariants() && host_.setNameVariants) host_.setNameVariants(true);
}

void CViewerResearch::Searched(int row, const std::string& surname, const std::string& firstName,
                               bool nameVariants, std::int64_t count) {
    const std::string stem = StemOfRow(row);
    if (stem.empty()) return;
    settings_->SetDatabase(QString::fromLatin1(stem.c_str()));
    AskedSearch asked;
    asked.kind = SearchKind::Surname;
    asked.database = stem;
    // As the rows show it: upper-cased, as the index holds surnames.
    for (char c : surname) asked.surname += AsciiUpper(c);
    asked.hasFirstName = !firstName.empty();
    asked.firstName = firstName;
    if (asked.hasFirstName && nameVariants) asked.options = {"variants"};
    log_->LogSearch(asked, count);
}

void CViewerResearch::NameVariantsSet(bool on) { settings_->SetNameVariants(on); }

void CViewerResearch::Opened(int code, std::int32_t entry) {
    research_log::PersonPlace place;
    place.code = code;
    place.entry = entry;
    log_->MarkSeen(place);
}

CFindSurnameDlg::Choices CViewerResearch::SurnameChoices() const {
    CFindSurnameDlg::Choices choices;
    MatchMode mode = MatchMode::Prefix;
    if (ParseMatchMode(settings_->SurnameMatch().toStdString(), mode)) choices.mode = mode;
    const QString scope = settings_->SurnameScope();
    if (scope == QLatin1String(kChosen)) choices.scope = CFindSurnameDlg::Scope::ChosenDatabase;
    if (scope == QLatin1String(kAll)) choices.scope = CFindSurnameDlg::Scope::AllDatabases;
    return choices;
}

void CViewerResearch::KeepSurnameChoices(const CFindSurnameDlg::Choices& choices) {
    settings_->SetSurnameChoices(
        QString::fromLatin1(MatchModeName(choices.mode)),
        QLatin1String(choices.scope == CFindSurnameDlg::Scope::AllDatabases ? kAll : kChosen));
}

CFindRecordsDlg::Choices CViewerResearch::RecordsChoices() const {
    const CViewerSettings::RecordChoices kept = settings_->RecordsChoices();
    CFindRecordsDlg::Choices choices;
    choices.field = kept.field;
    choices.yearsFrom = kept.yearsFrom;
    choices.yearsTo = kept.yearsTo;
    if (kept.scope == QLatin1String(kAll)) choices.scope = CFindRecordsDlg::Scope::AllDatabases;
    choices.abbreviations = kept.abbreviations;
    return choices;
}

void CViewerResearch::KeepRecordsChoices(const CFindRecordsDlg::Choices& choices) {
    CViewerSettings::RecordChoices kept;
    kept.field = choices.field;
    kept.yearsFrom = choices.yearsFrom;
    kept.yearsTo = choices.yearsTo;
    kept.scope = QLatin1String(choices.scope == CFindRecordsDlg::Scope::AllDatabases ? kAll : kChosen);
    kept.abbreviations = choices.abbreviations;
    settings_->SetRecordsChoices(kept);
}

AskedSearch CViewerResearch::AskedOfListing(const QString& text, const CFindSurnameDlg::Choices& choices,
                                            int chosenRow) {
    AskedSearch asked;
    asked.kind = SearchKind::List;
    asked.database =
        choices.scope == CFindSurnameDlg::Scope::AllDatabases ? std::string(kAll) : StemOfRow(chosenRow);
    asked.surname = Bytes(text);
    asked.options = {MatchModeName(choices.mode)};
    return asked;
}

AskedSearch CViewerResearch::AskedOfRecords(const CFindRecordsDlg::Choices& choices, int chosenRow) {
    AskedSearch asked;
    asked.kind = SearchKind::Find;
    asked.database =
        choices.scope == CFindRecordsDlg::Scope::AllDatabases ? std::string(kAll) : StemOfRow(chosenRow);
    asked.query = Bytes(choices.text.trimmed());
    asked.field = Bytes(choices.field);
    asked.yearFrom = YearOf(choices.yearsFrom);
    asked.yearTo = YearOf(choices.yearsTo);
    if (asked.yearFrom != 0 && asked.yearTo == 0) asked.yearTo = asked.yearFrom;
    if (asked.yearTo != 0 && asked.yearFrom == 0) asked.yearFrom = asked.yearTo;
    // As chronara-query logs its --abbreviations.
    if (choices.abbreviations) asked.options = {"abbreviations"};
    return asked;
}

void CViewerResearch::Watch(CFindSurnameDlg& dialog, int chosenRow) {
    connect(&dialog, &CFindSurnameDlg::listed, this, [this, &dialog, chosenRow](int matches) {
        const QString text = dialog.TextField()->text();
        if (text.trimmed().isEmpty()) return;
        settled_->Offer(AskedOfListing(text, dialog.CurrentChoices(), chosenRow), matches);
    });
}

void CViewerResearch::Watch(CFindRecordsDlg& dialog, CRecordFinder& finder, int chosenRow) {
    dialog.SetSeenTest(
        [this](const std::vector<research_log::PersonPlace>& places) { return log_->SeenAmong(places); });
    connect(&finder, &CRecordFinder::answered, &dialog,
            [this, &dialog, chosenRow](const CRecordFinder::Answer& answer) {
                // The dialog has taken the answer first: one it did not show is an old query's.
                if (!dialog.Answered() || answer.outcome.status != FindStatus::Done) return;
                settled_->Offer(AskedOfRecords(dialog.CurrentChoices(), chosenRow), answer.count);
            });
}

void CViewerResearch::DialogDone() { settled_->Done(); }

QString CViewerResearch::ExportFolder(const QString& fallback) const {
    const QString kept = settings_->ExportFolder();
    return kept.isEmpty() ? fallback : kept;
}

void CViewerResearch::Exported(const QString& path) {
    settings_->SetExportFolder(QFileInfo(path).absolutePath());
}

bool CViewerResearch::SavePerson(QWidget* over, const ExportedHit& found) {
    research_log::PersonOnDisk person;
    person.code = found.code;
    person.entry = found.entry;
    person.surname = found.surname;
    person.givenNames = found.givenNames;
    person.summary = found.summary.substr(0, research_log::kMaxSummary);
    research_log::SavedPerson saved;
    research_log::PersonPlace place;
    place.code = person.code;
    place.entry = person.entry;
    const bool before = log_->FindSaved(place, saved);
    QString who = cp1252::ToQString(person.surname.c_str());
    if (!person.givenNames.empty())
        who += QStringLiteral(", ") + cp1252::ToQString(person.givenNames.c_str());
    who += QStringLiteral(" (%1)").arg(cp1252::ToQString(catalogue::TitleOfCode(person.code)));
    if (!person.summary.empty()) who += QStringLiteral("\n") + cp1252::ToQString(person.summary.c_str());
    CSavePersonDlg dialog(over, who, before ? cp1252::ToQString(saved.note.c_str()) : QString(),
                          before ? log_report::DayOf(saved.time) : QString());
    if (dialog.exec() != QDialog::Accepted) return false;
    // The log keeps Windows-1252, as the disk's own texts are: a note that
    // cannot be written so is refused rather than changed.
    // The log keeps a note on one line: a line started with Shift+Enter
    // goes on after a blank, rather than the note being refused and lost.
    const QString typed = dialog.Note().simplified();
    const QByteArray bytes = cp1252::FromQString(typed);
    if (cp1252::ToQString(bytes.constData(), static_cast<std::size_t>(bytes.size())) != typed) {
        platform::Tell(
            {"The note holds a character that the research log cannot keep; the person was not saved."});
        return false;
    }
    if (static_cast<std::size_t>(bytes.size()) > research_log::kMaxNote) {
        platform::Tell({"The note is longer than " + std::to_string(research_log::kMaxNote) +
                        " characters; the person was not saved."});
        return false;
    }
    const std::string note(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return log_->SavePerson(person, &note);
}

bool CViewerResearch::ShowLog(QWidget* parent, CPeopleCommands& commands,
                              research_log::LoggedSearch& chosen) {
    CResearchLogWindow window(parent, *log_, *settings_, commands, dirs_);
    connect(&window, &CResearchLogWindow::moreInfoOpening, this, &CViewerResearch::moreInfoOpening);
    connect(&window, &CResearchLogWindow::compareRequested, this, &CViewerResearch::compareRequested);
    if (window.exec() != QDialog::Accepted) return false;
    chosen = window.Chosen();
    return true;
}
