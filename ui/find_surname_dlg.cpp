#include "ui/find_surname_dlg.h"

#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "browse/search_session.h"
#include "browse/surname_listing.h"
#include "store/catalogue.h"
#include "ui/cp1252_qt.h"
#include "ui/surname_match_model.h"

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
};

// A pattern may be longer than a key: every '*' may stand for nothing.
constexpr int kMaxTypedText = 40;

QString DatabaseTitle(int code) { return cp1252::ToQString(catalogue::TitleOfCode(code)); }

}  // namespace

CFindSurnameDlg::CFindSurnameDlg(QWidget* parent, const CDirectories& dirs, int chosenRow,
                                 const QString& surname, const Choices& choices)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      dirs_(dirs),
      chosenCode_(catalogue::CodeOfRow(chosenRow)),
      text_(new QLineEdit(this)),
      modeBox_(new QComboBox(this)),
      scopeBox_(new QComboBox(this)),
      count_(new QLabel(this)),
      list_(new QTreeView(this)),
      model_(new CSurnameMatchModel(this)),
      problem_(new QLabel(this)),
      searchButton_(nullptr) {
    setModal(true);
    setWindowTitle(QStringLiteral("Find Surname"));
    setObjectName(QStringLiteral("FindSurname"));

    text_->setObjectName(QStringLiteral("FindText"));
    text_->setAccessibleName(QStringLiteral("Surname"));
    text_->setMaxLength(kMaxTypedText);
    text_->setText(surname);
    text_->selectAll();
    text_->installEventFilter(this);

    modeBox_->setObjectName(QStringLiteral("FindMatching"));
    modeBox_->setAccessibleName(QStringLiteral("Matching"));
    for (const ModeChoice& choice : kModeChoices) {
        modeBox_->addItem(QString::fromUtf16(choice.text), static_cast<int>(choice.mode));
        if (choice.mode == choices.mode) modeBox_->setCurrentIndex(modeBox_->count() - 1);
    }

    scopeBox_->setObjectName(QStringLiteral("FindScope"));
    scopeBox_->setAccessibleName(QStringLiteral("Look in"));
    scopeBox_->addItem(QStringLiteral("Only %1").arg(DatabaseTitle(chosenCode_)),
                       static_cast<int>(Scope::ChosenDatabase));
    scopeBox_->addItem(QStringLiteral("All databases"), static_cast<int>(Scope::AllDatabases));
    scopeBox_->setCurrentIndex(choices.scope == Scope::AllDatabases ? 1 : 0);

    count_->setObjectName(QStringLiteral("FindCount"));
    count_->setTextInteractionFlags(Qt::NoTextInteraction);

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
    const int letter = fontMetrics().averageCharWidth();
    header->resizeSection(CSurnameMatchModel::kDatabaseColumn, 34 * letter);
    header->setSectionResizeMode(CSurnameMatchModel::kSurnameColumn, QHeaderView::Stretch);
    header->resizeSection(CSurnameMatchModel::kPeopleColumn, 9 * letter);

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
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(matchesLine);
    layout->addWidget(list_, 1);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    setTabOrder(text_, modeBox_);
    setTabOrder(modeBox_, scopeBox_);
    setTabOrder(scopeBox_, list_);
    setTabOrder(list_, searchButton_);
    setTabOrder(searchButton_, cancel);
    resize(QSize(70 * letter, 30 * fontMetrics().height()).expandedTo(sizeHint()));

    connect(text_, &QLineEdit::textChanged, this, &CFindSurnameDlg::ScheduleRefresh);
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
    choices.scope = static_cast<Scope>(scopeBox_->currentData().toInt());
    return choices;
}

void CFindSurnameDlg::ScheduleRefresh() {
    if (refreshPending_) return;
    refreshPending_ = true;
    // One listing for all the keys that arrived together.
    QTimer::singleShot(0, this, [this]() {
        if (refreshPending_) Refresh();
    });
}

