#pragma once
// CChronaraView: the view the frame creates. To the search view's buttons
// and form it adds the commands the user reaches beyond them: the context
// menus (the result list's, the edit boxes') and the command keys, run by
// one command switch (RunMenuCommand); the mouse on the result list (a
// click selects, a double click opens More Info, a right click opens the
// list's menu); and the two finders, Find Surname and Find in Records,
// whose choices and searches it keeps from one opening to the next.

#include <memory>

#include "ui/common/view_menus.h"
#include "ui/find_records/find_records_dlg.h"
#include "ui/find_surname/find_surname_dlg.h"
#include "ui/search_view/view_view.h"

class CViewerResearch;
class QLineEdit;
class QMenu;

class CChronaraView : public CViewView {
    Q_OBJECT
public:
    CChronaraView(const CViewDoc& doc, const CDirectories& dirs, QWidget* parent);
    ~CChronaraView() override;

    // Runs a command of the menus and the command keys. Started from the
    // result list, it gives the keyboard back to the list when it ends,
    // cancelled or not, on the row it was on.
    void RunMenuCommand(MenuCommand command);
    // The result list's menu, its entries enabled where they can act now,
    // and the edit boxes' own menus with the view's entries added.
    std::unique_ptr<QMenu> MakeListMenu();
    std::unique_ptr<QMenu> MakeSurnameMenu();
    std::unique_ptr<QMenu> MakeFirstNameMenu();
    // The result list's context menu (the menu key, Shift+F10 or a right
    // click in the list area, at globalPos); true once it has been shown.
    bool OnContextMenu(const QPoint& globalPos);

    // Find Surname (Ctrl+F and the context menus); the match taken is
    // searched (SearchListedSurname).
    void OnFindSurname();
    // Find in Records (Ctrl+Shift+F and the context menus); the person it
    // shows in the main window is searched by their surname alone (the
    // first-name edit is emptied, so that they are among the people
    // listed) and selected on their page.
    void OnFindRecords();
    // Find in Records' searches, made with the first use.
    CRecordFinder& RecordFinder();

    // The first showing, then the choices the user's settings keep.
    void OnInitialUpdate();
    // The seen marks of the page shown, from the research log.
    void ShowSeen();
    // Save person (Ctrl+S): the person of row, with a note asked over over.
    void SaveRow(int row, QWidget* over);
    // The Research Log window (Ctrl+L); a search chosen in it is run again
    // as it was asked: a surname searched, a listing or a record search
    // opened in its finder.
    void OnResearchLog();
    // What the viewer remembers: the research log and the settings.
    CViewerResearch& Research() const { return *research_; }

    void OnLButtonDown(const QPoint& point);
    void OnLButtonDblClk(const QPoint& point);

protected:
    int OnCreate() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The tip of a row under the mouse: the row whole.
    bool event(QEvent* event) override;

private:
    // The research log and the settings, wired to the view.
    void CreateResearch();
    // RunMenuCommand, told whether the list had the keyboard when the command was asked for.
    void RunMenuCommand(MenuCommand command, bool fromList);
    // Shows an edit box's menu at globalPos.
    void ShowEditMenu(QLineEdit* edit, const QPoint& globalPos);
    // Shows a context menu and runs the command taken in it, if any.
    void ExecMenu(QMenu& menu, const QPoint& globalPos);

    // The dialog's matching and scope, from one opening to the next.
    CFindSurnameDlg::Choices findChoices_;
    // Find in Records' query and choices, and its searches, with the
    // indexes they opened, from one opening to the next.
    CFindRecordsDlg::Choices recordsChoices_;
    std::unique_ptr<CRecordFinder> finder_;
    CViewerResearch* research_ = nullptr;
    // The same person in other databases, for More Info and Compare.
    class CViewerLinks* links_ = nullptr;
};
