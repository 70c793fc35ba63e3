// The search view's creation, destruction, layout and painting.

#include "ui/search_view/view_view.h"

#include <algorithm>
#include <cstdio>

#include <QEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

#include "browse/record_text/search_messages.h"
#include "browse/session/result_pager.h"
#include "browse/session/search_session.h"
#include "platform/message_box.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/resource_names.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/results/result_page.h"
#include "ui/search_view/accessibility.h"
#include "ui/search_view/count_line.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/spelling_hint.h"
#include "ui/search_view/view_doc.h"
#include "ui/search_view/view_layout.h"

using namespace view_layout;

CViewView::CViewView(const CViewDoc& doc, const CDirectories& dirs, QWidget* parent)
    : QWidget(parent), doc_(doc), dirs_(dirs) {
    // Before any control exists: Qt makes a control's interface once, at its first query.
    accessibility::Install();
    setFixedSize(kViewWidth, kViewHeight);
    // The view hands the focus on to the surname edit; clicks on it do not take it.
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

CViewView::~CViewView() { Destroy(); }

bool CViewView::Create() {
    if (created_) return true;
    created_ = true;
    if (OnCreate() != 0) return false;
    CreatePaintedControls();
    ApplyFont();
    return true;
}

void CViewView::CreatePaintedControls() {
    countLine_ = new CCountLine(this);
    countLine_->setGeometry(kCountArea.ToQRect());
    countLine_->Announce(ResultPage{}.CountText(), QString());
    // Hidden until a search finds nobody; then, while the list has no rows,
    // the last Tab stop in the list's place.
    spellingHint_ = new CSpellingHint(this);
    spellingHint_->installEventFilter(this);
    connect(spellingHint_, &CSpellingHint::spellingChosen, this, [this](int index) {
        CommandScope scope(*this);
        if (viewDestroyed_ || index < 0 || index >= spellingHint_->Count()) return;
        const ListedSurname spelling = spellingHint_->Spelling(index);
        SearchSpelling(spelling);
        // The keyboard goes on in what the spelling found, at its first row.
        if (!viewDestroyed_ && resultList_->Rows() > 0) {
            resultList_->setFocus(Qt::OtherFocusReason);
            SelectRow(0);
        }
    });
    // Made after every control, the derived view's included, so that it
    // comes last in the Tab order; it has no control id of its own.
    resultList_ = new CResultList(this);
    resultList_->installEventFilter(this);
    connect(resultList_, &CResultList::selectionChanged, this,
            [this](int row) { moreInfoButton_->setEnabled(row >= 0); });
    connect(resultList_, &CResultList::rowActivated, this, [this](int /*row*/) { OnMoreInfo(); });
    // The first row of the new page is selected, so that the focus has a row to show and to read out.
    connect(resultList_, &CResultList::pageTurnRequested, this, [this](bool forward) {
        if (TurnPage(forward)) SelectRow(0);
    });
    connect(resultList_, &CResultList::menuRequested, this, [this](const QPoint& at) { OnContextMenu(at); });
    connect(resultList_, &CResultList::focusLeft, this, [this]() { focusListAgain_ = false; });
}

void CViewView::Destroy() {
    if (!created_ || destroyed_) return;
    destroyed_ = true;
    OnDestroy();
}

void CViewView::AdoptControl(QWidget* control, int id, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    control->setProperty("controlId", id);
    control->installEventFilter(this);
    control->setCursor(busy_ ? Qt::WaitCursor : Qt::ArrowCursor);
}

void CViewView::SetEditBoxes(QLineEdit* surname, QLineEdit* firstName) {
    surnameEdit_ = surname;
    firstNameEdit_ = firstName;
}

QPushButton* CViewView::MakeButton(int index) {
    const ButtonLayout& entry = kButtons[index];
    auto* button = new QPushButton(QString::fromLatin1(entry.text), this);
    button->setGeometry(entry.rect.ToQRect());
    button->setAutoDefault(false);
    return button;
}

CBitmapButton* CViewView::MakeBitmapButton(int index, const char* up, const char* down, const char* focus,
                                           const char* dim) {
    const ButtonLayout& entry = kButtons[index];
    auto* button = new CBitmapButton(this);
    button->setGeometry(entry.rect.ToQRect());
    button->LoadBitmaps(up, down, focus, dim);
    button->SizeToContent();
    button->setEnabled(false);
    return button;
}

int CViewView::OnCreate() {
    session_ = std::make_unique<CSearchSession>(
        dirs_, [] { return platform::Ask(search_messages::kInsertDiskText); });
    commands_ =
        std::make_unique<CResultsCommands>(*session_, dirs_, this, [this]() { return viewDestroyed_; });
    viewDestroyed_ = false;

    searchButton_ = MakeButton(0);
    searchButton_->setDefault(true);
    AdoptControl(searchButton_, kIdSearch, "Search");
    clearButton_ = MakeButton(1);
    AdoptControl(clearButton_, kIdClear, "Clear");
    moreInfoButton_ = MakeButton(2);
    moreInfoButton_->setEnabled(false);
    AdoptControl(moreInfoButton_, kIdMoreInfo, "MoreInfo");
    prevButton_ = MakeBitmapButton(3, resources::kPrevUp, resources::kPrevDown, resources::kPrevFocus,
                                   resources::kPrevDim);
    AdoptControl(prevButton_, kIdPrev, "Prev");
    // The pictures' captions are painted in the backdrop; screen readers get them as names.
    prevButton_->setAccessibleName(QStringLiteral("Prev"));
    prevButton_->setAccessibleDescription(QStringLiteral("The page before (Page Up in the result list)"));
    nextButton_ = MakeBitmapButton(4, resources::kNextUp, resources::kNextDown, resources::kNextFocus,
                                   resources::kNextDim);
    AdoptControl(nextButton_, kIdNext, "Next");
    nextButton_->setAccessibleName(QStringLiteral("Next"));
    nextButton_->setAccessibleDescription(QStringLiteral("The page after (Page Down in the result list)"));
    helpButton_ = MakeButton(5);
    AdoptControl(helpButton_, kIdHelp, "Help");
    // F1 is Help's key (the view's keyboard presses it at once); set here
    // as the button's shortcut, it is also what screen readers announce.
    helpButton_->setShortcut(QKeySequence(Qt::Key_F1));
    quitButton_ = MakeButton(6);
    AdoptControl(quitButton_, kIdQuit, "Quit");

    connect(searchButton_, &QPushButton::clicked, this, &CViewView::OnSearch);
    connect(clearButton_, &QPushButton::clicked, this, &CViewView::OnClear);
    connect(helpButton_, &QPushButton::clicked, this, &CViewView::OnShowHelp);
    connect(quitButton_, &QPushButton::clicked, this, &CViewView::OnQuit);
    connect(moreInfoButton_, &QPushButton::clicked, this, &CViewView::OnMoreInfo);
    connect(prevButton_, &CBitmapButton::clicked, this, &CViewView::OnPrevPage);
    connect(nextButton_, &CBitmapButton::clicked, this, &CViewView::OnNextPage);
    return 0;
}

void CViewView::OnDestroy() {
    // The help window goes with the view.
    if (!helpWindow_.isNull()) {
        helpWindow_->close();
        delete helpWindow_.data();
    }
    // The controls are the view's children and go with it; until then they
    // no longer reach the view's keyboard and cursor handling.
    for (QObject* child : children()) child->removeEventFilter(this);

    viewDestroyed_ = true;
    commands_.reset();
    if (session_ != nullptr) session_->Close();
    session_.reset();
}

void CViewView::OnInitialUpdate() {
    update();
    OnSetFocus();
}

void CViewView::DoSearch(const char* /*surname*/) {}

void CViewView::ApplyFont() {
    // Tall text (20 pixels or more) pages by 8 and moves Help and Quit up.
    const bool large = TextHeight() >= kLargeTextHeight;
    if (session_ != nullptr) session_->SetPageSize(large);
    if (resultList_ != nullptr) resultList_->FitToFont();
    if (large && helpButton_ != nullptr) {
        helpButton_->setGeometry(kButtons[5].rect.left, kLargeTextButtonTop, kButtonWidth, kButtonHeight);
        quitButton_->setGeometry(kButtons[6].rect.left, kLargeTextButtonTop, kButtonWidth, kButtonHeight);
    }
}

void CViewView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange && created_ && !destroyed_) ApplyFont();
}

