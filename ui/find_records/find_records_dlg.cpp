#include "ui/find_records/find_records_dlg.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

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

// The field box's entries beyond the headings: their texts and what --field calls them.
constexpr const char* kSurnameChoice = "surname";
constexpr const char* kGivenChoice = "given";

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

void CFindRecordsDlg::BuildLayout() {
    auto* buttons = new QDialogButtonBox(this);
    buttons_ = buttons;
    moreInfoButton_ = buttons->addButton(QStringLiteral("&More Info"), QDialogButtonBox::ActionRole);
    moreInfoButton_->setObjectName(QStringLiteral("RecordsMoreInfo"));
    moreInfoButton_->setDefault(true);
    showButton_ = buttons->addButton(QStringLiteral("&Show in Main Window"), QDialogButtonBox::ActionRole);
    showButton_->setObjectName(QStringLiteral("RecordsShow"));
    resultsButton_ = buttons->addButton(QStringLiteral("&Results\u2026"), QDialogButtonBox::ActionRole);
    resultsButton_->setObjectName(QStringLiteral("RecordsResults"));
    helpButton_ = buttons->addButton(QDialogButtonBox::Help);
    helpButton_->setObjectName(QStringLiteral("RecordsHelp"));
    helpButton_->setShortcut(QKeySequence(Qt::Key_F1));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("RecordsClose"));
    for (QPushButton* button : {showButton_, resultsButton_, helpButton_, close})
        button->setAutoDefault(false);
    connect(moreInfoButton_, &QPushButton::clicked, this, [this]() { RunCommand(MenuCommand::MoreInfo); });
    connect(showButton_, &QPushButton::clicked, this, &CFindRecordsDlg::accept);
    connect(resultsButton_, &QPushButton::clicked, this,
            [this]() { ShowMenu(resultsButton_->mapToGlobal(resultsButton_->rect().bottomLeft())); });
    connect(helpButton_, &QPushButton::clicked, this, &CFindRecordsDlg::ShowHelp);
    connect(close, &QPushButton::clicked, this, &CFindRecordsDlg::reject);

    // Labels with their keys; each names the control it stands before.
    auto* form = new QFormLayout;
    auto caption = [this](const char* label, QWidget* field) {
        auto* shown = new QLabel(QString::fromLatin1(label), this);
        shown->setBuddy(field);
        return shown;
    };
    auto* textColumn = new QVBoxLayout;
    textColumn->setSpacing(2);
    textColumn->addWidget(text_);
    textColumn->addWidget(hint_);
    form->addRow(caption("&Find:", text_), textColumn);
    form->addRow(caption("F&ield:", fieldBox_), fieldBox_);
    auto* years = new QHBoxLayout;
    years->addWidget(yearsFrom_);
    years->addWidget(caption("&to", yearsTo_));
    years->addWidget(yearsTo_);
    years->addStretch(1);
    form->addRow(caption("&Years from:", yearsFrom_), years);
    form->addRow(caption("&Look in:", scopeBox_), scopeBox_);
    form->addRow(QString(), abbreviations_);

    auto* countLine = new QHBoxLayout;
    countLine->addWidget(caption("&People:", PeopleList()));
    countLine->addWidget(count_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(countLine);
    layout->addWidget(indexing_);
    // The facets beside the people, narrower.
    auto* found = new QHBoxLayout;
    found->addWidget(people_, 3);
    found->addWidget(facets_, 1);
    layout->addLayout(found, 1);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    setTabOrder(text_, fieldBox_);
    setTabOrder(fieldBox_, yearsFrom_);
    setTabOrder(yearsFrom_, yearsTo_);
    setTabOrder(yearsTo_, scopeBox_);
    setTabOrder(scopeBox_, abbreviations_);
    setTabOrder(abbreviations_, IndexingButton());
    setTabOrder(IndexingButton(), PeopleList());
    setTabOrder(PeopleList(), facets_->Databases());
    setTabOrder(facets_->Databases(), facets_->Years());
    setTabOrder(facets_->Years(), facets_->ValuesFieldBox());
    setTabOrder(facets_->ValuesFieldBox(), facets_->Values());
    setTabOrder(facets_->Values(), moreInfoButton_);
    // The buttons follow in the order the style shows them (showEvent).

    QSize wanted(people_->WantedWidth() + facets_->sizeHint().width(), 32 * fontMetrics().height());
    // Within the screen the window opens on, which may be small.
    if (const QScreen* screen = (parentWidget() != nullptr ? parentWidget() : this)->screen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(wanted.expandedTo(sizeHint()));
}

FieldHeadings CFindRecordsDlg::HeadingsShown(int code) const {
    const auto known = headingsShown_.find(code);
    return known != headingsShown_.end() ? known->second : FieldHeadings(code);
}

void CFindRecordsDlg::FillFields(const QString& keep) {
    // The headings of the databases looked in, each once, then the surname
    // and the given names: those the disk gives, else the label tables'. A
    // disk whose headings cannot be read is named by the label tables; the
    // search says what is wrong with it.
    std::vector<FieldHeadings> databases;
    for (int code : scopeBox_->Codes()) {
        FieldHeadings headings;
        (void)ReadFieldHeadings(dirs_, code, headings);
        databases.push_back(std::move(headings));
    }
    QStringList headings;
    for (const std::string& heading : record_fields::HeadingsOfAll(databases))
        headings << cp1252::ToQString(heading.c_str());
    const QSignalBlocker quiet(fieldBox_);
    fieldBox_->clear();
    fieldBox_->addItem(QStringLiteral("Any field"), QString());
    for (const QString& heading : headings) fieldBox_->addItem(heading, heading);
    fieldBox_->addItem(QStringLiteral("Surname"), QString::fromLatin1(kSurnameChoice));
    fieldBox_->addItem(QStringLiteral("Given names"), QString::fromLatin1(kGivenChoice));
    // A heading the databases looked in do not have gives way to any field.
    fieldBox_->setCurrentIndex(std::max(0, fieldBox_->findData(keep)));
    facets_->SetFields(headings);
}

CFindRecordsDlg::Choices CFindRecordsDlg::CurrentChoices() const {
    Choices choices;
    choices.text = text_->text();
    choices.field = fieldBox_->currentData().toString();
    choices.yearsFrom = yearsFrom_->text();
    choices.yearsTo = yearsTo_->text();
    choices.scope = scopeBox_->Chosen();
    choices.abbreviations = abbreviations_->isChecked();
    choices.sort = sort_;
    choices.size = size();
    return choices;
}

bool CFindRecordsDlg::ReadYears(record_query::YearRange& years, QString& error) const {
    const QString from = yearsFrom_->text().trimmed();
    const QString to = yearsTo_->text().trimmed();
    years = record_query::YearRange{};
    if (from.isEmpty() && to.isEmpty()) return true;
    // Either end may be left open.
    const std::string range = (from.isEmpty() ? QStringLiteral("0") : from).toStdString() + "-" +
                              (to.isEmpty() ? QStringLiteral("9999") : to).toStdString();
    std::string why;
    if (record_query::ParseYears(range, years, why)) return true;
    error = Message(search_messages::YearsNotRange(why));
    return false;
}

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
