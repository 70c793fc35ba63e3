#include "ui/search_view/chronara_view.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QToolTip>

#include "browse/record_text/found_person.h"
#include "browse/research_log/log_entries.h"
#include "browse/word_index/word_index_cache.h"
#include "store/catalogue.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/typed_text.h"
#include "ui/links/viewer_links.h"
#include "ui/research_log/viewer_log.h"
#include "ui/research_log/viewer_research.h"
#include "ui/results/more_info_dlg.h"
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
    CreateResearch();
    return 0;
}

void CChronaraView::CreateResearch() {
    CViewerResearch::Host host;
    host.surname = &Form().Surname();
    host.firstName = &Form().FirstName();
    host.databaseList = &Form().DatabaseList();
    host.setNameVariants = [this](bool on) { SetNameVariants(on); };
    research_ = new CViewerResearch(Directories(), std::move(host), QString(), this);
    findChoices_ = research_->SurnameChoices();
    recordsChoices_ = research_->RecordsChoices();
    connect(this, &CViewView::searched, research_, [this](const SearchRequest& request, long count) {
        research_->Searched(request.row, request.surname, request.firstName, NameVariants(), count);
    });
    connect(this, &CViewView::saveRequested, research_,
            [this](int row, QWidget* over) { SaveRow(row, over); });
    connect(this, &CViewView::recordOpened, research_, [this](int row) {
        int code = 0;
        std::int32_t entry = -1;
        if (PlaceOfRow(row, code, entry)) research_->Opened(code, entry);
        ShowSeen();
    });
    connect(this, &CViewView::pageShown, research_, [this]() { ShowSeen(); });
    links_ = new CViewerLinks(Directories(), research_->Log(), Commands().People(), this);
    connect(this, &CViewView::moreInfoOpening, links_, [this](CMoreInfoDlg* dialog, int row) {
        int code = 0;
        std::int32_t entry = -1;
        if (PlaceOfRow(row, code, entry)) links_->Attach(*dialog, code, entry);
    });
    connect(links_, &CViewerLinks::saveRequested, research_,
            [this](const ExportedHit& person, QWidget* over) { research_->SavePerson(over, person); });
    // The Research Log window's saved people: their More Info has links, and two compare.
    connect(research_, &CViewerResearch::moreInfoOpening, links_,
            [this](CMoreInfoDlg* dialog, const ExportedHit& person) {
                links_->Attach(*dialog, person.code, person.entry);
            });
    connect(research_, &CViewerResearch::compareRequested, links_,
            [this](const research_log::PersonOnDisk& first, const research_log::PersonOnDisk& second) {
                links_->Compare(first, second);
            });
    Commands().People().SetExportFolder(
        [this](const QString& fallback) { return research_->ExportFolder(fallback); },
        [this](const QString& path) { research_->Exported(path); });
}

