#pragma once
// CViewView: the search view. It fills the main frame's client area, paints
// the backdrop, carries the buttons and owns the search session (the
// record database, the query and the pager of a search). Its children do
// the rest and report to it by signals: the result list (CResultList: the
// rows, their painting, keys and selection), the count line (CCountLine),
// and the commands on what a search found (CResultsCommands); the menus
// and command keys are made in ui/view_menus. CChronaraView (the class
// actually created) adds the edit boxes' creation, the database list, the
// mouse handling of the list and the search itself.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <QPointer>
#include <QRegion>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "ui/common/help_window.h"
#include "ui/common/view_menus.h"
#include "ui/results/result_page.h"
#include "ui/results/results_commands.h"

class CBitmapButton;
class CCountLine;
class CDirectories;
class CResultList;
class CResultPager;
class CSearchSession;
class CSpellingHint;
class CViewDoc;
class QAbstractButton;
class QContextMenuEvent;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QPainter;
class QPushButton;
struct ListedSurname;

class CViewView : public QWidget {
    Q_OBJECT
public:
    using MenuCommand = ::MenuCommand;
    using SaveFileAsker = CResultsCommands::SaveFileAsker;
    using PrintDialogRunner = CResultsCommands::PrintDialogRunner;
    using Clock = CResultsCommands::Clock;

    CViewView(const CViewDoc& doc, const CDirectories& dirs, QWidget* parent);
    ~CViewView() override;

    // Window creation: runs OnCreate once; false when it failed.
    bool Create();
    // Window destruction: runs OnDestroy once. The most derived destructor calls it.
    void Destroy();

    virtual void OnInitialUpdate();
    // The search with a surname of at most 19 characters; nothing here.
    virtual void DoSearch(const char* surname);

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

    // Selects row (-1 or a row the page does not hold: none) with the
    // highlight and the More Info state that a click gives.
    void SelectRow(int row);
    // The result list's context menu (the menu key, Shift+F10 or a right
    // click in the list area, at globalPos); true once it has been shown.
    bool OnContextMenu(const QPoint& globalPos);
    // Find Surname (Ctrl+F and the context menus); nothing here.
    virtual void OnFindSurname();
    // Find in Records (Ctrl+Shift+F and the context menus); nothing here.
    virtual void OnFindRecords();
    // Runs a command of the menus and the command keys. Started from the
    // result list, it gives the keyboard back to the list when it ends,
    // cancelled or not, on the row it was on.
    void RunMenuCommand(MenuCommand command);
    // The result list's menu, its entries enabled where they can act now,
    // and the surname edit's own menu with the view's entries added.
    std::unique_ptr<QMenu> MakeListMenu();
    std::unique_ptr<QMenu> MakeSurnameMenu();
    std::unique_ptr<QMenu> MakeFirstNameMenu();

    // "Match name variants" (the first-name edit's menu): the first-name
    // filter of the searches that follow also keeps the variants, the
    // clerks' abbreviations and the initial of the first name typed. Off at
    // start, kept for as long as the window lives.
    void SetNameVariants(bool on);
    bool NameVariants() const { return nameVariants_; }

    // The seams of the export's file dialog, of the print dialog and of the
    // day that citations and family-tree files name.
    void SetSaveFileAsker(SaveFileAsker asker);
    void SetPrintDialogRunner(PrintDialogRunner runner);
    void SetClock(Clock clock);

