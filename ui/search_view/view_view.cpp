// The search view: its creation and destruction, layout, painting, the
// page shown, and the buttons' commands.

#include "ui/search_view/view_view.h"

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

#include "browse/record_text/search_messages.h"
#include "browse/session/disk_prompt.h"
#include "browse/session/result_pager.h"
#include "browse/session/search_session.h"
#include "platform/message_box.h"
#include "store/directories.h"
#include "store/path_buffer.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/focus_button.h"
#include "ui/common/resource_names.h"
#include "ui/common/tell_user.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/results/more_info_dlg.h"
#include "ui/search_view/accessibility.h"
#include "ui/search_view/count_line.h"
#include "ui/search_view/dialog_keys.h"
#include "ui/search_view/page_line.h"
#include "ui/search_view/result_list.h"
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
    connect(&lifetime_, &CViewLifetime::readyToDestroy, this, &CViewView::readyToDestroy);
}

CViewView::~CViewView() { Destroy(); }

bool CViewView::Create() {
    if (created_) return true;
    created_ = true;
    if (OnCreate() != 0) return false;
    ApplyFont();
    return true;
}

void CViewView::Destroy() {
    if (!created_ || destroyed_) return;
    destroyed_ = true;
    OnDestroy();
}

void CViewView::AdoptControl(QWidget* control, int id, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    control->setProperty("controlId", id);
    keys_->Watch(*control);
    control->setCursor(busy_ ? Qt::WaitCursor : Qt::ArrowCursor);
}

QPushButton* CViewView::MakeButton(int index, const char* name) {
    const ButtonLayout& entry = kButtons[index];
    auto* button = new CFocusButton(QString::fromLatin1(entry.text), this);
    button->setGeometry(entry.rect.ToQRect());
    button->setAutoDefault(false);
    AdoptControl(button, entry.id, name);
    return button;
}

CBitmapButton* CViewView::MakeBitmapButton(int index, const char* name, const char* up, const char* down,
                                           const char* focus, const char* dim) {
    const ButtonLayout& entry = kButtons[index];
    auto* button = new CBitmapButton(this);
    button->setGeometry(entry.rect.ToQRect());
    button->LoadBitmaps(up, down, focus, dim);
    button->SizeToContent();
    button->setEnabled(false);
    AdoptControl(button, entry.id, name);
    return button;
}

int CViewView::OnCreate() {
    session_ = std::make_unique<CSearchSession>(dirs_, InsertDiskPrompt(dirs_));
    commands_ =
        std::make_unique<CResultsCommands>(*session_, dirs_, this, [this]() { return lifetime_.Closed(); });
    keys_ = new CDialogKeys(*this);
    connect(keys_, &CDialogKeys::buttonPressed, this, &CViewView::PressButton);
    connect(keys_, &CDialogKeys::commandAsked, this, [this](int id) {
        if (id == kIdSearch) OnSearch();
    });

    // The controls in the order of their creation, which is their Tab order.
    searchButton_ = MakeButton(0, "Search");
    searchButton_->setDefault(true);
    clearButton_ = MakeButton(1, "Clear");
    moreInfoButton_ = MakeButton(2, "MoreInfo");
    moreInfoButton_->setEnabled(false);
    prevButton_ = MakeBitmapButton(3, "Prev", resources::kPrevUp, resources::kPrevDown, resources::kPrevFocus,
                                   resources::kPrevDim);
    // The pictures' captions are painted in the backdrop; screen readers get them as names.
    prevButton_->setAccessibleName(QStringLiteral("Prev"));
    prevButton_->setAccessibleDescription(QStringLiteral("The page before (Page Up in the result list)"));
    nextButton_ = MakeBitmapButton(4, "Next", resources::kNextUp, resources::kNextDown, resources::kNextFocus,
                                   resources::kNextDim);
    nextButton_->setAccessibleName(QStringLiteral("Next"));
    nextButton_->setAccessibleDescription(QStringLiteral("The page after (Page Down in the result list)"));
    helpButton_ = MakeButton(5, "Help");
    // F1 is Help's key (the view's keyboard presses it at once); set here
    // as the button's shortcut, it is also what screen readers announce.
    helpButton_->setShortcut(QKeySequence(Qt::Key_F1));
    quitButton_ = MakeButton(6, "Quit");

    connect(searchButton_, &QPushButton::clicked, this, &CViewView::OnSearch);
    connect(clearButton_, &QPushButton::clicked, this, &CViewView::OnClear);
    connect(helpButton_, &QPushButton::clicked, this, &CViewView::OnShowHelp);
    connect(quitButton_, &QPushButton::clicked, this, &CViewView::OnQuit);
    connect(moreInfoButton_, &QPushButton::clicked, this, &CViewView::OnMoreInfo);
    connect(prevButton_, &CBitmapButton::clicked, this, &CViewView::OnPrevPage);
    connect(nextButton_, &CBitmapButton::clicked, this, &CViewView::OnNextPage);

    form_ = new CSearchForm(*this, *keys_);
    OnSetCursor();
    connect(form_, &CSearchForm::searchRequested, this, &CViewView::DoSearch);

    CreatePaintedControls();
    return 0;
}