void CChronaraView::OnInitialUpdate() {
    CViewView::OnInitialUpdate();
    research_->Restore();
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
                          command == MenuCommand::ExportRecordToFamilyTree ||
                          command == MenuCommand::SavePerson;
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
            research_->NameVariantsSet(NameVariants());
            break;
        case MenuCommand::SavePerson:
            SaveRow(row, window());
            break;
        case MenuCommand::ResearchLog:
            OnResearchLog();
            return;
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
    research_->Watch(dialog, form.DatabaseRow());
    const int answer = dialog.exec();
    research_->DialogDone();
    if (Lifetime().Closed()) return;
    findChoices_ = dialog.CurrentChoices();
    research_->KeepSurnameChoices(findChoices_);
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
    research_->Watch(dialog, RecordFinder(), Form().DatabaseRow());
    connect(&dialog, &CFindRecordsDlg::personOpened, research_,
            [this](const ExportedHit& person) { research_->Opened(person.code, person.entry); });
    connect(&dialog, &CFindRecordsDlg::moreInfoOpening, links_,
            [this](CMoreInfoDlg* more, const ExportedHit& person) {
                links_->Attach(*more, person.code, person.entry);
            });
    connect(&dialog, &CFindRecordsDlg::saveRequested, research_,
            [this](const ExportedHit& person, QWidget* over) { research_->SavePerson(over, person); });
    const int answer = dialog.exec();
    research_->DialogDone();
    if (Lifetime().Closed()) return;
    recordsChoices_ = dialog.CurrentChoices();
    research_->KeepRecordsChoices(recordsChoices_);
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

void CChronaraView::ShowSeen() {
    std::vector<research_log::PersonPlace> places;
    std::vector<int> rows;
    for (int row = 0; row < RowsOnPage(); ++row) {
        research_log::PersonPlace place;
        if (!PlaceOfRow(row, place.code, place.entry)) continue;
        places.push_back(place);
        rows.push_back(row);
    }
    const std::vector<bool> seenPlaces = research_->Log().SeenAmong(places);
    std::vector<bool> seen(static_cast<std::size_t>(std::max(0, RowsOnPage())), false);
    for (std::size_t i = 0; i < rows.size() && i < seenPlaces.size(); ++i)
        seen[static_cast<std::size_t>(rows[i])] = seenPlaces[i];
    ResultList()->SetSeen(seen);
}

void CChronaraView::SaveRow(int row, QWidget* over) {
    CViewLifetime::Scope scope(Lifetime());
    FoundPerson found;
    if (!PersonOfRow(row, found)) return;
    ExportedHit person;
    static_cast<FoundPerson&>(person) = found;
    // The summary as the row shows it: its third piece.
    person.summary = RowText(row);
    for (int tabs = 0; tabs < 2; ++tabs) {
        const std::size_t tab = person.summary.find('\t');
        person.summary = tab == std::string::npos ? std::string() : person.summary.substr(tab + 1);
        while (!person.summary.empty() && person.summary.front() == '\t') person.summary.erase(0, 1);
    }
    research_->SavePerson(over, person);
}

void CChronaraView::OnResearchLog() {
    CViewLifetime::Scope scope(Lifetime());
    if (Lifetime().Closed()) return;
    const bool fromList = ListHasFocus();
    research_log::LoggedSearch chosen;
    const bool again = research_->ShowLog(window(), Commands().People(), chosen);
    if (Lifetime().Closed()) return;
    if (!again) {
        ReturnFromDialog(fromList);
        return;
    }
    ReturnFromDialog(false);
    const research_log::AskedSearch& asked = chosen.asked;
    const int code = catalogue::CodeOfStem(asked.database.c_str());
    const int row = catalogue::RowOfCode(code);
    switch (asked.kind) {
        case research_log::SearchKind::Surname:
            if (row < 0) {
                QApplication::beep();
                return;
            }
            SetNameVariants(asked.hasFirstName && std::find(asked.options.begin(), asked.options.end(),
                                                            "variants") != asked.options.end());
            research_->NameVariantsSet(NameVariants());
            Form().FirstName().setText(asked.hasFirstName ? cp1252::ToQString(asked.firstName.c_str())
                                                          : QString());
            SearchListedSurname(code, asked.surname);
            OnSetFocus();
            return;
        case research_log::SearchKind::List: {
            if (row >= 0) Form().DatabaseList().setCurrentIndex(row);
            Form().Surname().setText(cp1252::ToQString(asked.surname.c_str()));
            MatchMode mode = findChoices_.mode;
            if (!asked.options.empty() && ParseMatchMode(asked.options.front(), mode))
                findChoices_.mode = mode;
            findChoices_.scope =
                row >= 0 ? CFindSurnameDlg::Scope::ChosenDatabase : CFindSurnameDlg::Scope::AllDatabases;
            OnFindSurname();
            return;
        }
        case research_log::SearchKind::Find:
            if (row >= 0) Form().DatabaseList().setCurrentIndex(row);
            recordsChoices_.text = cp1252::ToQString(asked.query.c_str());
            recordsChoices_.field = cp1252::ToQString(asked.field.c_str());
            recordsChoices_.yearsFrom = asked.yearFrom != 0 ? QString::number(asked.yearFrom) : QString();
            recordsChoices_.yearsTo = asked.yearTo != 0 ? QString::number(asked.yearTo) : QString();
            recordsChoices_.abbreviations =
                std::find(asked.options.begin(), asked.options.end(), "abbreviations") != asked.options.end();
            recordsChoices_.scope =
                row >= 0 ? CFindRecordsDlg::Scope::ChosenDatabase : CFindRecordsDlg::Scope::AllDatabases;
            OnFindRecords();
            return;
    }
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
