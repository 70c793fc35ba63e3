#include "ui/find_surname/find_surname_dlg.h"

#include <vector>

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

#include "browse/names/surname_listing.h"
#include "browse/record_text/search_messages.h"
#include "browse/session/first_name_count.h"
#include "browse/session/search_session.h"
#include "store/catalogue.h"
#include "store/search_query.h"
#include "ui/common/column_widths.h"
#include "ui/common/count_label.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/finder_window.h"
#include "ui/common/list_keys.h"
#include "ui/common/pending_refresh.h"
#include "ui/common/typed_text.h"
#include "ui/find_surname/surname_match_model.h"

namespace {

struct ModeChoice {
    const char16_t* text;
    MatchMode mode;
};

// In the order the matching list offers them.
const ModeChoice kModeChoices[] = {
    {u"Exact", MatchMode::Exact},
    {u"Starts with", MatchMode::Prefix},
    {u"Sounds like (Soundex)", MatchMode::Soundex},
    {u"Sounds like (Daitch\u2013Mokotoff)", MatchMode::DaitchMokotoff},
    {u"Pattern with * and ?", MatchMode::Pattern},
    {u"Close spelling", MatchMode::Close},
};

// The first-name filter's people are counted for at most this many people listed.
constexpr long kMaxCountedPeople = 200000;

// A pattern may be longer than a key: every '*' may stand for nothing.
constexpr int kMaxTypedText = 40;

}  // namespace

