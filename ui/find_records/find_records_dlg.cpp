#include "ui/find_records/find_records_dlg.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "browse/record_text/search_messages.h"
#include "store/catalogue.h"
#include "store/directories.h"
#include "store/path_buffer.h"
#include "ui/common/accessible_events.h"
#include "ui/common/count_label.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/finder_window.h"
#include "ui/common/help_window.h"
#include "ui/common/list_keys.h"
#include "ui/common/pending_refresh.h"
#include "ui/common/resource_names.h"
#include "ui/common/typed_text.h"
#include "ui/facets/facet_bars.h"
#include "ui/facets/facets_panel.h"
#include "ui/facets/years_histogram.h"
#include "ui/find_records/found_people_list.h"
#include "ui/find_records/found_people_model.h"
#include "ui/find_records/indexing_line.h"

namespace {

// The longest query, as chronara-query takes it.
constexpr int kMaxQueryText = 1000;
// An answer slower than this shows "Searching…" meanwhile.
constexpr int kBusyAfterMilliseconds = 150;

bool Holds(const std::vector<int>& codes, int code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

QString Message(const std::string& windows1252) { return cp1252::ToQString(windows1252.c_str()); }

}  // namespace

CFindRecordsDlg::CFindRecordsDlg(QWidget* parent, const CDirectories& dirs, CRecordFinder& finder,
                                 CPeopleCommands& commands, int chosenRow, const Choices& choices)
    : QDialog(parent, finder_window::kFlags),
      dirs_(dirs),
      finder_(finder),
      commands_(commands),
      chosenCode_(catalogue::CodeOfRow(chosenRow)),
      text_(new QLineEdit(this)),
      hint_(new QLabel(this)),
      fieldBox_(new QComboBox(this)),
      yearsFrom_(new QLineEdit(this)),
      yearsTo_(new QLineEdit(this)),
      scopeBox_(new CScopeBox(this, QStringLiteral("RecordsScope"), chosenCode_, choices.scope)),
      abbreviations_(new QCheckBox(QStringLiteral("Match &abbreviations (Pa. for Pennsylvania)"), this)),
      count_(new CCountLabel(this, QStringLiteral("RecordsCount"))),
      indexing_(new CIndexingLine(this)),
      people_(new CFoundPeopleList(this, finder)),
      problem_(new QLabel(this)),
      moreInfoButton_(nullptr),
      showButton_(nullptr),
      resultsButton_(nullptr),
      helpButton_(nullptr),
      busyTimer_(new QTimer(this)),
      refresh_(new CPendingRefresh(this, [this]() { Refresh(); })) {
    finder_window::Name(*this, QStringLiteral("Find in Records"), QStringLiteral("FindRecords"));
    finder_window::SetUpText(*text_, QStringLiteral("RecordsText"), QStringLiteral("Find"), kMaxQueryText,
                             choices.text);

    hint_->setObjectName(QStringLiteral("RecordsHint"));
    hint_->setText(
        QStringLiteral("Every word must be in the record; \"in quotes\" for a phrase, word* for "
                       "the start of a word, -word to leave out. F1: help."));
    hint_->setWordWrap(true);
    hint_->setTextInteractionFlags(Qt::NoTextInteraction);

    fieldBox_->setObjectName(QStringLiteral("RecordsField"));
    fieldBox_->setAccessibleName(QStringLiteral("Field"));

    for (QLineEdit* year : {yearsFrom_, yearsTo_}) {
        year->setValidator(new QIntValidator(0, 9999, year));
        year->setMaxLength(4);
        year->setMaximumWidth(year->fontMetrics().horizontalAdvance(QStringLiteral("00000")) * 2);
    }
    yearsFrom_->setObjectName(QStringLiteral("RecordsYearsFrom"));
    yearsFrom_->setAccessibleName(QStringLiteral("Years from"));
    yearsFrom_->setText(choices.yearsFrom);
    yearsTo_->setObjectName(QStringLiteral("RecordsYearsTo"));
    yearsTo_->setAccessibleName(QStringLiteral("Years to"));
    yearsTo_->setText(choices.yearsTo);

    abbreviations_->setObjectName(QStringLiteral("RecordsAbbreviations"));
    abbreviations_->setChecked(choices.abbreviations);

    BuildFacets();
    FillFields(choices.field);

    connect(indexing_, &CIndexingLine::cancelRequested, this, [this]() { finder_.CancelIndexing(); });
    connect(indexing_, &CIndexingLine::makeRequested, this, [this]() {
        finder_.MakeDeclinedIndexes();
        Refresh();
    });

    connect(people_, &CFoundPeopleList::rowsFailed, this,
            [this](const StoreError& error) { SayProblem(search_messages::MessageOf(error)); });
    connect(people_, &CFoundPeopleList::personActivated, this,
            [this]() { RunCommand(MenuCommand::MoreInfo); });
    connect(people_, &CFoundPeopleList::menuRequested, this, &CFindRecordsDlg::ShowMenu);
    connect(people_, &CFoundPeopleList::orderRequested, this, &CFindRecordsDlg::SortBy);
    connect(people_, &CFoundPeopleList::selectionChanged, this, &CFindRecordsDlg::EnableButtons);
    sort_ = choices.sort;
    ShowOrder();

    problem_->setObjectName(QStringLiteral("RecordsProblem"));
    problem_->setWordWrap(true);
    problem_->setTextInteractionFlags(Qt::NoTextInteraction);
    problem_->hide();

    BuildLayout();
    if (choices.size.isValid()) resize(choices.size.expandedTo(minimumSizeHint()));

    for (QLineEdit* edit : {text_, yearsFrom_, yearsTo_})
        connect(edit, &QLineEdit::textChanged, refresh_, &CPendingRefresh::Schedule);
    connect(fieldBox_, &QComboBox::currentIndexChanged, this, &CFindRecordsDlg::Refresh);
    connect(abbreviations_, &QCheckBox::toggled, this, &CFindRecordsDlg::Refresh);
    connect(scopeBox_, &QComboBox::currentIndexChanged, this, [this]() {
        FillFields(fieldBox_->currentData().toString());
        Refresh();
    });
    connect(&finder_, &CRecordFinder::answered, this, &CFindRecordsDlg::OnAnswered);
    connect(&finder_, &CRecordFinder::indexProgress, indexing_, &CIndexingLine::Progress);
    connect(&finder_, &CRecordFinder::indexed, this, &CFindRecordsDlg::OnIndexed);
    busyTimer_->setSingleShot(true);
    connect(busyTimer_, &QTimer::timeout, this, [this]() {
        if (!Answered()) ShowCount(QStringLiteral("Searching\u2026"));
    });
    for (QWidget* watched : {static_cast<QWidget*>(text_), static_cast<QWidget*>(PeopleList()),
                             static_cast<QWidget*>(fieldBox_), static_cast<QWidget*>(scopeBox_),
                             static_cast<QWidget*>(yearsFrom_), static_cast<QWidget*>(yearsTo_)}) {
        watched->installEventFilter(this);
    }
    // Each opening tries again the indexes that were cancelled.
    finder_.MakeDeclinedIndexes();
    text_->setFocus(Qt::OtherFocusReason);
    Refresh();
}

CFindRecordsDlg::~CFindRecordsDlg() = default;

QComboBox* CFindRecordsDlg::ScopeBox() const { return scopeBox_; }
QLabel* CFindRecordsDlg::CountLabel() const { return count_; }
QWidget* CFindRecordsDlg::IndexingLine() const { return indexing_; }
QLabel* CFindRecordsDlg::IndexingLabel() const { return indexing_->Label(); }
QProgressBar* CFindRecordsDlg::IndexingBar() const { return indexing_->Bar(); }
QPushButton* CFindRecordsDlg::IndexingButton() const { return indexing_->Button(); }
QListView* CFindRecordsDlg::PeopleList() const { return people_->View(); }
CFoundPeopleModel* CFindRecordsDlg::Model() const { return people_->Model(); }

void CFindRecordsDlg::SetSeenTest(
    std::function<std::vector<bool>(const std::vector<research_log::PersonPlace>&)> test) {
    Model()->SetSeenTest(std::move(test));
}
bool CFindRecordsDlg::RefreshPending() const { return refresh_->Pending(); }

void CFindRecordsDlg::ShowUnasked(const QString& count, const QString& problem) {
    // An answer still on its way is not shown.
    asked_ = shown_ = 0;
    busyTimer_->stop();
    people_->SetPeople(0, 0, {});
    waiting_.clear();
    declined_.clear();
    ShowIndexing();
    ShowCount(count);
    answerProblems_ = problem.isEmpty() ? QStringList{} : QStringList{problem};
    ShowProblems(answerProblems_);
    facetsQuery_.reset();
    AskFacets();
}

void CFindRecordsDlg::Refresh() {
    refresh_->Begun();
    if (commandRunning_) {
        refreshAfterCommand_ = true;
        return;
    }
    QByteArray typed;
    QString refusal;
    // Only text put into the field by the program can hold such a character.
    if (!typed_text::ToSearched(text_->text(), typed, &refusal)) {
        ShowUnasked(QStringLiteral("Not searched."), refusal);
        return;
    }
    record_query::YearRange years;
    QString yearsError;
    if (!ReadYears(years, yearsError)) {
        ShowUnasked(QStringLiteral("Not searched."), yearsError);
        return;
    }
    if (typed.trimmed().isEmpty() && !years.given) {
        ShowUnasked(QStringLiteral("Type words to find, or give years."), QString());
        AskCoverage();
        return;
    }
    const record_query::Parsed parsed = record_query::Parse(
        std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())), years);
    if (!parsed.ok) {
        ShowUnasked(QStringLiteral("Not searched."),
                    Message(search_messages::QueryNotWellFormed(parsed.error)));
        return;
    }
    CRecordFinder::Query query;
    query.query = parsed.query;
    const QString field = fieldBox_->currentData().toString();
    std::string error;
    if (!field.isEmpty())
        record_fields::ParseFieldChoice(cp1252::FromQString(field).toStdString(), query.field, error);
    query.codes = scopeBox_->Codes();
    query.sort = sort_;
    query.abbreviations = abbreviations_->isChecked();
    facetsQuery_ = query;
    asked_ = finder_.Start(query);
    busyTimer_->start(kBusyAfterMilliseconds);
}

