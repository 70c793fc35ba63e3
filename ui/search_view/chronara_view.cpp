#include "ui/search_view/chronara_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QToolTip>

#include "browse/word_index/word_index_cache.h"
#include "ui/common/typed_text.h"
#include "ui/search_view/dialog_keys.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/view_layout.h"

using namespace view_layout;

CChronaraView::CChronaraView(const CViewDoc& doc, const CDirectories& dirs, QWidget* parent)
    : CViewView(doc, dirs, parent) {}

CChronaraView::~CChronaraView() { Destroy(); }

int CChronaraView::OnCreate() {
    if (CViewView::OnCreate() == -1) return -1;
    connect(&Keys(), &CDialogKeys::menuCommand, this,
            [this](MenuCommand command) { RunMenuCommand(command); });
    connect(&Keys(), &CDialogKeys::editMenuRequested, this, &CChronaraView::ShowEditMenu);
    connect(ResultList(), &CResultList::menuRequested, this, [this](const QPoint& at) { OnContextMenu(at); });
    return 0;
}

void CChronaraView::RunMenuCommand(MenuCommand command) { RunMenuCommand(command, ListHasFocus()); }

void CChronaraView::RunMenuCommand(MenuCommand command, bool fromList) {
    CViewLifetime::Scope scope(Lifetime());
    if (Lifetime().Closed()) return;
    const int row = SelectedRow();
    // A record's command without a record to act on: the menus offer it
    // disabled, and its key (Ctrl+P, Ctrl+Shift+C) beeps.
    const bool onRecord = command == MenuCommand::CopyRecord || command == MenuCommand::PrintRecord ||
                          command == MenuCommand::CopyCitation ||
                          command == MenuCommand::ExportRecordToFamilyTree;
    if (onRecord && (row < 0 || row >= RowsOnPage())) {
        QApplication::beep();
        return;
    }
    CResultsCommands& commands = Commands();
    switch (command) {
        case MenuCommand::None:
            break;
        case MenuCommand::FindSurname:
            OnFindSurname();
            break;
        case MenuCommand::FindRecords:
            OnFindRecords();
            break;
        case MenuCommand::MoreInfo:
        case MenuCommand::ShowInMainWindow:
            // Find in Records' own.
            break;
        case MenuCommand::CopyRows:
            commands.CopyRows(row);
            break;
        case MenuCommand::CopyRecord:
            commands.CopyRecord(row);
            break;
        case MenuCommand::ExportResults:
            commands.ExportResults();
            break;
        case MenuCommand::PrintRecord:
            commands.PrintRecord(row);
            break;
        case MenuCommand::PrintResults:
            commands.PrintResults();
            break;
        case MenuCommand::CopyCitation:
            commands.CopyCitationOfRow(row);
            break;
        case MenuCommand::ExportRecordToFamilyTree:
            commands.ExportRowToFamilyTree(row);
            break;
        case MenuCommand::ExportResultsToFamilyTree:
            commands.ExportResultsToFamilyTree();
            break;
        case MenuCommand::MatchNameVariants:
            SetNameVariants(!NameVariants());
            break;
    }
    // The dialogs gave the window its activation back, which means the
    // surname edit unless the list is named. The finders have placed the
    // keyboard themselves (a new search has new rows).
    if (fromList && command != MenuCommand::FindSurname && command != MenuCommand::FindRecords)
        ReturnFromDialog(true);
}

void CChronaraView::ExecMenu(QMenu& menu, const QPoint& globalPos) {
    CViewLifetime::Scope scope(Lifetime());
    const bool fromList = ListHasFocus();
    // The entry's command runs once the menu has closed.
    const MenuCommand chosen = view_menus::Run(menu, globalPos);
    if (chosen != MenuCommand::None) RunMenuCommand(chosen, fromList);
}

std::unique_ptr<QMenu> CChronaraView::MakeListMenu() {
    view_menus::ListState state;
    state.rows = RowsOnPage();
    state.selected = SelectedRow() >= 0 && SelectedRow() < state.rows;
    state.results = RecordCount() > 0;
    return view_menus::ListMenu(this, state);
}

std::unique_ptr<QMenu> CChronaraView::MakeSurnameMenu() { return view_menus::SurnameMenu(Form().Surname()); }

std::unique_ptr<QMenu> CChronaraView::MakeFirstNameMenu() {
    return view_menus::FirstNameMenu(Form().FirstName(), NameVariants());
}

