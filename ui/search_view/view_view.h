#pragma once
// CViewView: the search view, the window of one search session. It fills
// the main frame's client area, paints the backdrop, owns the session (the
// record database, the query and the pager of a search) and the controls,
// and answers the buttons: Search, Clear, More Info, Prev, Next, Help and
// Quit. Its parts do the rest and report to it by signals: the search form
// (CSearchForm: the edit boxes and the database list, read into a search
// request), the dialog-box keyboard (CDialogKeys), the result list
// (CResultList: the rows, their painting, keys and selection), the count
// line (CCountLine) and the offers after a search that found nobody
// (CNobodyOffers: the databases that hold the surname, the close spellings
// in CSpellingHint, a search again with name variants). The rule of
// its life while a handler waits is CViewLifetime's. CChronaraView (the
// class the frame creates) adds the commands of the menus and command keys,
// the mouse on the list, and the two finders.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>

#include "ui/common/help_window.h"
#include "ui/results/result_page.h"
#include "ui/results/results_commands.h"
#include "ui/search_view/nobody_offers.h"
#include "ui/search_view/search_form.h"
#include "ui/search_view/view_lifetime.h"

class CBitmapButton;
class CMoreInfoDlg;
class CCountLine;
class CDialogKeys;
class CPageLine;
class CDirectories;
class COfferLine;
class CResultList;
class CResultPager;
class CSearchSession;
class CSpellingHint;
class CViewDoc;
class QComboBox;
class QLineEdit;
class QPainter;
class QPushButton;
struct FoundPerson;

class CViewView : public QWidget {
    Q_OBJECT
public:
    using SaveFileAsker = CResultsCommands::SaveFileAsker;
    using PrintDialogRunner = CResultsCommands::PrintDialogRunner;
    using Clock = CResultsCommands::Clock;

    CViewView(const CViewDoc& doc, const CDirectories& dirs, QWidget* parent);
    ~CViewView() override;

    // Window creation: runs OnCreate once; false when it failed.
    bool Create();
    // Window destruction: runs OnDestroy once. The most derived destructor calls it.
    void Destroy();

    // The first showing: the focus in the surname edit, the database list on its first row.
    void OnInitialUpdate();

    // Repaints only the list area and the count area; the focus stays.
    void RefreshList();
    // Takes the page the session holds into the list, then RefreshList,
    // then tells screen readers.
    void FormatRows();

    // Command handlers.
    void OnSearch();
    void OnClear();
    void OnShowHelp();
    void OnQuit();
    void OnMoreInfo();
    // The arrow buttons; true when the page turned.
    bool OnPrevPage();
    bool OnNextPage();
    // Focus rule: the view never keeps the focus; it goes to the surname edit.
    void OnSetFocus();
    // Cursor rule: the hourglass while busy, else the arrow, over the view and its controls.
    void OnSetCursor();

    // The search a request asks for (the form's, or a listed surname's):
    // the hourglass while it runs; a typed request without a surname says
    // "Please enter a surname." instead.
    void DoSearch(const SearchRequest& request);
    // The search of a surname a listing found in database code's index: the
    // database list shows the database, the surname edit as much of the
    // surname as it holds, and the whole surname is searched, with the
    // first-name edit's filter, as the Search button searches. False when
    // the list has no row for code, or the window was closed meanwhile.
    bool SearchListedSurname(int code, const std::string& surname);

    // Selects row (-1 or a row the page does not hold: none) with the
    // highlight and the More Info state that a click gives.
    void SelectRow(int row);

    // "Match name variants" (the first-name edit's menu), which the session
    // keeps: the first-name filter of the searches that follow also keeps
    // the variants, the clerks' abbreviations and the initial of the first
    // name typed. Off at start, kept for as long as the window lives.
    void SetNameVariants(bool on);
    bool NameVariants() const;

    // The seams of the export's file dialog, of the print dialog and of the
    // day that citations and family-tree files name.
    void SetSaveFileAsker(SaveFileAsker asker);
    void SetPrintDialogRunner(PrintDialogRunner runner);
    void SetClock(Clock clock);

    // True while a handler runs; a handler may wait in a modal box, and the
    // view must then outlive it.
    bool InCommand() const { return lifetime_.InCommand(); }
    // The window was closed while a handler waits in a modal box: the view
    // counts as destroyed at once, its modal boxes are dismissed, and
    // readyToDestroy follows as soon as the last handler has returned.
    void RequestDestroy();

