// The search view's commands: Search, Clear, Prev, Next, More Info, Help,
// Quit, and the commands of the menus and command keys.

#include <algorithm>
#include <cstring>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "browse/names/surname_listing.h"
#include "browse/record_text/search_messages.h"
#include "browse/session/result_pager.h"
#include "browse/session/search_session.h"
#include "platform/message_box.h"
#include "store/catalogue.h"
#include "store/directories.h"
#include "store/path_buffer.h"
#include "ui/common/help_window.h"
#include "ui/common/resource_names.h"
#include "ui/common/tell_user.h"
#include "ui/common/typed_text.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/results/more_info_dlg.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/spelling_hint.h"
#include "ui/search_view/view_view.h"

namespace {

// The surname edit is read into 20 bytes: at most 19 characters, so a 20th typed one is dropped.
constexpr std::size_t kSurnameReadSize = CSearchSession::kMaxSurname + 1;

}  // namespace

CViewView::CommandScope::CommandScope(CViewView& view) : view_(view) { ++view_.commandDepth_; }

CViewView::CommandScope::~CommandScope() {
    if (--view_.commandDepth_ == 0 && view_.destroyPending_) {
        view_.destroyPending_ = false;
        emit view_.readyToDestroy();
    }
}

void CViewView::RequestDestroy() {
    viewDestroyed_ = true;
    destroyPending_ = true;
    if (!helpWindow_.isNull()) helpWindow_->close();
    // Dismiss the boxes the handlers wait in, innermost first, so that they return.
    for (int guard = 0; guard < 16; ++guard) {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) break;
        dialog->reject();
    }
    if (commandDepth_ == 0) {
        destroyPending_ = false;
        emit readyToDestroy();
    }
}

void CViewView::SetBusy(bool busy) {
    busy_ = busy;
    OnSetCursor();
}

void CViewView::OnSearch() {
    CommandScope scope(*this);
    // A character without a letter to be searched as is refused at the box, and nothing is searched.
    QByteArray typed;
    if (!typed_text::Read(*surnameEdit_, typed)) return;
    SetBusy(true);

    char surname[kSurnameReadSize];
    const std::size_t length =
        std::min(strnlen(typed.constData(), static_cast<std::size_t>(typed.size())), kSurnameReadSize - 1);
    std::memcpy(surname, typed.constData(), length);
    surname[length] = '\0';

    if (surname[0] == '\0') {
        platform::Tell({search_messages::EnterSurname()});
        if (!viewDestroyed_) OnSetFocus();
    } else {
        DoSearch(surname);
    }

    // The view outlives every handler (see RequestDestroy), so this is safe even after a close.
    SetBusy(false);
}

void CViewView::SearchShown(int row, const char* surname, const char* firstName, bool listed) {
    // The session empties the page first: while a box of the search waits,
    // nothing of the page shown can be acted on. The rows stay until the
    // search has ended (a search whose window was closed meanwhile leaves them).
    moreInfoButton_->setEnabled(false);
    prevButton_->setEnabled(false);
    nextButton_->setEnabled(false);
    session_->SetNameVariants(nameVariants_);
    const SearchOutcome outcome =
        listed ? session_->SearchListed(row, surname, firstName) : session_->Search(row, surname, firstName);
    // The window may have been closed while the search waited in a message box.
    if (viewDestroyed_) return;
    TellUser(outcome);
    if (viewDestroyed_) return;
    pageIndex_ = 0;
    ShowPage(ResultPage::Of(*session_, pageIndex_));
    if (outcome.status == SearchStatus::NotFound) OfferCloseSpellings(row, surname);
    if (viewDestroyed_) return;
    RefreshList();
    AnnouncePage();
}

void CViewView::OfferCloseSpellings(int row, const char* surname) {
    // The search has just found the disk: no prompt. A listing that fails
    // says why, and offers nothing.
    const ListingOutcome listed =
        surname_listing::CloseSpellings(dirs_, catalogue::CodeOfRow(row), surname, {});
    platform::Tell(listed.messages);
    if (viewDestroyed_ || listed.matches.empty()) return;
    spellingHint_->SetSpellings(listed.matches.front());
}

void CViewView::OnClear() {
    CommandScope scope(*this);
    moreInfoButton_->setEnabled(false);
    session_->Reset();
    pageIndex_ = 0;
    ShowPage(ResultPage::Of(*session_, pageIndex_));
    RefreshList();
    surnameEdit_->clear();
    firstNameEdit_->clear();
    OnSetFocus();
    AnnouncePage();
}