int CViewView::TextHeight() const { return fontMetrics().height(); }

QWidget* CViewView::GetDlgItem(int id) const {
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && widget->property("controlId").toInt() == id) return widget;
    }
    return nullptr;
}

CResultPager* CViewView::Pager() const { return session_ != nullptr ? &session_->Pager() : nullptr; }

int CViewView::SelectedRow() const { return resultList_ != nullptr ? resultList_->SelectedRow() : -1; }

bool CViewView::ListHasFocus() const { return resultList_ != nullptr && resultList_->hasFocus(); }

std::string CViewView::RowText(int i) const {
    if (i < 0 || i >= RowsOnPage()) return std::string();
    const ResultRow& row = resultList_->Page().rows[i];
    const QChar tab = QLatin1Char('\t');
    return cp1252::FromQString(row.surname + tab + row.givenNames + tab + row.summary).toStdString();
}

int CViewView::RowsOnPage() const { return resultList_ != nullptr ? resultList_->Rows() : 0; }

long CViewView::RecordCount() const { return resultList_ != nullptr ? resultList_->Page().count : 0; }

QString CViewView::CountText() const {
    return resultList_ != nullptr ? resultList_->Page().CountText() : ResultPage{}.CountText();
}

int CViewView::RowAt(const QPoint& point) const {
    return resultList_ != nullptr ? resultList_->RowAt(point) : -1;
}

