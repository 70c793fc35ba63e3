#pragma once
// The commands of the viewer's context menus and command keys, and the
// menus themselves, made in this one place: the result list's menu, the
// edit boxes' menus (their own entries, Find Surname and Find in Records,
// and in the first-name box the name-variants option), the menu of More
// Info's text, and the menu of the people Find in Records found. A new command is
// a MenuCommand, an entry in the menus that offer it, and, if it has one,
// its key in CommandOfKey; the view runs it (CChronaraView::RunMenuCommand).

#include <memory>

class QAction;
class QKeyEvent;
class QLineEdit;
class QKeySequence;
class QMenu;
class QPlainTextEdit;
class QPoint;
class QWidget;

enum class MenuCommand {
    None = 0,
    FindSurname,
    CopyRows,
    CopyRecord,
    ExportResults,
    PrintRecord,
    PrintResults,
    CopyCitation,
    ExportRecordToFamilyTree,
    ExportResultsToFamilyTree,
    MatchNameVariants,
    FindRecords,
    MoreInfo,
    ShowInMainWindow,
    SavePerson,
    ResearchLog
};

namespace view_menus {

// What the result list's entries depend on when its menu opens.
struct ListState {
    int rows = 0;           // rows on the page
    bool selected = false;  // a row of the page is selected
    bool results = false;   // the search shown found anyone
};

std::unique_ptr<QMenu> ListMenu(QWidget* parent, const ListState& state);
// The people Find in Records found: More Info, Show in Main Window, and
// the result list's copy, export and print (rows: the people read, selected:
// a person is current, results: anyone was found).
std::unique_ptr<QMenu> FoundMenu(QWidget* parent, const ListState& state);
// The edit's own menu (undo, cut, copy, paste, select all) with the view's entries added.
std::unique_ptr<QMenu> SurnameMenu(QLineEdit& edit);
// The same for the first-name edit, with the checkable "Match name variants".
std::unique_ptr<QMenu> FirstNameMenu(QLineEdit& edit, bool nameVariants);
// More Info's text: its own menu (copy, select all), Copy citation and Print record.
std::unique_ptr<QMenu> RecordTextMenu(QPlainTextEdit& text);

// The command an entry of these menus runs (None for the edit's own entries).
MenuCommand CommandOf(const QAction* action);
// Runs menu at globalPos until it closes, however its entry was taken (a
// click, Enter, its letter or its shortcut), and gives the entry's command
// for the caller to run then: None when no entry was taken, or one of the
// edit's own, which acts by itself.
MenuCommand Run(QMenu& menu, const QPoint& globalPos);
// The command a key runs anywhere in the window: Ctrl+F, Ctrl+Shift+F,
// Ctrl+C, Ctrl+Shift+C (the citation), Ctrl+P, Ctrl+S (Save person) and
// Ctrl+L (the Research Log); More Info answers Ctrl+Shift+C, Ctrl+P and
// Ctrl+S too.
MenuCommand CommandOfKey(const QKeyEvent& key);
// The same in Find in Records: Ctrl+C, Ctrl+Shift+C, Ctrl+P, and
// Ctrl+Enter (Show in Main Window).
MenuCommand FoundCommandOfKey(const QKeyEvent& key);

}  // namespace view_menus