bool CViewView::TurnPage(bool forward) {
    CommandScope scope(*this);
    // The result list keeps the focus through a turn it asked for.
    const bool fromList = resultList_->hasFocus();
    // A page that could not be read leaves everything as it was, the selection included.
    const SearchOutcome outcome = session_->TurnPage(forward);
    if (viewDestroyed_) return false;
    TellUser(outcome);
    if (viewDestroyed_ || outcome.status != SearchStatus::Found) return false;
    pageIndex_ += forward ? 1 : -1;
    FormatRows();
    // The button that has just been disabled must not keep the focus.
    if (!fromList && !(forward ? session_->HasNext() : session_->HasPrev())) {
        (forward ? prevButton_ : nextButton_)->setFocus(Qt::OtherFocusReason);
    }
    return true;
}

bool CViewView::OnPrevPage() { return TurnPage(false); }

bool CViewView::OnNextPage() { return TurnPage(true); }

void CViewView::OnMoreInfo() {
    CommandScope scope(*this);
    const bool fromList = resultList_->hasFocus();
    // Only a row that the current page holds has a record behind it; a
    // record that could not be read opens no dialog (its messages are shown).
    const int row = SelectedRow();
    QString title, text;
    if (!commands_->ReadRecord(row, title, text)) return;
    CMoreInfoDlg dialog(window());
    dialog.SetTitle(title);
    dialog.SetText(text);
    // Ctrl+P in the dialog prints the record it shows, with the print dialog over it.
    connect(&dialog, &CMoreInfoDlg::printRequested, this, [this, &dialog]() {
        CommandScope inner(*this);
        commands_->PrintRecordText(dialog.Title(), dialog.Text(), &dialog);
    });
    connect(&dialog, &CMoreInfoDlg::citationRequested, this, [this, row]() {
        CommandScope inner(*this);
        commands_->CopyCitationOfRow(row);
    });
    dialog.DoModal();
    if (!viewDestroyed_) ReturnFromDialog(fromList);
}

void CViewView::OnShowHelp() {
    CommandScope scope(*this);
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

void CViewView::OnFindSurname() {}

void CViewView::OnFindRecords() {}

bool CViewView::ShowEntry(std::int32_t entry) {
    int turned = 0;
    bool found = false;
    int row = 0;
    while (!found && !viewDestroyed_) {
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
        if (viewDestroyed_) return false;
        TellUser(outcome);
        if (viewDestroyed_ || outcome.status != SearchStatus::Found) break;
        ++turned;
    }
    if (viewDestroyed_) return false;
    if (turned > 0) {
        pageIndex_ += turned;
        FormatRows();
    }
    if (found) SelectRow(row);
    return found;
}

void CViewView::RunMenuCommand(MenuCommand command) { RunMenuCommand(command, ListHasFocus()); }

void CViewView::RunMenuCommand(MenuCommand command, bool fromList) {
    CommandScope scope(*this);
    if (viewDestroyed_ || commands_ == nullptr) return;
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
            commands_->CopyRows(row);
            break;
        case MenuCommand::CopyRecord:
            commands_->CopyRecord(row);
            break;
        case MenuCommand::ExportResults:
            commands_->ExportResults();
            break;
        case MenuCommand::PrintRecord:
            commands_->PrintRecord(row);
            break;
        case MenuCommand::PrintResults:
            commands_->PrintResults();
            break;
        case MenuCommand::CopyCitation:
            commands_->CopyCitationOfRow(row);
            break;
        case MenuCommand::ExportRecordToFamilyTree:
            commands_->ExportRowToFamilyTree(row);
            break;
        case MenuCommand::ExportResultsToFamilyTree:
            commands_->ExportResultsToFamilyTree();
            break;
        case MenuCommand::MatchNameVariants:
            SetNameVariants(!nameVariants_);
            break;
    }
    // The dialogs gave the window its activation back, which means the
    // surname edit unless the list is named. The finders have placed the
    // keyboard themselves (a new search has new rows).
    if (fromList && !viewDestroyed_ && command != MenuCommand::FindSurname &&
        command != MenuCommand::FindRecords)
        ReturnFromDialog(true);
}

void CViewView::SetNameVariants(bool on) {
    nameVariants_ = on;
    // Nothing on the window shows the option; a screen reader hears it in the box it widens.
    if (firstNameEdit_ != nullptr) {
        firstNameEdit_->setAccessibleDescription(on ? QStringLiteral("Name variants are matched too.")
                                                    : QString());
    }
}

void CViewView::SearchSpelling(const ListedSurname& /*spelling*/) {}

void CViewView::SetSaveFileAsker(SaveFileAsker asker) { commands_->SetSaveFileAsker(std::move(asker)); }

void CViewView::SetPrintDialogRunner(PrintDialogRunner runner) {
    commands_->SetPrintDialogRunner(std::move(runner));
}

void CViewView::SetClock(Clock clock) { commands_->SetClock(std::move(clock)); }