bool CFindRecordsDlg::WaitForAnswer() {
    refresh_->Flush();
    if (Answered()) return true;
    QEventLoop loop;
    const QMetaObject::Connection answered = connect(
        &finder_, &CRecordFinder::answered, &loop, [&loop]() { loop.quit(); }, Qt::QueuedConnection);
    const QMetaObject::Connection gone = connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    while (!Answered() && isVisible()) loop.exec();
    disconnect(answered);
    disconnect(gone);
    return Answered();
}

void CFindRecordsDlg::OnAnswered(const CRecordFinder::Answer& answer) {
    if (answer.generation != asked_) return;
    shown_ = asked_;
    busyTimer_->stop();
    // The person stood on stays current while they are still among the first found.
    int keptCode = 0;
    std::int32_t keptEntry = -1;
    if (const CRecordFinder::Row* current = people_->CurrentPerson()) {
        keptCode = current->code;
        keptEntry = current->entry;
    }
    const FindOutcome& outcome = answer.outcome;
    const bool done = outcome.status == FindStatus::Done;
    people_->SetPeople(answer.generation, done ? answer.count : 0,
                       done ? answer.rows : std::vector<CRecordFinder::Row>{});
    waiting_ = answer.waiting;
    declined_ = answer.declined;
    headingsShown_ = answer.headings;
    ShowIndexing();

    QStringList problems;
    switch (outcome.status) {
        case FindStatus::Done:
            break;
        case FindStatus::NoDisk:
            problems << Message(search_messages::NoDataDiskWhileTyping());
            break;
        case FindStatus::UsageError:
            problems << QString::fromStdString(outcome.usage);
            break;
        case FindStatus::Failed:
            problems << Message(search_messages::MessageOf(outcome.error));
            break;
        case FindStatus::Cancelled:
            break;
    }
    ShowCount(
        done ? Message(search_messages::PeopleFound(answer.count, !waiting_.empty() || !declined_.empty()))
             : QStringLiteral("Not searched."));
    if (answer.rowsError.Failed()) {
        people_->StopFetching();
        problems << Message(search_messages::MessageOf(answer.rowsError));
    }
    if (!outcome.skipped.empty()) problems << Message(search_messages::NotOnDisk(outcome.skipped));
    if (!outcome.scanned.empty())
        problems << Message(search_messages::SearchedRecordByRecord(outcome.scanned));
    answerProblems_ = problems;
    ShowProblems(problems);
    people_->FitColumns(scopeBox_->Codes());
    const int kept = keptCode != 0 ? Model()->RowOf(keptCode, keptEntry) : -1;
    people_->SelectPerson(kept >= 0 ? kept : 0);
    EnableButtons();
    AskFacets();
}