void CViewView::CreatePaintedControls() {
    countLine_ = new CCountLine(this);
    countLine_->setGeometry(kCountArea.ToQRect());
    countLine_->Announce(ResultPage{}.CountText(), QString());
    pageLine_ = new CPageLine(this);
    // Hidden until a search finds nobody; then, while the list has no rows,
    // the last Tab stop in the list's place.
    // The databases that hold the surname come first in the Tab order, then
    // the close spellings, then the search again with name variants.
    offers_ = new CNobodyOffers(*this, *keys_, dirs_, lifetime_);
    connect(offers_, &CNobodyOffers::surnameChosen, this, [this](int code, const std::string& surname) {
        TakeOffer([&] { return SearchListedSurname(code, surname); });
    });
    connect(offers_, &CNobodyOffers::variantsChosen, this, [this](const SearchRequest& again) {
        TakeOffer([&] {
            SetNameVariants(true);
            DoSearch(again);
            return !lifetime_.Closed();
        });
    });
    // Made after every control, so that it comes last in the Tab order; it
    // has no control id of its own.
    resultList_ = new CResultList(this);
    keys_->Watch(*resultList_);
    connect(resultList_, &CResultList::selectionChanged, this,
            [this](int row) { moreInfoButton_->setEnabled(row >= 0); });
    connect(resultList_, &CResultList::rowActivated, this, [this](int /*row*/) { OnMoreInfo(); });
    // The first row of the new page is selected, so that the focus has a row to show and to read out.
    connect(resultList_, &CResultList::pageTurnRequested, this, [this](bool forward) {
        if (TurnPage(forward)) SelectRow(0);
    });
    connect(resultList_, &CResultList::focusLeft, this, [this]() { focusListAgain_ = false; });
}

void CViewView::OnDestroy() {
    // The help window goes with the view.
    if (!helpWindow_.isNull()) {
        helpWindow_->close();
        delete helpWindow_.data();
    }
    // The controls are the view's children and go with it; until then they
    // no longer reach the view's keyboard.
    keys_->StopWatching();

    lifetime_.MarkDestroyed();
    commands_.reset();
    if (session_ != nullptr) session_->Close();
    session_.reset();
}

void CViewView::RequestDestroy() {
    if (!helpWindow_.isNull()) helpWindow_->close();
    lifetime_.RequestClose();
}

void CViewView::OnInitialUpdate() {
    update();
    OnSetFocus();
    form_->DatabaseList().setCurrentIndex(0);
}

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

void CViewView::PressButton(int id) {
    if (auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id))) button->click();
}

QComboBox* CViewView::DatabaseList() const { return form_ != nullptr ? &form_->DatabaseList() : nullptr; }

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

void CViewView::ShowPage() {
    ResultPage page = ResultPage::Of(*session_);
    const bool listHadFocus = resultList_->hasFocus();
    const bool hintHadFocus = offers_->HasFocus();
    prevButton_->setEnabled(page.hasPrev);
    nextButton_->setEnabled(page.hasNext);
    countLine_->SetShownText(page.CountText());
    pageLine_->SetPage(page.Rows() > 0 ? page.PageText() : QString());
    // The offers are made after the search that found nobody, until the next page shown.
    offers_->Clear();
    resultList_->SetPage(std::move(page));
    emit pageShown();
    // A list that empties while it has the focus hands it back to the view's
    // rule, and so does the hint as it goes.
    if ((listHadFocus && resultList_->Rows() == 0) || hintHadFocus) OnSetFocus();
}

void CViewView::AnnouncePage() {
    const ResultPage& page = resultList_->Page();
    // Without records there is no page: the offers, if any, come with the count.
    countLine_->Announce(page.CountText(), page.Rows() > 0 ? page.PageText() : offers_->Text());
    resultList_->AnnounceRows();
}

void CViewView::FormatRows() {
    ShowPage();
    RefreshList();
    AnnouncePage();
}

void CViewView::SelectRow(int row) {
    if (resultList_ != nullptr) resultList_->SelectRow(row);
}

void CViewView::SetBusy(bool busy) {
    busy_ = busy;
    OnSetCursor();
}

void CViewView::OnSearch() { form_->Submit(); }