void CChronaraView::ShowEditMenu(QLineEdit* edit, const QPoint& globalPos) {
    if (Lifetime().Closed()) return;
    ExecMenu(*(edit == &Form().FirstName() ? MakeFirstNameMenu() : MakeSurnameMenu()), globalPos);
}

bool CChronaraView::OnContextMenu(const QPoint& globalPos) {
    if (Lifetime().Closed()) return false;
    ExecMenu(*MakeListMenu(), globalPos);
    return true;
}

void CChronaraView::OnFindSurname() {
    CViewLifetime::Scope scope(Lifetime());
    if (Lifetime().Closed()) return;
    const bool fromList = ListHasFocus();
    CSearchForm& form = Form();
    CFindSurnameDlg dialog(window(), Directories(), form.DatabaseRow(), form.Surname().text(), findChoices_);
    QByteArray firstName;
    if (typed_text::ToSearched(form.FirstName().text(), firstName))
        dialog.ShowFirstNameFilter(firstName, NameVariants());
    const int answer = dialog.exec();
    if (Lifetime().Closed()) return;
    findChoices_ = dialog.CurrentChoices();
    if (answer != QDialog::Accepted) {
        ReturnFromDialog(fromList);
        return;
    }
    // The first-name edit keeps its text, unless the user dropped the filter in the dialog.
    if (!dialog.KeepsFirstName()) form.FirstName().clear();
    // Every match is of a database of the list, so it has a row.
    const bool searched = SearchListedSurname(dialog.Chosen().code, dialog.Chosen().surname);
    // From the list, the keyboard goes on in the list, on the first row of the new search.
    const bool toList = fromList && searched && RowsOnPage() > 0;
    if (toList) SelectRow(0);
    ReturnFromDialog(toList);
    if (!toList) OnSetFocus();
}

CRecordFinder& CChronaraView::RecordFinder() {
    if (finder_ == nullptr)
        finder_ = std::make_unique<CRecordFinder>(Directories(), word_index::CacheFolder());
    return *finder_;
}

void CChronaraView::OnFindRecords() {
    CViewLifetime::Scope scope(Lifetime());
    if (Lifetime().Closed()) return;
    const bool fromList = ListHasFocus();
    CFindRecordsDlg dialog(window(), Directories(), RecordFinder(), Commands().People(), Form().DatabaseRow(),
                           recordsChoices_);
    const int answer = dialog.exec();
    if (Lifetime().Closed()) return;
    recordsChoices_ = dialog.CurrentChoices();
    if (answer != QDialog::Accepted) {
        ReturnFromDialog(fromList);
        return;
    }
    const CFindRecordsDlg::Chosen chosen = dialog.ChosenPerson();
    Form().FirstName().clear();
    const bool shown = SearchListedSurname(chosen.code, chosen.surname) && ShowEntry(chosen.entry);
    // The keyboard goes on in the list, on the person's row.
    ReturnFromDialog(shown);
    if (!shown) OnSetFocus();
}

void CChronaraView::OnLButtonDown(const QPoint& point) {
    // Outside the list area a click changes nothing; below the last row it
    // clears the selection; on a row it also puts the keyboard in the list,
    // so that Enter opens the row.
    if (!kListArea.ToQRect().contains(point)) return;
    const int row = RowAt(point);
    SelectRow(row);
    if (row >= 0) FocusList();
}

void CChronaraView::OnLButtonDblClk(const QPoint& point) {
    if (kListArea.ToQRect().contains(point)) OnMoreInfo();
}

void CChronaraView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) OnLButtonDown(event->position().toPoint());
}

void CChronaraView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) OnLButtonDblClk(event->position().toPoint());
}

bool CChronaraView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return CViewView::event(event);
    // A row's columns are cut where the next begins; its tip gives it whole,
    // as screen readers read it.
    const auto* help = static_cast<QHelpEvent*>(event);
    const int row = RowAt(help->pos());
    if (row < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(), ResultList()->WholeRow(row), this, RowRegion(row).boundingRect());
    return true;
}

void CChronaraView::contextMenuEvent(QContextMenuEvent* event) {
    if (!kListArea.ToQRect().contains(event->pos())) {
        event->ignore();
        return;
    }
    // A right click on a row selects it first, as the entries act on the
    // selection, and puts the keyboard in the list, as a left click does.
    if (event->reason() == QContextMenuEvent::Mouse) {
        const int row = RowAt(event->pos());
        if (row >= 0) {
            SelectRow(row);
            FocusList();
        }
    }
    if (OnContextMenu(event->globalPos())) {
        event->accept();
        return;
    }
    event->ignore();
}