void CFindRecordsDlg::ShowIndexing() {
    if (waiting_.empty() && declined_.empty() && IndexingButton()->hasFocus())
        text_->setFocus(Qt::OtherFocusReason);
    indexing_->Show(waiting_, declined_);
}

void CFindRecordsDlg::OnIndexed(int code) {
    // Asked again with the database ready, or with its failure said. (Its
    // news may come before the answer that names it as waiting: any
    // database looked in counts.)
    if (Holds(scopeBox_->Codes(), code)) Refresh();
}

void CFindRecordsDlg::ShowCount(const QString& text) {
    // A screen reader hears the count change wherever it is, and in the text field with it.
    if (count_->Show(text)) text_->setAccessibleDescription(text);
}

void CFindRecordsDlg::ShowProblems(const QStringList& lines) {
    const QString old = problem_->text();
    const QString text = lines.join(QLatin1Char('\n'));
    problem_->setText(text);
    problem_->setVisible(!lines.isEmpty());
    // Heard as it is said, wherever the keyboard is.
    if (text != old && !text.isEmpty()) accessible_events::TextChanged(problem_, old, text);
}

void CFindRecordsDlg::SayProblem(const std::string& message) {
    ShowProblems(answerProblems_ + QStringList{Message(message)});
}

void CFindRecordsDlg::ShowHelp() {
    char path[256];
    const bool fits = FormatPath(path, "%s%s", dirs_.InstallDir(), resources::kHelpFileName);
    // The dialog's own help window: the main window's would wait behind the dialog.
    if (helpWindow_.isNull()) helpWindow_ = new CHelpWindow(this);
    if (fits && helpWindow_->ShowContext(path, resources::kFindRecordsHelpContext)) return;
    SayProblem(fits ? search_messages::HelpFileNotOpened(path)
                    : search_messages::HelpPathTooLong(resources::kHelpFileName));
}