    // True while a handler runs; a handler may wait in a modal box, and the
    // view must then outlive it.
    bool InCommand() const { return commandDepth_ > 0; }
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
    bool IsViewDestroyed() const { return viewDestroyed_; }
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
    // The close spellings offered after a search that found nobody.
    CSpellingHint* SpellingHint() const { return spellingHint_; }
    // The pager of the session; null once the view is destroyed.
    CResultPager* Pager() const;
    CHelpWindow* HelpWindow() const { return helpWindow_.data(); }
    // The area that RefreshList repaints: the list (grown to the rows of a
    // full page when the text is tall) and the count area.
    QRegion ListRegion() const;
    // The three column rectangles of a row.
    QRegion RowRegion(int row) const;

signals:
    void readyToDestroy();

protected:
    virtual int OnCreate();
    virtual void OnDestroy();
    // Paints the backdrop; the list and the count line paint themselves over it.
    void OnDraw(QPainter& d);
    // The dialog-box keyboard: Enter, and Alt with an underlined letter.
    bool PreTranslateMessage(QObject* watched, QEvent* event);
    // After a modal dialog: the window active again, the focus in the
    // result list when the dialog was opened from it.
    void ReturnFromDialog(bool toList);
    // Takes a control into the view: id, name, keyboard and cursor handling.
    void AdoptControl(QWidget* control, int id, const char* name);
    // A close spelling taken from the hint: searched as the Search button
    // searches, in its database; nothing here.
    virtual void SearchSpelling(const ListedSurname& spelling);
    // The two edit boxes, which the derived view creates.
    void SetEditBoxes(QLineEdit* surname, QLineEdit* firstName);
    QLineEdit* SurnameEdit() const { return surnameEdit_; }
    QLineEdit* FirstNameEdit() const { return firstNameEdit_; }
    bool ListHasFocus() const;
    // The search itself: the Empty state while it runs, the session's
    // search, its messages, then the first page (or the Empty state).
    // listed: the surname as a listing found it, searched whole (see
    // CSearchSession::SearchListed); else the typed one.
    void SearchShown(int row, const char* surname, const char* firstName, bool listed = false);
    // The hourglass over the view and its controls while busy.
    void SetBusy(bool busy);
    // After a search: the pages are turned, unseen, to the one that holds
    // entry (of the search's database), which is then shown with that row
    // selected; false when no row holds it (the page reached is shown).
    bool ShowEntry(std::int32_t entry);
    CResultsCommands& Commands() { return *commands_; }
    // The keyboard into the result list (a click on a row), while it has rows.
    void FocusList();
    const CDirectories& Directories() const { return dirs_; }

    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Scope of a handler that may run a nested event loop.
    class CommandScope {
    public:
        explicit CommandScope(CViewView& view);
        ~CommandScope();
        CommandScope(const CommandScope&) = delete;
        CommandScope& operator=(const CommandScope&) = delete;

    private:
        CViewView& view_;
    };

private:
    // The button that a key presses: Alt with its underlined letter, F1 for Help.
    QAbstractButton* KeyTarget(QObject* watched, const QKeyEvent& key) const;
    QPushButton* MakeButton(int index);
    CBitmapButton* MakeBitmapButton(int index, const char* up, const char* down, const char* focus,
                                    const char* dim);
    // The result list and the count line, as children for the keyboard and
    // screen readers, wired to the view.
    void CreatePaintedControls();
    // The page size, the list's bands and the place of Help and Quit follow
    // the text height of the font.
    void ApplyFont();
    // A page turn, forward (Next) or back (Prev), by button or key.
    bool TurnPage(bool forward);
    // page becomes the one shown: the list (no row selected), the count
    // line and the states of Prev and Next. Repaints nothing.
    void ShowPage(ResultPage page);
    // Tells screen readers of the page shown: the count line, the page (or
    // the close spellings offered) and the rows.
    void AnnouncePage();
    // After a search whose surname is not in the index: its close spellings
    // in the database of row, those a search can take, in the list area.
    void OfferCloseSpellings(int row, const char* surname);
    // Ctrl+F, Ctrl+C, Ctrl+P and the surname edit's menu, from any control of the view.
    bool OnCommandKey(QObject* watched, QEvent* event);
    // Shows an edit box's menu at globalPos.
    void ShowEditMenu(QObject* edit, const QPoint& globalPos);
    // Shows a context menu and runs the command taken in it, if any.
    void ExecMenu(QMenu& menu, const QPoint& globalPos);
    // RunMenuCommand, told whether the list had the keyboard when the command was asked for.
    void RunMenuCommand(MenuCommand command, bool fromList);

    const CViewDoc& doc_;
    const CDirectories& dirs_;
    QLineEdit* surnameEdit_ = nullptr;
    QLineEdit* firstNameEdit_ = nullptr;
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
    CSpellingHint* spellingHint_ = nullptr;
    bool nameVariants_ = false;
    // The page shown, 0 for the first; kept for the page that screen readers hear.
    int pageIndex_ = 0;
    // The focus rule means the result list (see ReturnFromDialog).
    bool focusListAgain_ = false;
    bool viewDestroyed_ = false;

    QPointer<CHelpWindow> helpWindow_;
    int commandDepth_ = 0;
    bool destroyPending_ = false;
    bool created_ = false;
    bool destroyed_ = false;
};
