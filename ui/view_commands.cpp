// The search view's commands: Search, Clear, Prev, Next, More Info, Help, Quit.

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "browse/result_pager.h"
#include "browse/search_session.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"
#include "store/directories.h"
#include "store/path_buffer.h"
#include "ui/bitmap_button.h"
#include "ui/cp1252_qt.h"
#include "ui/help_window.h"
#include "ui/more_info_dlg.h"
#include "ui/resource_names.h"
#include "ui/result_list.h"
#include "ui/view_view.h"

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

void CViewView::OnSearch() {
    CommandScope scope(*this);
    busy_ = true;
    OnSetCursor();

    char surname[kSurnameReadSize];
    const QByteArray typed = cp1252::FromQString(surnameEdit_->text());
    const std::size_t length =
        std::min(strnlen(typed.constData(), static_cast<std::size_t>(typed.size())), kSurnameReadSize - 1);
    std::memcpy(surname, typed.constData(), length);
    surname[length] = '\0';

    if (surname[0] == '\0') {
        platform::ShowMessageBox("Please enter a surname.", platform::kAppTitle, platform::MessageButtons::Ok,
                                 platform::MessageIcon::Exclamation);
        if (!viewDestroyed_) OnSetFocus();
    } else {
        DoSearch(surname);
    }

    // The view outlives every handler (see RequestDestroy), so these are safe even after a close.
    busy_ = false;
    OnSetCursor();
}

void CViewView::OnClear() {
    CommandScope scope(*this);
    moreInfoButton_->setEnabled(false);
    session_->Reset();
    RefreshList();
    surnameEdit_->clear();
    firstNameEdit_->clear();
    OnSetFocus();
    selectedRow_ = -1;
    pageIndex_ = 0;
    ListChanged();
}

void CViewView::TellMessages(const std::vector<std::string>& messages, bool endsProgram) {
    platform::Tell(messages);
    if (endsProgram) platform::ExitProcess(1);
}

bool CViewView::OnPrevPage() {
    CommandScope scope(*this);
    // The result list keeps the focus through a turn it asked for.
    const bool fromList = resultList_->hasFocus();
    // A page that could not be read leaves everything as it was, the
    // selection included.
    const SearchOutcome outcome = session_->TurnPage(false);
    if (viewDestroyed_ || !Told(outcome) || outcome.status != SearchStatus::Found) return false;
    selectedRow_ = -1;
    --pageIndex_;
    FormatRows();
    // The button that has just been disabled must not keep the focus.
    if (!session_->HasPrev() && !fromList) nextButton_->setFocus(Qt::OtherFocusReason);
    return true;
}

bool CViewView::OnNextPage() {
    CommandScope scope(*this);
    const bool fromList = resultList_->hasFocus();
    const SearchOutcome outcome = session_->TurnPage(true);
    if (viewDestroyed_ || !Told(outcome) || outcome.status != SearchStatus::Found) return false;
    selectedRow_ = -1;
    ++pageIndex_;
    FormatRows();
    if (!session_->HasNext() && !fromList) prevButton_->setFocus(Qt::OtherFocusReason);
    return true;
}

void CViewView::OnMoreInfo() {
    CommandScope scope(*this);
    const bool fromList = resultList_->hasFocus();
    // Only a row that the current page holds has a record behind it; a
    // record that could not be read opens no dialog (the session has said why).
    QString title, text;
    if (!ReadSelectedRecord(title, text)) return;
    CMoreInfoDlg dialog(window());
    dialog.SetTitle(title);
    dialog.SetText(text);
    // Ctrl+P in the dialog prints the record it shows, with the print dialog over it.
    connect(&dialog, &CMoreInfoDlg::printRequested, this,
            [this, &dialog]() { PrintRecordText(dialog.Title(), dialog.Text(), &dialog); });
    dialog.DoModal();
    if (!viewDestroyed_) ReturnFromDialog(fromList);
}

void CViewView::OnShowHelp() {
    CommandScope scope(*this);
    char path[256];
    const bool fits = FormatPath(path, "%s%s", dirs_.InstallDir(), resources::kHelpFileName);
    if (helpWindow_.isNull()) helpWindow_ = new CHelpWindow(window());
    if (fits && helpWindow_->ShowContext(path, resources::kHelpContext)) return;

    char text[512];
    if (fits) {
        std::snprintf(text, sizeof text, "Help is not available: the help file %s could not be opened.",
                      path);
    } else {
        std::snprintf(text, sizeof text, "Help is not available: the path of the help file %s is too long.",
                      resources::kHelpFileName);
    }
    platform::ShowMessageBox(text, platform::kAppTitle, platform::MessageButtons::Ok,
                             platform::MessageIcon::Exclamation);
}

void CViewView::OnQuit() {
    // Posted, so the window closes from the event loop through its normal close path.
    QMetaObject::invokeMethod(window(), &QWidget::close, Qt::QueuedConnection);
}