void CViewView::DoSearch(const SearchRequest& request) {
    CViewLifetime::Scope scope(lifetime_);
    SetBusy(true);
    if (!request.listed && request.surname.empty()) {
        platform::Tell({search_messages::EnterSurname()});
        OnSetFocus();
    } else {
        SearchShown(request);
    }
    // The view outlives every handler (see RequestDestroy), so this is safe even after a close.
    SetBusy(false);
}

bool CViewView::SearchListedSurname(int code, const std::string& surname) {
    CViewLifetime::Scope scope(lifetime_);
    if (lifetime_.Closed()) return false;
    return form_->SubmitListed(code, surname) && !lifetime_.Closed();
}

void CViewView::SearchShown(const SearchRequest& request) {
    // The session empties the page first: while a box of the search waits,
    // nothing of the page shown can be acted on. The rows stay until the
    // search has ended (a search whose window was closed meanwhile leaves them).
    moreInfoButton_->setEnabled(false);
    prevButton_->setEnabled(false);
    nextButton_->setEnabled(false);
    const char* surname = request.surname.c_str();
    const char* firstName = request.firstName.c_str();
    const SearchOutcome outcome = request.listed ? session_->SearchListed(request.row, surname, firstName)
                                                 : session_->Search(request.row, surname, firstName);
    if (!lifetime_.Tell(outcome)) return;
    ShowPage();
    if (outcome.Done()) emit searched(request, session_->RecordCount());
    // Nobody: the surname is not in the index, or nobody under it has the first name.
    if (outcome.status == SearchStatus::NotFound ||
        (outcome.status == SearchStatus::Found && RecordCount() == 0))
        offers_->Offer(request, outcome.status == SearchStatus::NotFound, NameVariants());
    RefreshList();
    AnnouncePage();
}

void CViewView::TakeOffer(const std::function<bool()>& search) {
    CViewLifetime::Scope scope(lifetime_);
    if (lifetime_.Closed()) return;
    // The keyboard goes on in what the offer found, at its first row.
    if (search() && !lifetime_.Closed() && resultList_->Rows() > 0) {
        resultList_->setFocus(Qt::OtherFocusReason);
        SelectRow(0);
    }
}

void CViewView::OnClear() {
    CViewLifetime::Scope scope(lifetime_);
    moreInfoButton_->setEnabled(false);
    session_->Reset();
    ShowPage();
    RefreshList();
    form_->Clear();
    OnSetFocus();
    AnnouncePage();
}

bool CViewView::TurnPage(bool forward) {
    CViewLifetime::Scope scope(lifetime_);
    // The result list keeps the focus through a turn it asked for.
    const bool fromList = resultList_->hasFocus();
    // A page that could not be read leaves everything as it was, the selection included.
    const SearchOutcome outcome = session_->TurnPage(forward);
    if (!lifetime_.Tell(outcome) || outcome.status != SearchStatus::Found) return false;
    FormatRows();
    // The button that has just been disabled must not keep the focus.
    if (!fromList && !(forward ? session_->HasNext() : session_->HasPrev())) {
        (forward ? prevButton_ : nextButton_)->setFocus(Qt::OtherFocusReason);
    }
    return true;
}

bool CViewView::OnPrevPage() { return TurnPage(false); }

bool CViewView::OnNextPage() { return TurnPage(true); }

bool CViewView::ShowEntry(std::int32_t entry) {
    if (lifetime_.Closed()) return false;
    bool turned = false;
    bool found = false;
    int row = 0;
    for (;;) {
        for (row = 0; row < session_->RowsOnPage(); ++row) {
            std::int32_t at = -1;
            if (session_->Pager().EntryOfRow(row, at).Failed()) break;
            if (at == entry) {
                found = true;
                break;
            }
        }
        if (found || !session_->HasNext()) break;
        const SearchOutcome outcome = session_->TurnPage(true);
        if (!lifetime_.Tell(outcome)) return false;
        if (outcome.status != SearchStatus::Found) break;
        turned = true;
    }
    if (turned) FormatRows();
    if (found) SelectRow(row);
    return found;
}

