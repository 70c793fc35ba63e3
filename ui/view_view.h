#pragma once
// CViewView: the search view. It fills the main frame's client area, paints
// the backdrop and the result list itself, carries the buttons and owns the
// search session (the record database, the query and the pager of a search).
// CChronaraView (the class actually created) adds the edit boxes' creation,
// the database list, the mouse handling of the list and the search itself.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QRegion>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "ui/help_window.h"

class CBitmapButton;
class CCountLine;
class CDirectories;
class CResultList;
class CResultPager;
class CSearchSession;
class CViewDoc;
struct ExportedHit;
class QAbstractButton;
class QContextMenuEvent;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QPainter;
class QPrinter;
class QPushButton;

class CViewView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowTextCount = 15;
    static constexpr std::size_t kRowTextSize = 500;

    CViewView(const CViewDoc& doc, const CDirectories& dirs, QWidget* parent);
    ~CViewView() override;

    // Window creation: runs OnCreate once; false when it failed.
    bool Create();
    // Window destruction: runs OnDestroy once. The most derived destructor calls it.
    void Destroy();

    virtual void OnInitialUpdate();
    // The search with a surname of at most 19 characters; nothing here.
    virtual void DoSearch(const char* surname);

    // Paints the count line, the rows and the highlight, and sets the
    // enabled state of Prev, Next and More Info.
    void PaintList(QPainter& d, int rows, long count);
    // Repaints only the list area and the count area; the focus stays.
    void RefreshList();
    // Refills the row texts from the pager, then RefreshList.
    void FormatRows();

    // Command handlers.
    void OnSearch();
    void OnClear();
    void OnShowHelp();
    void OnQuit();
    void OnMoreInfo();
    // A page turn; true when the page turned.
    bool OnPrevPage();
    bool OnNextPage();
    // Focus rule: the view never keeps the focus; it goes to the surname edit.
    void OnSetFocus();
    // Cursor rule: the hourglass while busy, else the arrow, over the view and its controls.
    void OnSetCursor();

    // Selects row (-1 or a row the page does not hold: none) with the
    // highlight and the More Info state that a click gives.
    void SelectRow(int row);
    // The result list's keys: Up, Down, Home, End, Page Up, Page Down,
    // Enter, the menu key and Shift+F10. False for any other key.
    bool OnListKey(int key, Qt::KeyboardModifiers modifiers);
    // The result list got or lost the focus.
    void OnListFocus();
    void OnListFocusOut();
    // The result list's context menu (the menu key, Shift+F10 or a right
    // click in the list area, at globalPos); true once it has been shown.
    bool OnContextMenu(const QPoint& globalPos);

    // Find Surname (Ctrl+F and the context menus); nothing here.
    virtual void OnFindSurname();
    // Copy (Ctrl+C): the selected row, or every row of the page when none
    // is selected, as tab-separated lines (surname, given names, summary).
    void OnCopyRows();
    // The selected row's More Info title and full text.
    void OnCopyRecord();
    // Every hit of the search shown into a CSV file that the user names.
    void OnExportResults();
    // The selected row's record, and every hit as a list, through the print dialog.
    void OnPrintRecord();
    void OnPrintResults();

    // The commands of the context menus.
    enum class MenuCommand {
        FindSurname = 1,
        CopyRows,
        CopyRecord,
        ExportResults,
        PrintRecord,
        PrintResults
    };
    void RunMenuCommand(MenuCommand command);
    // The result list's menu, its entries enabled where they can act now.
    std::unique_ptr<QMenu> MakeListMenu();
    // The surname edit's own menu with Find Surname added.
    std::unique_ptr<QMenu> MakeSurnameMenu();

    // What asks for the export file (the path suggested in, the one chosen
    // or empty out), and what runs the print dialog on a printer (true to
    // print); the tests put theirs in place of the real dialogs.
    using SaveFileAsker = std::function<QString(QWidget* parent, const QString& suggested)>;
    using PrintDialogRunner = std::function<bool(QPrinter& printer, QWidget* parent)>;
    void SetSaveFileAsker(SaveFileAsker asker) { saveFileAsker_ = std::move(asker); }
    void SetPrintDialogRunner(PrintDialogRunner runner) { printDialogRunner_ = std::move(runner); }
    // Where the export's save dialog starts: the user's documents folder, else home.
    static QString DefaultExportFolder();
    // The text that Copy puts on the clipboard now (empty without rows).
    QString RowsCopyText() const;

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
    int SelectedRow() const { return selectedRow_; }
    bool IsBusy() const { return busy_; }
    bool IsViewDestroyed() const { return viewDestroyed_; }
    const char* RowText(int i) const;
    // The rows the page shows, the count of the search, and whether Next
    // and Prev have a page to go to.
    int RowsOnPage() const;
    long RecordCount() const;
    bool HasNext() const;
    bool HasPrev() const;
    // The row under point of the view, or -1.
    int RowAt(const QPoint& point) const;
    // What the columns of a row show: surname, given names, summary (fewer
    // when a piece is empty); nothing for a row the page does not hold.
    QStringList RowColumns(int row) const;
    // The count line as painted ("23 records found."), and the page shown
    // ("Page 2 of 3"; empty without records).
    QString CountText() const;
    QString PageText() const;
    CResultList* ResultList() const { return resultList_; }
    CCountLine* CountLine() const { return countLine_; }
    CSearchSession* Session() const { return session_.get(); }
    // The pager of the session; null once the view is destroyed.
    CResultPager* Pager() const;
    CHelpWindow* HelpWindow() const { return helpWindow_.data(); }
    // The area that RefreshList repaints: the list area (grown to the rows of
    // a full page when the text is tall) and the count area.
    QRegion ListRegion() const;
    // The three column rectangles of a row.
    QRegion RowRegion(int row) const;