CFindSurnameDlg::CFindSurnameDlg(QWidget* parent, const CDirectories& dirs, int chosenRow,
                                 const QString& surname, const Choices& choices)
    : QDialog(parent, finder_window::kFlags),
      dirs_(dirs),
      text_(new QLineEdit(this)),
      modeBox_(new QComboBox(this)),
      scopeBox_(
          new CScopeBox(this, QStringLiteral("FindScope"), catalogue::CodeOfRow(chosenRow), choices.scope)),
      count_(new CCountLabel(this, QStringLiteral("FindCount"))),
      firstName_(new QCheckBox(this)),
      list_(new QTreeView(this)),
      model_(new CSurnameMatchModel(this)),
      problem_(new QLabel(this)),
      searchButton_(nullptr),
      refresh_(new CPendingRefresh(this, [this]() { Refresh(); })) {
    finder_window::Name(*this, QStringLiteral("Find Surname"), QStringLiteral("FindSurname"));
    finder_window::SetUpText(*text_, QStringLiteral("FindText"), QStringLiteral("Surname"), kMaxTypedText,
                             surname);
    text_->installEventFilter(this);

    modeBox_->setObjectName(QStringLiteral("FindMatching"));
    modeBox_->setAccessibleName(QStringLiteral("Matching"));
    for (const ModeChoice& choice : kModeChoices) {
        modeBox_->addItem(QString::fromUtf16(choice.text), static_cast<int>(choice.mode));
        if (choice.mode == choices.mode) modeBox_->setCurrentIndex(modeBox_->count() - 1);
    }

    // Shown when the search of a match will keep only some first names.
    firstName_->setObjectName(QStringLiteral("FindFirstName"));
    firstName_->setChecked(true);
    firstName_->hide();
    connect(firstName_, &QCheckBox::toggled, this, [this]() { ShowCount(CountText()); });

    list_->setObjectName(QStringLiteral("FindMatches"));
    list_->setAccessibleName(QStringLiteral("Matching surnames"));
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setTabKeyNavigation(false);
    QHeaderView* header = list_->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionResizeMode(CSurnameMatchModel::kSurnameColumn, QHeaderView::Stretch);

    problem_->setObjectName(QStringLiteral("FindProblem"));
    problem_->setWordWrap(true);
    problem_->setTextInteractionFlags(Qt::NoTextInteraction);
    problem_->hide();

    auto* buttons = new QDialogButtonBox(this);
    searchButton_ = buttons->addButton(QStringLiteral("&Search"), QDialogButtonBox::AcceptRole);
    searchButton_->setObjectName(QStringLiteral("FindSearch"));
    searchButton_->setDefault(true);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("FindCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CFindSurnameDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFindSurnameDlg::reject);

    // Labels with their keys; each names the control it stands before.
    auto* form = new QFormLayout;
    auto addRow = [this, form](const char* label, QWidget* field) {
        auto* caption = new QLabel(QString::fromLatin1(label), this);
        caption->setBuddy(field);
        form->addRow(caption, field);
    };
    addRow("Sur&name:", text_);
    addRow("&Matching:", modeBox_);
    addRow("&Look in:", scopeBox_);
    auto* matchesLine = new QHBoxLayout;
    auto* matchesCaption = new QLabel(QStringLiteral("Matc&hes:"), this);
    matchesCaption->setBuddy(list_);
    matchesLine->addWidget(matchesCaption);
    matchesLine->addWidget(count_, 1);
    matchesLine->addWidget(firstName_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(matchesLine);
    layout->addWidget(list_, 1);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    setTabOrder(text_, modeBox_);
    setTabOrder(modeBox_, scopeBox_);
    setTabOrder(scopeBox_, firstName_);
    setTabOrder(firstName_, list_);
    setTabOrder(list_, searchButton_);
    setTabOrder(searchButton_, cancel);
    FitColumns();
    if (choices.size.isValid()) resize(choices.size.expandedTo(minimumSizeHint()));

    connect(text_, &QLineEdit::textChanged, refresh_, &CPendingRefresh::Schedule);
    connect(modeBox_, &QComboBox::currentIndexChanged, this, &CFindSurnameDlg::Refresh);
    connect(scopeBox_, &QComboBox::currentIndexChanged, this, &CFindSurnameDlg::Refresh);
    connect(list_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        SelectMatch(index.row());
        accept();
    });
    text_->setFocus(Qt::OtherFocusReason);
    Refresh();
}

CFindSurnameDlg::~CFindSurnameDlg() = default;

CFindSurnameDlg::Choices CFindSurnameDlg::CurrentChoices() const {
    Choices choices;
    choices.mode = static_cast<MatchMode>(modeBox_->currentData().toInt());
    choices.scope = scopeBox_->Chosen();
    choices.size = size();
    return choices;
}

QComboBox* CFindSurnameDlg::ScopeBox() const { return scopeBox_; }
QLabel* CFindSurnameDlg::CountLabel() const { return count_; }
bool CFindSurnameDlg::RefreshPending() const { return refresh_->Pending(); }

void CFindSurnameDlg::FitColumns() {
    const QFontMetrics metrics = list_->fontMetrics();
    const int margin = column_widths::Margin(*list_);
    const int database = column_widths::DatabaseColumn(*list_);
    QHeaderView* header = list_->header();
    header->resizeSection(CSurnameMatchModel::kDatabaseColumn, database);
    const int people =
        std::max(metrics.horizontalAdvance(QStringLiteral("999999")),
                 header->fontMetrics().horizontalAdvance(
                     model_->headerData(CSurnameMatchModel::kPeopleColumn, Qt::Horizontal, Qt::DisplayRole)
                         .toString())) +
        margin;
    header->resizeSection(CSurnameMatchModel::kPeopleColumn, people);
    // The surname column takes what is left: at first room for the longest surname an index holds.
    const int surname = metrics.horizontalAdvance(
                            QString(static_cast<int>(CSearchSession::kMaxListedSurname), QLatin1Char('M'))) +
                        margin;
    const int chrome = list_->frameWidth() * 2 + list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                       layout()->contentsMargins().left() + layout()->contentsMargins().right();
    resize(QSize(database + people + surname + 2 * margin + chrome, 30 * fontMetrics().height())
               .expandedTo(sizeHint()));
}

void CFindSurnameDlg::ShowFirstNameFilter(const QByteArray& firstName, bool nameVariants) {
    CSearchQuery query;
    const bool filtered = !firstName.isEmpty() && query.SetFirstName(firstName.constData());
    filterName_ = filtered ? QByteArray(query.FirstName()) : QByteArray();
    filterVariants_ = nameVariants;
    // As the filter compares it: upper-cased, without the blanks that pad it.
    filterShown_ = filtered ? cp1252::ToQString(query.FirstName()).trimmed() : QString();
    firstName_->setText(QStringLiteral("Only people with &first name beginning with %1").arg(filterShown_));
    firstName_->setChecked(true);
    firstName_->setVisible(filtered);
    CountKept();
    ShowCount(CountText());
}

void CFindSurnameDlg::CountKept() {
    kept_ = -1;
    // The entries of so many people are not read at every key: the count then names no filter.
    if (filterName_.isEmpty() || model_->rowCount() == 0 || model_->PeopleCount() > kMaxCountedPeople) return;
    std::vector<std::int32_t> kept;
    if (first_name_count::Count(dirs_, model_->Matches(), filterName_.constData(), filterVariants_, kept)
            .Failed())
        return;
    kept_ = 0;
    for (std::int32_t people : kept) kept_ += people;
}

QString CFindSurnameDlg::CountText() const {
    const int rows = model_->rowCount();
    if (rows == 0) return count_->text();
    const long people = model_->PeopleCount();
    QString text = QStringLiteral("%1 %2 (%3 %4")
                       .arg(rows)
                       .arg(rows == 1 ? QStringLiteral("surname matches") : QStringLiteral("surnames match"))
                       .arg(people)
                       .arg(people == 1 ? QStringLiteral("person") : QStringLiteral("people"));
    // What the search will find: the people the first-name filter keeps.
    if (KeepsFirstName() && kept_ >= 0)
        text += QStringLiteral(", %1 with first name %2").arg(kept_).arg(filterShown_);
    return text + QStringLiteral(").");
}

bool CFindSurnameDlg::KeepsFirstName() const { return !firstName_->isHidden() && firstName_->isChecked(); }

void CFindSurnameDlg::Refresh() {
    refresh_->Begun();
    // The match the user stands on stays current while it still matches.
    ListedSurname kept;
    if (const ListedSurname* current = model_->Match(list_->currentIndex().row())) kept = *current;
    QByteArray typed;
    QString refusal;
    if (!typed_text::ToSearched(text_->text(), typed, &refusal)) {
        // Only text put into the field by the program can hold such a character: it lists nothing.
        model_->SetMatches({});
        ShowCount(QStringLiteral("No surname matches."));
        problem_->setText(refusal);
        problem_->show();
        return;
    }
    if (typed.isEmpty()) {
        model_->SetMatches({});
        ShowCount(QStringLiteral("Type a surname, or a part of one."));
        problem_->clear();
        problem_->hide();
        return;
    }

    const std::vector<int> codes = scopeBox_->Codes();
    const std::vector<CSurnameMatcher> queries = {CSurnameMatcher(
        CurrentChoices().mode, std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())))};
    surname_listing::ListingOptions options;
    // No prompt: the list follows the typing, and an absent disk is said in the dialog.
    options.skipMissing = true;
    ListingOutcome outcome = surname_listing::List(dirs_, codes, queries, options);

    // One query, so one list of matches.
    model_->SetMatches(std::move(outcome.matches.front()));
    CountKept();
    ShowCount(model_->rowCount() == 0 ? QStringLiteral("No surname matches.") : CountText());
    const int keptRow = model_->RowOf(kept.code, kept.surname);
    SelectMatch(keptRow >= 0 ? keptRow : 0);

    const QString problems = ProblemsOf(outcome);
    problem_->setText(problems);
    problem_->setVisible(!problems.isEmpty());
    emit listed(model_->rowCount());
}