    // The text height of the view's font, which sets the page size and the rows' bands.
    int TextHeight() const;
    // The control of an id, or null.
    QWidget* GetDlgItem(int id) const;
    int SelectedRow() const;
    bool IsBusy() const { return busy_; }
    bool IsViewDestroyed() const { return lifetime_.Closed(); }
    // Row i of the page as "%s\t%s\t%s" (empty for a row the page does not hold).
    std::string RowText(int i) const;
    // The rows the page shows and the count of the search.
    int RowsOnPage() const;
    long RecordCount() const;
    // The row under point of the view, or -1.
    int RowAt(const QPoint& point) const;
    // The count line as painted ("23 records found.").
    QString CountText() const;
    CResultList* ResultList() const { return resultList_; }
    CCountLine* CountLine() const { return countLine_; }
    // The page shown and the number of pages, under the Pages label.
    CPageLine* PageLine() const { return pageLine_; }
    // The close spellings offered after a search that found nobody.
    CSpellingHint* SpellingHint() const { return &offers_->Spellings(); }
    // The databases that hold the surname typed, and the search again with
    // name variants, offered after a search that found nobody.
    COfferLine* DatabasesOffer() const { return &offers_->Databases(); }
    COfferLine* VariantsOffer() const { return &offers_->Variants(); }
    QComboBox* DatabaseList() const;
    // The pager of the session; null once the view is destroyed.
    CResultPager* Pager() const;
    CHelpWindow* HelpWindow() const { return helpWindow_.data(); }
    // The area that RefreshList repaints: the list (grown to the rows of a
    // full page when the text is tall) and the count area.
    QRegion ListRegion() const;
    // The three column rectangles of a row.
    QRegion RowRegion(int row) const;

    // The database code and entry of a row of the page; false without one.
    bool PlaceOfRow(int row, int& code, std::int32_t& entry);
    // The person of a row of the page, read (the data-disk check first);
    // false without one, or after the messages.
    bool PersonOfRow(int row, FoundPerson& person);

signals:
    void readyToDestroy();
    // A search ran to its end (count 0 when it found nobody); a failed one is not said.
    void searched(const SearchRequest& request, long count);
    // More Info of row was opened.
    void recordOpened(int row);
    // More Info of row is about to open in dialog: what else it shows is added then.
    void moreInfoOpening(CMoreInfoDlg* dialog, int row);
    // A page became the one shown (after a search, a page turn, Clear);
    // its rows are not painted yet.
    void pageShown();
    // Save person, asked in More Info of row (over: the dialog).
    void saveRequested(int row, QWidget* over);

protected:
    virtual int OnCreate();
    void OnDestroy();
    // Paints the backdrop; the list and the count line paint themselves over it.
    void OnDraw(QPainter& d);
    // After a modal dialog: the window active again, the focus in the
    // result list when the dialog was opened from it.
    void ReturnFromDialog(bool toList);
    // After a search: the pages are turned, unseen, to the one that holds
    // entry (of the search's database), which is then shown with that row
    // selected; false when no row holds it (the page reached is shown).
    bool ShowEntry(std::int32_t entry);
    // The keyboard into the result list (a click on a row), while it has rows.
    void FocusList();
    bool ListHasFocus() const;

    CViewLifetime& Lifetime() { return lifetime_; }
    CDialogKeys& Keys() const { return *keys_; }
    CSearchForm& Form() const { return *form_; }
    CResultsCommands& Commands() { return *commands_; }
    const CDirectories& Directories() const { return dirs_; }

    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPushButton* MakeButton(int index, const char* name);
    CBitmapButton* MakeBitmapButton(int index, const char* name, const char* up, const char* down,
                                    const char* focus, const char* dim);
    // Takes a control into the view: id, name, keyboard and cursor handling.
    void AdoptControl(QWidget* control, int id, const char* name);
    // The result list, the count line and the close spellings, as children
    // for the keyboard and screen readers, wired to the view.
    void CreatePaintedControls();
    // A key pressed a button: as a click on it.
    void PressButton(int id);
    // The page size, the list's bands and the place of Help and Quit follow
    // the text height of the font.
    void ApplyFont();
    // The search itself: the Empty state while it runs, the session's
    // search, its messages, then the first page (or the Empty state).
    void SearchShown(const SearchRequest& request);
    // Runs the search an offer stands for; the keyboard goes on in its rows.
    void TakeOffer(const std::function<bool()>& search);
    // A page turn, forward (Next) or back (Prev), by button or key.
    bool TurnPage(bool forward);
    // The page the session holds becomes the one shown: the list (no row
    // selected), the count line and the states of Prev and Next. Repaints nothing.
    void ShowPage();
    // Tells screen readers of the page shown: the count line, the page (or
    // the close spellings offered) and the rows.
    void AnnouncePage();
    // The hourglass over the view and its controls while busy.
    void SetBusy(bool busy);

    const CViewDoc& doc_;
    const CDirectories& dirs_;
    CViewLifetime lifetime_;
    CDialogKeys* keys_ = nullptr;
    CSearchForm* form_ = nullptr;
    QPushButton* moreInfoButton_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    CBitmapButton* prevButton_ = nullptr;
    CBitmapButton* nextButton_ = nullptr;
    bool busy_ = false;
    std::unique_ptr<CSearchSession> session_;
    std::unique_ptr<CResultsCommands> commands_;
    QPushButton* helpButton_ = nullptr;
    QPushButton* quitButton_ = nullptr;
    CResultList* resultList_ = nullptr;
    CCountLine* countLine_ = nullptr;
    CPageLine* pageLine_ = nullptr;
    CNobodyOffers* offers_ = nullptr;
    // The focus rule means the result list (see ReturnFromDialog).
    bool focusListAgain_ = false;

    QPointer<CHelpWindow> helpWindow_;
    bool created_ = false;
    bool destroyed_ = false;
};