CHelpWindow* CFindRecordsDlg::HelpWindow() const { return helpWindow_.data(); }

void CFindRecordsDlg::EnableButtons() {
    if (moreInfoButton_ == nullptr) return;
    const bool onPerson = people_->OnPerson();
    moreInfoButton_->setEnabled(onPerson);
    showButton_->setEnabled(onPerson);
}

void CFindRecordsDlg::SortBy(int column) {
    PeopleSort sort;
    sort.by = column == CFoundPeopleModel::kDatabaseColumn  ? PeopleOrder::Database
              : column == CFoundPeopleModel::kSurnameColumn ? PeopleOrder::Surname
              : column == CFoundPeopleModel::kGivenColumn   ? PeopleOrder::GivenNames
                                                            : PeopleOrder::Found;
    if (sort.by != PeopleOrder::Found && sort.by == sort_.by) sort.descending = !sort_.descending;
    sort_ = sort;
    ShowOrder();
    Refresh();
}

void CFindRecordsDlg::ShowOrder() {
    const int column = sort_.by == PeopleOrder::Database     ? CFoundPeopleModel::kDatabaseColumn
                       : sort_.by == PeopleOrder::Surname    ? CFoundPeopleModel::kSurnameColumn
                       : sort_.by == PeopleOrder::GivenNames ? CFoundPeopleModel::kGivenColumn
                                                             : -1;
    people_->ShowOrder(column, sort_.descending);
}