signals:
    void readyToDestroy();

protected:
    virtual int OnCreate();
    virtual void OnDestroy();
    void OnDraw(QPainter& d, bool fullPaint);
    // The dialog-box keyboard: Enter, and Alt with an underlined letter.
    bool PreTranslateMessage(QObject* watched, QEvent* event);
    // Repaints part of the list outside a full paint (no focus change).
    void RepaintList(const QRegion& region);
    // After a modal dialog: the window active again, the focus in the
    // result list when the dialog was opened from it.
    void ReturnFromDialog(bool toList);
    // After a search, a page turn or Clear: the list's Tab stop follows the
    // rows, and screen readers hear of the new count, page and rows.
    void ListChanged();
    // Takes a control into the view: id, name, keyboard and cursor handling.
    void AdoptControl(QWidget* control, int id, const char* name);
    // Ctrl+F, Ctrl+C, Ctrl+P and the surname edit's menu, from any control of the view.
    bool OnCommandKey(QObject* watched, QEvent* event);
    // Prints a record (its More Info title and full text, CR LF lines)
    // through the print dialog, which opens over parent.
    void PrintRecordText(const QString& title, const QString& fullText, QWidget* parent);
    const CDirectories& Directories() const { return dirs_; }
    // Shows an outcome's messages; "wrong file format!" then ends the program.
    // False when the view was destroyed meanwhile.
    template <typename Outcome>
    bool Told(const Outcome& outcome) {
        TellMessages(outcome.messages, outcome.EndsProgram());
        return !viewDestroyed_;
    }
    void TellMessages(const std::vector<std::string>& messages, bool endsProgram);

    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
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

    // The view's fields.
    QLineEdit* surnameEdit_ = nullptr;
    QLineEdit* firstNameEdit_ = nullptr;
    QPushButton* moreInfoButton_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    CBitmapButton* prevButton_ = nullptr;
    CBitmapButton* nextButton_ = nullptr;
    int selectedRow_ = -1;
    bool busy_ = false;
    std::unique_ptr<CSearchSession> session_;
    char rowTexts_[kRowTextCount][kRowTextSize] = {};
    QPushButton* helpButton_ = nullptr;
    QPushButton* quitButton_ = nullptr;
    CResultList* resultList_ = nullptr;
    CCountLine* countLine_ = nullptr;
    // The page shown, 0 for the first; kept for the page that screen readers hear.
    int pageIndex_ = 0;
    // The rows that screen readers were last told of.
    int announcedRows_ = 0;
    // The focus rule means the result list (see ReturnFromDialog).
    bool focusListAgain_ = false;

    // Destroyed flag and first-paint flag, kept per view.
    bool viewDestroyed_ = false;
    bool firstPaintPending_ = true;

private:
    // The button that a key presses: Alt with its underlined letter, F1 for Help.
    QAbstractButton* KeyTarget(QObject* watched, const QKeyEvent& key) const;
    QPushButton* MakeButton(int index);
    CBitmapButton* MakeBitmapButton(int index, const char* up, const char* down, const char* focus,
                                    const char* dim);
    // The result list and the count line, which the view paints, as children for the keyboard and screen
    // readers.
    void CreatePaintedControls();
    QRegion ControlsRegion() const;
    void InvertRow(QPainter& d, int row, int h) const;

    const CViewDoc& doc_;
    const CDirectories& dirs_;
    // Runs the print dialog, then print on the printer it set up; says so when printing failed.
    void PrintThroughDialog(QWidget* parent, const QString& documentName,
                            const std::function<bool(QPrinter&)>& print);
    // Every hit of the search shown (all pages, after the first-name
    // filter); false without hits, or after the message when the disk or a
    // record could not be read.
    bool CollectShownHits(std::vector<ExportedHit>& hits);
    // The selected row's More Info title and full text (CR LF lines); false
    // without a selection, or after the message when it could not be read.
    bool ReadSelectedRecord(QString& title, QString& fullText);
    // Shows the surname edit's menu at globalPos.
    void ShowSurnameMenu(const QPoint& globalPos);
    // Shows a context menu and runs the command taken in it, if any.
    void ExecMenu(QMenu& menu, const QPoint& globalPos);
    // The real dialogs behind the two seams.
    static QString AskSaveFileName(QWidget* parent, const QString& suggested);
    static bool RunPrintDialog(QPrinter& printer, QWidget* parent);

    QPointer<CHelpWindow> helpWindow_;
    SaveFileAsker saveFileAsker_;
    PrintDialogRunner printDialogRunner_;
    int commandDepth_ = 0;
    bool destroyPending_ = false;
    bool created_ = false;
    bool destroyed_ = false;
    // Set while RefreshList or a selection change repaints part of the list.
    bool refreshing_ = false;
    QRegion refreshRegion_;
};