QString CFindSurnameDlg::ProblemsOf(const ListingOutcome& outcome) const {
    QStringList lines;
    if (outcome.cancelled) lines << cp1252::ToQString(search_messages::NoDataDiskWhileTyping().c_str());
    for (const std::string& message : outcome.messages) lines << cp1252::ToQString(message.c_str());
    if (!outcome.skipped.empty())
        lines << cp1252::ToQString(search_messages::NotOnDisk(outcome.skipped).c_str());
    return lines.join(QLatin1Char('\n'));
}

void CFindSurnameDlg::ShowCount(const QString& text) {
    count_->Show(text);
    // A screen reader in the text field hears how many match, and the filter the search keeps.
    text_->setAccessibleDescription(KeepsFirstName()
                                        ? text + QLatin1Char(' ') +
                                              firstName_->text().remove(QLatin1Char('&')) + QLatin1Char('.')
                                        : text);
}

void CFindSurnameDlg::SelectMatch(int row) {
    if (model_->Match(row) == nullptr) {
        list_->selectionModel()->clear();
        return;
    }
    const QModelIndex index = model_->index(row, CSurnameMatchModel::kDatabaseColumn);
    list_->selectionModel()->setCurrentIndex(index,
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->scrollTo(index);
}

void CFindSurnameDlg::accept() {
    // Keys typed just before Enter are listed first, so that Enter takes what they match.
    refresh_->Flush();
    const ListedSurname* match = model_->Match(list_->currentIndex().row());
    if (match == nullptr) {
        QApplication::beep();
        return;
    }
    chosen_ = *match;
    QDialog::accept();
}

bool CFindSurnameDlg::eventFilter(QObject* watched, QEvent* event) {
    // Up, Down and the page keys in the text field move in the list of matches.
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (list_keys::MovesInList(*key)) {
            refresh_->Flush();
            list_keys::MoveInList(*list_, *key, [this]() { SelectMatch(0); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