void CViewView::OnMoreInfo() {
    CViewLifetime::Scope scope(lifetime_);
    const bool fromList = resultList_->hasFocus();
    // Only a row that the current page holds has a record behind it; a
    // record that could not be read opens no dialog (its messages are shown).
    const int row = SelectedRow();
    QString title, text;
    if (!commands_->ReadRecord(row, title, text)) return;
    // The whole record beside the text; one that cannot be read leaves More Info as it was.
    WholeRecordText whole;
    if (!commands_->ReadWholeRecordOfRow(row, title, whole) && lifetime_.Closed()) return;
    CMoreInfoDlg dialog(window());
    dialog.SetTitle(title);
    dialog.SetText(text);
    dialog.SetWholeRecord(std::move(whole));
    // Ctrl+P in the dialog prints the record it shows, with the print dialog over it.
    connect(&dialog, &CMoreInfoDlg::printRequested, this, [this, &dialog]() {
        CViewLifetime::Scope inner(lifetime_);
        commands_->PrintRecordText(dialog.Title(), dialog.Text(), &dialog, &dialog.WholeRecord());
    });
    connect(&dialog, &CMoreInfoDlg::citationRequested, this, [this, row]() {
        CViewLifetime::Scope inner(lifetime_);
        commands_->CopyCitationOfRow(row);
    });
    connect(&dialog, &CMoreInfoDlg::saveRequested, this, [this, row, &dialog]() {
        CViewLifetime::Scope inner(lifetime_);
        emit saveRequested(row, &dialog);
    });
    emit recordOpened(row);
    emit moreInfoOpening(&dialog, row);
    dialog.DoModal();
    ReturnFromDialog(fromList);
}

bool CViewView::PersonOfRow(int row, FoundPerson& person) {
    if (session_ == nullptr || row < 0 || row >= session_->RowsOnPage()) return false;
    const SearchOutcome read = session_->PersonOfRow(row, person);
    if (lifetime_.Closed()) return false;
    TellUser(read);
    return !lifetime_.Closed() && read.status == SearchStatus::Found && person.code != 0;
}

bool CViewView::PlaceOfRow(int row, int& code, std::int32_t& entry) {
    if (session_ == nullptr || row < 0 || row >= session_->RowsOnPage()) return false;
    code = session_->Database().DatabaseCode();
    return !session_->Pager().EntryOfRow(row, entry).Failed() && entry >= 0;
}

void CViewView::OnShowHelp() {
    CViewLifetime::Scope scope(lifetime_);
    char path[256];
    const bool fits = FormatPath(path, "%s%s", dirs_.InstallDir(), resources::kHelpFileName);
    if (helpWindow_.isNull()) helpWindow_ = new CHelpWindow(window());
    if (fits && helpWindow_->ShowContext(path, resources::kHelpContext)) return;
    platform::Tell({fits ? search_messages::HelpFileNotOpened(path)
                         : search_messages::HelpPathTooLong(resources::kHelpFileName)});
}

void CViewView::OnQuit() {
    // Posted, so the window closes from the event loop through its normal close path.
    QMetaObject::invokeMethod(window(), &QWidget::close, Qt::QueuedConnection);
}

void CViewView::SetNameVariants(bool on) {
    session_->SetNameVariants(on);
    form_->ShowNameVariants(on);
}

bool CViewView::NameVariants() const { return session_ != nullptr && session_->NameVariants(); }

void CViewView::SetSaveFileAsker(SaveFileAsker asker) { commands_->SetSaveFileAsker(std::move(asker)); }

void CViewView::SetPrintDialogRunner(PrintDialogRunner runner) {
    commands_->SetPrintDialogRunner(std::move(runner));
}

void CViewView::SetClock(Clock clock) { commands_->SetClock(std::move(clock)); }

void CViewView::OnSetFocus() {
    // A closed view moves the keyboard nowhere.
    if (lifetime_.Closed()) return;
    // Back from a record opened in the result list, the keyboard goes on in the list.
    if (focusListAgain_ && resultList_ != nullptr && resultList_->focusPolicy() != Qt::NoFocus) {
        resultList_->setFocus(Qt::OtherFocusReason);
        return;
    }
    focusListAgain_ = false;
    if (form_ != nullptr) form_->Surname().setFocus(Qt::OtherFocusReason);
}

void CViewView::FocusList() {
    if (resultList_ != nullptr && resultList_->focusPolicy() != Qt::NoFocus) {
        resultList_->setFocus(Qt::MouseFocusReason);
    }
}

void CViewView::ReturnFromDialog(bool toList) {
    if (lifetime_.Closed()) return;
    // Until the focus leaves the list again (Tab, another window), the
    // view's focus rule means the list; then it means the surname edit again.
    focusListAgain_ = toList;
    if (window()->isActiveWindow()) {
        if (toList) OnSetFocus();
        return;
    }
    // A window manager gives the activation back by itself; without one the
    // keyboard would reach no window at all.
    window()->activateWindow();
}

void CViewView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    OnSetFocus();
}

void CViewView::OnSetCursor() {
    // The view answers for its controls as well, edit boxes included.
    const Qt::CursorShape shape = busy_ ? Qt::WaitCursor : Qt::ArrowCursor;
    setCursor(shape);
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && !widget->isWindow() && widget->property("controlId").isValid()) {
            widget->setCursor(shape);
        }
    }
}