QRegion CViewView::ListRegion() const {
    QRect list = kListArea.ToQRect();
    const int pageRows = session_ != nullptr ? session_->PageSize() : CResultPager::kMaxRows;
    list.setHeight(std::max(list.height(), pageRows * TextHeight()));
    return QRegion(list) + QRegion(kCountArea.ToQRect());
}

QRegion CViewView::RowRegion(int row) const {
    return resultList_ != nullptr ? resultList_->RowRegion(row) : QRegion();
}

void CViewView::paintEvent(QPaintEvent* /*event*/) {
    QPainter d(this);
    OnDraw(d);
}

void CViewView::OnDraw(QPainter& d) {
    if (session_ == nullptr) return;
    // The backdrop as drawn for the screen's (or the printer's) pixel ratio.
    doc_.PaintBackdrop(d);
}

void CViewView::RefreshList() {
    // Without a backdrop nothing of the view is painted. The rows' area is
    // repainted, not the list's focus frame around it, which stays as it is.
    if (!doc_.HasBackdrop()) return;
    resultList_->repaint(ListRegion().intersected(resultList_->geometry()).translated(-resultList_->pos()));
    countLine_->repaint();
}

void CViewView::ShowPage(ResultPage page) {
    const bool listHadFocus = resultList_->hasFocus();
    const bool hintHadFocus = spellingHint_->hasFocus();
    prevButton_->setEnabled(page.hasPrev);
    nextButton_->setEnabled(page.hasNext);
    countLine_->SetShownText(page.CountText());
    // Close spellings are offered after the search that found nobody, until the next page shown.
    spellingHint_->SetSpellings({});
    resultList_->SetPage(std::move(page));
    // A list that empties while it has the focus hands it back to the view's
    // rule, and so does the hint as it goes.
    if ((listHadFocus && resultList_->Rows() == 0) || hintHadFocus) OnSetFocus();
}

void CViewView::AnnouncePage() {
    const ResultPage& page = resultList_->Page();
    // Without records there is no page: the close spellings, if any, come with the count.
    countLine_->Announce(page.CountText(), page.Rows() > 0 ? page.PageText() : spellingHint_->Text());
    resultList_->AnnounceRows();
}

void CViewView::FormatRows() {
    ShowPage(ResultPage::Of(*session_, pageIndex_));
    RefreshList();
    AnnouncePage();
}

void CViewView::SelectRow(int row) {
    if (resultList_ != nullptr) resultList_->SelectRow(row);
}