void CFindSurnameDlg::Refresh() {
    refreshPending_ = false;
    // The match the user stands on stays current while it still matches.
    ListedSurname kept;
    if (const ListedSurname* current = model_->Match(list_->currentIndex().row())) kept = *current;
    const QByteArray typed = cp1252::FromQString(text_->text());
    if (typed.isEmpty()) {
        model_->SetMatches({});
        ShowCount(QStringLiteral("Type a surname, or a part of one."));
        problem_->clear();
        problem_->hide();
        return;
    }

    const Choices choices = CurrentChoices();
    std::vector<int> codes;
    if (choices.scope == Scope::AllDatabases) {
        codes = surname_listing::EveryDatabase();
    } else if (chosenCode_ != 0) {
        codes.push_back(chosenCode_);
    }
    const std::vector<CSurnameMatcher> queries = {CSurnameMatcher(
        choices.mode, std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())))};
    surname_listing::ListingOptions options;
    // No prompt: the list follows the typing, and an absent disk is said in the dialog.
    options.skipMissing = true;
    ListingOutcome outcome = surname_listing::List(dirs_, codes, queries, options);

    // One query, so one list of matches.
    model_->SetMatches(std::move(outcome.matches.front()));
    const int rows = model_->rowCount();
    if (rows == 0) {
        ShowCount(QStringLiteral("No surname matches."));
    } else {
        const long people = model_->PeopleCount();
        ShowCount(QStringLiteral("%1 %2 (%3 %4).")
                      .arg(rows)
                      .arg(rows == 1 ? QStringLiteral("surname matches") : QStringLiteral("surnames match"))
                      .arg(people)
                      .arg(people == 1 ? QStringLiteral("person") : QStringLiteral("people")));
    }
    const int keptRow = model_->RowOf(kept.code, kept.surname);
    SelectMatch(keptRow >= 0 ? keptRow : 0);

    const QString problems = ProblemsOf(outcome);
    problem_->setText(problems);
    problem_->setVisible(!problems.isEmpty());
}

QString CFindSurnameDlg::ProblemsOf(const ListingOutcome& outcome) const {
    QStringList lines;
    if (outcome.cancelled) {
        lines << QStringLiteral(
            "No data disk: Chronara cannot find the data disk. Insert or mount it; the list follows "
            "as you type.");
    }
    for (const std::string& message : outcome.messages) lines << cp1252::ToQString(message.c_str());
    if (!outcome.skipped.empty()) {
        QStringList titles;
        for (int code : outcome.skipped) titles << DatabaseTitle(code);
        lines << QStringLiteral("Not on this disk: %1.").arg(titles.join(QStringLiteral(", ")));
    }
    return lines.join(QLatin1Char('\n'));
}

void CFindSurnameDlg::ShowCount(const QString& text) {
    count_->setText(text);
    // A screen reader in the text field hears how many match.
    text_->setAccessibleDescription(text);
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
    if (refreshPending_) Refresh();
    const ListedSurname* match = model_->Match(list_->currentIndex().row());
    if (match == nullptr) {
        QApplication::beep();
        return;
    }
    if (match->surname.size() > CSearchSession::kMaxSurname) {
        problem_->setText(QStringLiteral("%1 has %2 letters; a search takes at most %3, so it cannot be "
                                         "searched from the window.")
                              .arg(cp1252::ToQString(match->surname.c_str()))
                              .arg(match->surname.size())
                              .arg(CSearchSession::kMaxSurname));
        problem_->show();
        QApplication::beep();
        return;
    }
    chosen_ = *match;
    QDialog::accept();
}

bool CFindSurnameDlg::eventFilter(QObject* watched, QEvent* event) {
    // Up, Down and the page keys in the text field move in the list of matches.
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        const int code = key->key();
        if (modifiers == Qt::NoModifier && (code == Qt::Key_Up || code == Qt::Key_Down ||
                                            code == Qt::Key_PageUp || code == Qt::Key_PageDown)) {
            if (refreshPending_) Refresh();
            if (model_->rowCount() > 0 && !list_->currentIndex().isValid()) {
                SelectMatch(0);
            } else {
                QKeyEvent moved(QEvent::KeyPress, code, key->modifiers());
                QApplication::sendEvent(list_, &moved);
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