void CFindRecordsDlg::accept() {
    if (!WaitForAnswer()) return;
    const int row = people_->CurrentRow();
    if (!people_->OnPerson()) {
        QApplication::beep();
        return;
    }
    RecordHit hit;
    if (!ReadPerson(row, hit)) return;
    chosen_ = Chosen{hit.code, hit.entry, hit.surname};
    QDialog::accept();
}

void CFindRecordsDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    OrderButtons();
}

void CFindRecordsDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LayoutDirectionChange || event->type() == QEvent::StyleChange)
        OrderButtons();
}

void CFindRecordsDlg::OrderButtons() {
    // Tab goes through the buttons as they stand, which the platform's
    // style and the writing direction decide (Help may come first or last).
    if (layout() != nullptr) layout()->activate();
    QList<QPushButton*> buttons = buttons_->findChildren<QPushButton*>();
    const bool rightToLeft = isRightToLeft();
    std::sort(buttons.begin(), buttons.end(), [rightToLeft](const QPushButton* a, const QPushButton* b) {
        return rightToLeft ? a->x() > b->x() : a->x() < b->x();
    });
    QWidget* before = PeopleList();
    for (QPushButton* button : buttons) {
        setTabOrder(before, button);
        before = button;
    }
}

bool CFindRecordsDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    MenuCommand command = view_menus::FoundCommandOfKey(*key);
    // In a text box with a selection Ctrl+C copies the selected text.
    if (auto* edit = qobject_cast<QLineEdit*>(watched);
        command == MenuCommand::CopyRows && edit != nullptr && edit->hasSelectedText()) {
        command = MenuCommand::None;
    }
    // Ctrl+1 to Ctrl+3 put the list in the order of a column, Ctrl+0 in the order found.
    if (modifiers == Qt::ControlModifier && key->key() >= Qt::Key_0 && key->key() <= Qt::Key_3) {
        if (event->type() == QEvent::KeyPress)
            SortBy(key->key() == Qt::Key_0 ? CFoundPeopleModel::kMatchColumn : key->key() - Qt::Key_1);
        event->accept();
        return true;
    }
    // F1 in the controls that take keys, as the Help button's shortcut does elsewhere.
    if (key->key() == Qt::Key_F1 && modifiers == Qt::NoModifier) {
        if (event->type() == QEvent::KeyPress) ShowHelp();
        event->accept();
        return true;
    }
    const bool menu = watched == PeopleList() && key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier;
    if (command != MenuCommand::None || menu) {
        // Claimed before the box's own Ctrl+C and Qt's shortcuts; the press follows.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (menu) {
            ShowMenu(people_->MenuPlace());
        } else if (command == MenuCommand::ShowInMainWindow) {
            accept();
        } else {
            RunCommand(command);
        }
        return true;
    }
    // Up, Down and the page keys in the text field move in the list.
    if (watched == text_ && list_keys::MovesInList(*key)) {
        list_keys::MoveInList(*PeopleList(), *key, [this]() { people_->SelectPerson(0); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
