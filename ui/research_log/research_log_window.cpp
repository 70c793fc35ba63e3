#include "ui/research_log/research_log_window.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "browse/record_text/found_person.h"
#include "browse/record_text/more_info_title.h"
#include "browse/record_text/search_messages.h"
#include "browse/research_log/disk_identity.h"
#include "browse/research_log/log_messages.h"
#include "browse/research_log/saved_person_reader.h"
#include "platform/message_box.h"
#include "store/catalogue.h"
#include "store/record_database.h"
#include "ui/common/column_widths.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/typed_text.h"
#include "ui/research_log/log_report.h"
#include "ui/research_log/logged_search_model.h"
#include "ui/research_log/save_person_dlg.h"
#include "ui/research_log/saved_people_model.h"
#include "ui/research_log/verdicts_page.h"
#include "ui/research_log/viewer_log.h"
#include "ui/research_log/viewer_settings.h"
#include "ui/results/more_info_dlg.h"
#include "ui/results/people_commands.h"

using research_log::SavedPerson;

namespace {

using PeopleColumn = CSavedPeopleModel::Column;

QString Text(const std::string& bytes) { return cp1252::ToQString(bytes.c_str()); }

// The widest time the lists show: the longest month, two-digit day and hour.
constexpr char kWidestTime[] = "2026-09-30T23:59:59+00:00";

// The width of a column that shows text whole, in list's font.
int WholeWidth(const QWidget& list, const QString& text) {
    return list.fontMetrics().horizontalAdvance(text) + column_widths::Margin(list);
}

// The rows of people whose text (given by textOf) is longest in letters,
// at most kMeasured of them: what is measured to size a column, where
// measuring every one of many thousands would keep the window from opening.
std::vector<std::size_t> LongestRows(const std::vector<SavedPerson>& people,
                                     const std::string& (*textOf)(const SavedPerson&)) {
    constexpr std::size_t kMeasured = 32;
    std::vector<std::size_t> rows(people.size());
    for (std::size_t row = 0; row < rows.size(); ++row) rows[row] = row;
    const std::size_t kept = std::min(kMeasured, rows.size());
    std::partial_sort(
        rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(kept), rows.end(),
        [&](std::size_t a, std::size_t b) { return textOf(people[a]).size() > textOf(people[b]).size(); });
    rows.resize(kept);
    return rows;
}

const std::string& SurnameOf(const SavedPerson& saved) { return saved.person.surname; }
const std::string& GivenNamesOf(const SavedPerson& saved) { return saved.person.givenNames; }

bool IsEnter(const QKeyEvent& key) {
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

CResearchLogWindow::CResearchLogWindow(QWidget* parent, CViewerLog& log, CViewerSettings& settings,
                                       CPeopleCommands& commands, const CDirectories& dirs)
    : QDialog(parent), log_(log), settings_(settings), commands_(commands), dirs_(dirs) {
    setObjectName(QStringLiteral("ResearchLogWindow"));
    setWindowTitle(QStringLiteral("Research Log"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    auto* searches = new QWidget(tabs_);
    auto* people = new QWidget(tabs_);
    BuildSearchesPage(searches);
    BuildPeoplePage(people);
    tabs_->addTab(searches, QStringLiteral("&Searches"));
    tabs_->addTab(people, QStringLiteral("Saved &People"));
    verdicts_ = new CVerdictsPage(tabs_, log_);
    tabs_->addTab(verdicts_, QStringLiteral("&Verdicts"));
    layout->addWidget(tabs_);

    auto* bottom = new QHBoxLayout;
    keep_ = new QCheckBox(QStringLiteral("&Keep a research log"), this);
    keep_->setChecked(log_.Keeping());
    connect(keep_, &QCheckBox::toggled, this, [this](bool keep) {
        log_.SetKeeping(keep);
        settings_.SetKeepLog(keep);
    });
    bottom->addWidget(keep_);
    bottom->addStretch(1);
    auto* exportButton = new QPushButton(QStringLiteral("&Export"), this);
    auto* exportMenu = new QMenu(exportButton);
    exportMenu->addAction(QStringLiteral("Searches as &CSV\u2026"), this,
                          &CResearchLogWindow::ExportSearchesCsv);
    exportMenu->addAction(QStringLiteral("&Print report of searches\u2026"), this,
                          &CResearchLogWindow::PrintReport);
    exportMenu->addSeparator();
    exportMenu->addAction(QStringLiteral("Saved people as C&SV\u2026"), this,
                          &CResearchLogWindow::ExportPeopleCsv);
    exportMenu->addAction(QStringLiteral("Saved people to family &tree (GEDCOM)\u2026"), this,
                          &CResearchLogWindow::ExportPeopleFamilyTree);
    exportButton->setMenu(exportMenu);
    bottom->addWidget(exportButton);
    auto* clearButton = new QPushButton(QStringLiteral("C&lear"), this);
    auto* clearMenu = new QMenu(clearButton);
    clearMenu->addAction(QStringLiteral("&Searches\u2026"), this,
                         [this]() { Clear(research_log::ClearWhat::Searches); });
    clearMenu->addAction(QStringLiteral("Seen &marks\u2026"), this,
                         [this]() { Clear(research_log::ClearWhat::Seen); });
    clearMenu->addAction(QStringLiteral("&Everything\u2026"), this,
                         [this]() { Clear(research_log::ClearWhat::All); });
    clearButton->setMenu(clearMenu);
    bottom->addWidget(clearButton);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    resize(QSize(fontMetrics().averageCharWidth() * 135, fontMetrics().height() * 32));
    Reload();
    searchList_->setFocus(Qt::OtherFocusReason);
}

CResearchLogWindow::~CResearchLogWindow() = default;

void CResearchLogWindow::BuildSearchesPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    auto* filters = new QHBoxLayout;
    auto* databaseLabel = new QLabel(QStringLiteral("&Database:"), page);
    databaseFilter_ = new QComboBox(page);
    databaseFilter_->setObjectName(QStringLiteral("DatabaseFilter"));
    databaseFilter_->addItem(QStringLiteral("Every database"), QString());
    databaseFilter_->addItem(QStringLiteral("Searches of all databases at once"),
                             QString::fromLatin1(research_log::kAllDatabases));
    for (int row = 0; catalogue::kListTexts[row][0] != '\0'; ++row) {
        databaseFilter_->addItem(cp1252::ToQString(catalogue::kListTexts[row]),
                                 QString::fromLatin1(catalogue::StemOf(catalogue::CodeOfRow(row))));
    }
    databaseLabel->setBuddy(databaseFilter_);
    auto* textLabel = new QLabel(QStringLiteral("&Holding:"), page);
    textFilter_ = new QLineEdit(page);
    textFilter_->setObjectName(QStringLiteral("TextFilter"));
    textFilter_->setPlaceholderText(QStringLiteral("a surname, a word of a query"));
    textFilter_->setClearButtonEnabled(true);
    textLabel->setBuddy(textFilter_);
    filters->addWidget(databaseLabel);
    filters->addWidget(databaseFilter_, 1);
    filters->addWidget(textLabel);
    filters->addWidget(textFilter_, 1);
    layout->addLayout(filters);
    connect(databaseFilter_, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &CResearchLogWindow::ApplyFilter);
    connect(textFilter_, &QLineEdit::textChanged, this, &CResearchLogWindow::ApplyFilter);

    searchModel_ = new CLoggedSearchModel(log_, this);
    searchList_ = new QTreeView(page);
    searchList_->setObjectName(QStringLiteral("SearchList"));
    searchList_->setRootIsDecorated(false);
    searchList_->setUniformRowHeights(true);
    searchList_->setAllColumnsShowFocus(true);
    searchList_->setModel(searchModel_);
    searchList_->setAccessibleName(QStringLiteral("Searches, newest first"));
    const int letter = fontMetrics().averageCharWidth();
    searchList_->header()->resizeSection(CLoggedSearchModel::kWhenColumn,
                                         WholeWidth(*searchList_, log_report::WhenOf(kWidestTime)));
    searchList_->header()->resizeSection(CLoggedSearchModel::kDatabaseColumn, letter * 28);
    searchList_->header()->resizeSection(CLoggedSearchModel::kAskedColumn, letter * 44);
    searchList_->installEventFilter(this);
    connect(searchList_, &QTreeView::doubleClicked, this, [this]() { accept(); });
    layout->addWidget(searchList_, 1);

    auto* row = new QHBoxLayout;
    count_ = new QLabel(page);
    count_->setObjectName(QStringLiteral("SearchCount"));
    row->addWidget(count_, 1);
    auto* again = new QPushButton(QStringLiteral("&Run Again"), page);
    again->setAutoDefault(false);
    connect(again, &QPushButton::clicked, this, &CResearchLogWindow::accept);
    row->addWidget(again);
    layout->addLayout(row);
}

void CResearchLogWindow::BuildPeoplePage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    peopleModel_ = new CSavedPeopleModel(this);
    peopleList_ = new QTreeView(page);
    peopleList_->setObjectName(QStringLiteral("PeopleList"));
    peopleList_->setRootIsDecorated(false);
    peopleList_->setUniformRowHeights(true);
    peopleList_->setAllColumnsShowFocus(true);
    peopleList_->setModel(peopleModel_);
    // Two people chosen at once are compared.
    peopleList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    peopleList_->setAccessibleName(QStringLiteral("Saved people"));
    const int letter = fontMetrics().averageCharWidth();
    peopleList_->header()->resizeSection(PeopleColumn::kSavedColumn,
                                         WholeWidth(*peopleList_, log_report::DayOf(kWidestTime)));
    peopleList_->header()->resizeSection(PeopleColumn::kSurnameColumn, letter * 14);
    peopleList_->header()->resizeSection(PeopleColumn::kGivenColumn, letter * 18);
    peopleList_->header()->resizeSection(PeopleColumn::kNoteColumn, letter * 34);
    peopleList_->header()->resizeSection(PeopleColumn::kDatabaseColumn, letter * 24);
    peopleList_->installEventFilter(this);
    connect(peopleList_, &QTreeView::doubleClicked, this, [this]() { OpenPerson(); });
    layout->addWidget(peopleList_, 1);

    auto* row = new QHBoxLayout;
    auto* open = new QPushButton(QStringLiteral("&More Info"), page);
    auto* note = new QPushButton(QStringLiteral("Edit &Note\u2026"), page);
    auto* remove = new QPushButton(QStringLiteral("&Remove"), page);
    undo_ = new QPushButton(QStringLiteral("&Undo"), page);
    undo_->setEnabled(false);
    compare_ = new QPushButton(QStringLiteral("&Compare\u2026"), page);
    compare_->setObjectName(QStringLiteral("ComparePeople"));
    for (QPushButton* button : {open, note, remove, undo_, compare_}) {
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    compareHint_ = new QLabel(page);
    compareHint_->setObjectName(QStringLiteral("CompareHint"));
    row->addWidget(compareHint_, 1);
    connect(compare_, &QPushButton::clicked, this, [this]() { ComparePeople(); });
    connect(peopleList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CResearchLogWindow::ShowCompareState);
    connect(open, &QPushButton::clicked, this, &CResearchLogWindow::OpenPerson);
    connect(note, &QPushButton::clicked, this, &CResearchLogWindow::EditNote);
    connect(remove, &QPushButton::clicked, this, &CResearchLogWindow::RemoveCurrentPerson);
    connect(undo_, &QPushButton::clicked, this, [this]() { Undo(); });
    layout->addLayout(row);
}

research_log::SearchFilter CResearchLogWindow::Filter() const {
    research_log::SearchFilter filter;
    filter.database = databaseFilter_->currentData().toString().toStdString();
    QByteArray text;
    if (typed_text::ToSearched(textFilter_->text().trimmed(), text)) filter.text = text.toStdString();
    return filter;
}

void CResearchLogWindow::ApplyFilter() {
    searchModel_->SetFilter(Filter());
    const long long total = static_cast<long long>(searchModel_->Total());
    count_->setText(total == 1 ? QStringLiteral("1 search.") : QStringLiteral("%1 searches.").arg(total));
    if (searchModel_->rowCount() > 0) searchList_->setCurrentIndex(searchModel_->index(0, 0));
}

void CResearchLogWindow::Reload() {
    ApplyFilter();
    ShowPeople();
}

const std::vector<SavedPerson>& CResearchLogWindow::People() const { return peopleModel_->People(); }

void CResearchLogWindow::ShowPeople() {
    const int keptRow = peopleList_->currentIndex().row();
    std::vector<SavedPerson> people;
    research_log::DiskIdentity disk;
    const bool known = log_.Disk(disk);
    // Every disk's people, those of another disk said as such.
    log_.Tell(log_.Log().SavedPeople(known ? &disk : nullptr, true, people));
    // The names whole where they fit in a share of the list.
    const int letter = fontMetrics().averageCharWidth();
    const std::pair<PeopleColumn, const std::string& (*)(const SavedPerson&)> names[] = {
        {PeopleColumn::kSurnameColumn, SurnameOf}, {PeopleColumn::kGivenColumn, GivenNamesOf}};
    for (const auto& [column, textOf] : names) {
        int widest = peopleList_->header()->sectionSize(column);
        for (const std::size_t row : LongestRows(people, textOf))
            widest = std::max(widest, WholeWidth(*peopleList_, Text(textOf(people[row]))));
        peopleList_->header()->resizeSection(column, std::min(widest, letter * 30));
    }
    peopleModel_->SetPeople(std::move(people));
    const int rows = peopleModel_->rowCount();
    if (rows > 0)
        peopleList_->setCurrentIndex(peopleModel_->index(std::min(std::max(keptRow, 0), rows - 1), 0));
    undo_->setEnabled(!removed_.empty());
    ShowCompareState();
}

std::vector<const SavedPerson*> CResearchLogWindow::ChosenPeople() const {
    std::vector<const SavedPerson*> chosen;
    QModelIndexList rows = peopleList_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& row : rows) {
        if (const SavedPerson* person = peopleModel_->Person(row.row())) chosen.push_back(person);
    }
    return chosen;
}

void CResearchLogWindow::ShowCompareState() {
    const bool two = ChosenPeople().size() == 2;
    compare_->setEnabled(two);
    compareHint_->setText(two ? QString()
                              : QStringLiteral("Choose two people to compare: hold Ctrl and click, or Shift "
                                               "and an arrow."));
    compare_->setAccessibleDescription(two ? QStringLiteral("The two people chosen, side by side")
                                           : compareHint_->text());
}

bool CResearchLogWindow::ComparePeople() {
    const std::vector<const SavedPerson*> chosen = ChosenPeople();
    if (chosen.size() != 2) {
        platform::Tell({"Choose two people to compare: hold Ctrl and click each of them."});
        return false;
    }
    for (const SavedPerson* person : chosen) {
        if (!person->ofThisDisk) {
            platform::Tell({"This person was saved from another data disk (" +
                            research_log::LabelText(person->disk.label) +
                            "); insert that disk to compare their record."});
            return false;
        }
    }
    emit compareRequested(chosen[0]->person, chosen[1]->person);
    return true;
}

const SavedPerson* CResearchLogWindow::CurrentPerson() const {
    return peopleModel_->Person(peopleList_->currentIndex().row());
}

void CResearchLogWindow::RemoveCurrentPerson() {
    const SavedPerson* current = CurrentPerson();
    if (current == nullptr) return;
    bool found = false;
    SavedPerson removed;
    if (!log_.Tell(log_.Log().RemovePerson(current->id, found, removed))) return;
    if (found) removed_.push_back(removed);
    ShowPeople();
}

bool CResearchLogWindow::Undo() {
    if (removed_.empty()) return false;
    const SavedPerson removed = removed_.back();
    if (!log_.Tell(log_.Log().UndoRemove(removed))) return false;
    removed_.pop_back();
    ShowPeople();
    for (int row = 0; row < peopleModel_->rowCount(); ++row) {
        const SavedPerson* person = peopleModel_->Person(row);
        if (person->person.code == removed.person.code && person->person.entry == removed.person.entry)
            peopleList_->setCurrentIndex(peopleModel_->index(row, 0));
    }
    return true;
}

void CResearchLogWindow::EditNote() {
    const SavedPerson* current = CurrentPerson();
    if (current == nullptr) return;
    const SavedPerson saved = *current;
    CSavePersonDlg dialog(this,
                          QStringLiteral("%1, %2 (%3)")
                              .arg(Text(saved.person.surname), Text(saved.person.givenNames),
                                   cp1252::ToQString(catalogue::TitleOfCode(saved.person.code))),
                          Text(saved.note), log_report::DayOf(saved.time));
    if (dialog.exec() != QDialog::Accepted) return;
    const std::string note = cp1252::FromQString(dialog.Note()).toStdString();
    log_.Tell(log_.Log().SavePerson(saved.disk, saved.person, &note));
    ShowPeople();
}

void CResearchLogWindow::OpenPerson() {
    const SavedPerson* current = CurrentPerson();
    if (current == nullptr) return;
    if (!current->ofThisDisk) {
        platform::Tell({"This person was saved from another data disk (" +
                        research_log::LabelText(current->disk.label) +
                        "); insert that disk to read their record."});
        return;
    }
    CRecordDatabase database(dirs_);
    ExportedHit person;
    StoreError error;
    switch (research_log::ReadSavedPerson(database, current->person, person, error)) {
        case research_log::SavedPersonRead::Read:
            break;
        case research_log::SavedPersonRead::NotThere:
            platform::Tell({research_log::log_messages::NotOnDisk(current->person)});
            return;
        case research_log::SavedPersonRead::Failed:
            platform::Tell({search_messages::MessageOf(error)});
            return;
    }
    const std::string row = person.surname + "\t" + person.givenNames + "\t" + person.summary;
    char title[kTitleWorkSize + 2];
    BuildMoreInfoTitle(row.c_str(), title, sizeof title);
    CMoreInfoDlg dialog(this);
    dialog.SetTitle(cp1252::ToQString(title));
    dialog.SetText(cp1252::ToQString(person.text.c_str()));
    // The whole record and the links, as the main window's More Info has them.
    dialog.SetWholeRecord(commands_.WholeRecordOf(person, dialog.Title()));
    connect(&dialog, &CMoreInfoDlg::printRequested, this, [this, &dialog, &person]() {
        commands_.PrintRecordText(dialog.Title(), dialog.Text(), &dialog, person.code, &dialog.WholeRecord());
    });
    connect(&dialog, &CMoreInfoDlg::citationRequested, this,
            [this, &person]() { commands_.CopyCitation(person); });
    emit moreInfoOpening(&dialog, person);
    dialog.DoModal();
}

bool CResearchLogWindow::ReadPeople(std::vector<ExportedHit>& people) {
    CRecordDatabase database(dirs_);
    std::vector<std::string> leftOut;
    for (const SavedPerson& saved : People()) {
        if (!saved.ofThisDisk) continue;
        ExportedHit person;
        StoreError error;
        switch (research_log::ReadSavedPerson(database, saved.person, person, error)) {
            case research_log::SavedPersonRead::Read:
                people.push_back(std::move(person));
                break;
            case research_log::SavedPersonRead::NotThere:
                leftOut.push_back(research_log::log_messages::NotOnDisk(saved.person));
                break;
            case research_log::SavedPersonRead::Failed:
                platform::Tell({search_messages::MessageOf(error)});
                return false;
        }
    }
    platform::Tell(leftOut);
    return true;
}

void CResearchLogWindow::ExportSearchesCsv() {
    const research_log::SearchFilter filter = Filter();
    commands_.ExportCsv(
        [this, filter](const std::function<bool(const std::string&)>& write) {
            SearchOutcome outcome;
            outcome.status = SearchStatus::Found;
            if (!write(log_report::CsvHeader())) return outcome;
            std::vector<research_log::LoggedSearch> all;
            std::int64_t before = 0;
            for (;;) {
                std::vector<research_log::LoggedSearch> page;
                if (log_.Log().Searches(filter, before, 1000, page).Failed() || page.empty()) break;
                before = page.back().id;
                for (auto& one : page) all.push_back(std::move(one));
            }
            // Oldest first, as a log is read.
            for (auto it = all.rbegin(); it != all.rend(); ++it) {
                if (!write(log_report::CsvLineOf(*it))) break;
            }
            return outcome;
        },
        QStringLiteral("research-log"), this, CPeopleCommands::kNoCount);
}

QString CResearchLogWindow::ReportText() const {
    const research_log::SearchFilter filter = Filter();
    QStringList lines;
    std::int64_t before = 0;
    for (;;) {
        std::vector<research_log::LoggedSearch> page;
        if (log_.Log().Searches(filter, before, 1000, page).Failed() || page.empty()) break;
        before = page.back().id;
        for (const auto& one : page) lines.prepend(log_report::LineOf(one));
    }
    return lines.join(QLatin1Char('\n'));
}

void CResearchLogWindow::PrintReport() {
    commands_.PrintText(QStringLiteral("Research Log"), QStringLiteral("Searches, oldest first"),
                        ReportText(), this);
}

void CResearchLogWindow::ExportPeopleCsv() {
    std::vector<ExportedHit> people;
    if (!ReadPeople(people)) return;
    commands_.ExportCsv(
        [this](const std::function<bool(const std::string&)>& write) {
            SearchOutcome outcome;
            outcome.status = SearchStatus::Found;
            auto field = [](const std::string& value) {
                if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
                std::string quoted = "\"";
                for (char c : value) {
                    if (c == '"') quoted += '"';
                    quoted += c;
                }
                return quoted + "\"";
            };
            if (!write("saved,database,entry,surname,given names,summary,note\r\n")) return outcome;
            for (const SavedPerson& saved : People()) {
                if (!saved.ofThisDisk) continue;
                const research_log::PersonOnDisk& p = saved.person;
                if (!write(field(saved.time) + "," + catalogue::StemOf(p.code) + "," +
                           std::to_string(p.entry) + "," + field(p.surname) + "," + field(p.givenNames) +
                           "," + field(p.summary) + "," + field(saved.note) + "\r\n"))
                    break;
            }
            return outcome;
        },
        QStringLiteral("saved-people"), this,
        static_cast<long>(std::count_if(People().begin(), People().end(),
                                        [](const SavedPerson& saved) { return saved.ofThisDisk; })));
}

void CResearchLogWindow::ExportPeopleFamilyTree() {
    std::vector<ExportedHit> hits;
    if (!ReadPeople(hits)) return;
    std::vector<FoundPerson> people(hits.begin(), hits.end());
    // Each person with the note they were saved with.
    std::map<std::pair<int, std::int32_t>, std::string> notes;
    for (const SavedPerson& saved : People()) {
        // Another disk's person at the same entry is someone else.
        if (saved.ofThisDisk) notes[{saved.person.code, saved.person.entry}] = saved.note;
    }
    commands_.ExportFamilyTree(people, QStringLiteral("saved-people"), this,
                               [&notes](const FoundPerson& person) {
                                   const auto found = notes.find({person.code, person.entry});
                                   return found == notes.end() ? std::string() : found->second;
                               });
}

void CResearchLogWindow::Clear(research_log::ClearWhat what) {
    const char* question = nullptr;
    switch (what) {
        case research_log::ClearWhat::Searches:
            question = "Clear every search of the research log? This cannot be undone.";
            break;
        case research_log::ClearWhat::Seen:
            question = "Clear every seen mark of the research log? This cannot be undone.";
            break;
        case research_log::ClearWhat::All:
            question =
                "Clear the whole research log: the searches, the saved people and their notes, and the seen "
                "marks? This cannot be undone.";
            break;
    }
    if (platform::Ask(question) != platform::MessageAnswer::Ok) return;
    log_.Tell(log_.Log().Clear(what));
    if (what == research_log::ClearWhat::All) removed_.clear();
    emit log_.changed();
    Reload();
}

void CResearchLogWindow::accept() {
    const research_log::LoggedSearch* search = searchModel_->Search(searchList_->currentIndex().row());
    if (search == nullptr) return;
    chosen_ = *search;
    QDialog::accept();
}

bool CResearchLogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (watched == searchList_ && IsEnter(*key)) {
            accept();
            return true;
        }
        if (watched == peopleList_) {
            if (IsEnter(*key)) {
                OpenPerson();
                return true;
            }
            if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
                RemoveCurrentPerson();
                return true;
            }
        }
        if (key->matches(QKeySequence::Undo) && watched == peopleList_) {
            Undo();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
