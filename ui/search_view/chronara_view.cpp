#include "ui/search_view/chronara_view.h"

#include <algorithm>
#include <cstring>

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "browse/session/search_session.h"
#include "browse/word_index/word_index_cache.h"
#include "store/catalogue.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/typed_text.h"
#include "ui/search_view/view_layout.h"

using namespace view_layout;

namespace {

// The first-name edit is read into 256 bytes, at most 250 characters.
constexpr std::size_t kFirstNameReadSize = 256;
constexpr std::size_t kFirstNameMax = CSearchSession::kMaxFirstName;

}  // namespace

CChronaraView::CChronaraView(const CViewDoc& doc, const CDirectories& dirs, QWidget* parent)
    : CViewView(doc, dirs, parent) {}

CChronaraView::~CChronaraView() { Destroy(); }

int CChronaraView::OnCreate() {
    if (CViewView::OnCreate() == -1) return -1;

    QLineEdit* edits[2] = {};
    const char* names[2] = {"Surname", "FirstName"};
    // The labels beside the boxes are painted in the backdrop; these are their names for screen readers.
    const char* labels[2] = {"Last Name", "First Name"};
    for (int i = 0; i < 2; ++i) {
        const EditLayout& entry = kEdits[i];
        auto* edit = new QLineEdit(this);
        edit->setGeometry(entry.x, entry.y, entry.width, entry.height);
        edit->setMaxLength(entry.limit);
        AdoptControl(edit, entry.id, names[i]);
        edit->setAccessibleName(QString::fromLatin1(labels[i]));
        typed_text::Guard(*edit);
        edits[i] = edit;
    }
    SetEditBoxes(edits[0], edits[1]);

    databaseList_ = new QComboBox(this);
    // Named at once: its accessible interface (see ui/accessibility.h) is chosen by this name
    // when Qt first asks for it, which may be while the list is being filled.
    databaseList_->setObjectName(QStringLiteral("DatabaseList"));
    databaseList_->setEditable(false);
    // The list's rectangle includes the dropped list; the closed box takes its natural height.
    const QRect dropped = kDatabaseListRect.ToQRect();
    const int closedHeight = databaseList_->sizeHint().height();
    databaseList_->setGeometry(dropped.x(), dropped.y(), dropped.width(), closedHeight);
    const int itemHeight = std::max(1, fontMetrics().height() + 4);
    databaseList_->setMaxVisibleItems(std::max(1, (dropped.height() - closedHeight) / itemHeight));
    for (int row = 0; catalogue::kListTexts[row][0] != '\0'; ++row) {
        databaseList_->addItem(cp1252::ToQString(catalogue::kListTexts[row]));
    }
    databaseList_->setCurrentIndex(0);
    AdoptControl(databaseList_, kIdDatabaseList, "DatabaseList");
    databaseList_->setAccessibleName(QStringLiteral("Database"));
    return 0;
}

void CChronaraView::OnInitialUpdate() {
    CViewView::OnInitialUpdate();
    databaseList_->setCurrentIndex(0);
}

bool CChronaraView::ReadFirstName(char* out) {
    QByteArray typed;
    if (!typed_text::Read(*FirstNameEdit(), typed)) return false;
    const std::size_t length =
        std::min(strnlen(typed.constData(), static_cast<std::size_t>(typed.size())), kFirstNameMax);
    std::memcpy(out, typed.constData(), length);
    out[length] = '\0';
    return true;
}

void CChronaraView::DoSearch(const char* surname) {
    char firstName[kFirstNameReadSize];
    if (ReadFirstName(firstName)) SearchShown(databaseList_->currentIndex(), surname, firstName);
}

bool CChronaraView::SearchListedSurname(int code, const std::string& surname) {
    CommandScope scope(*this);
    const int row = catalogue::RowOfCode(code);
    if (IsViewDestroyed() || row < 0) return false;
    databaseList_->setCurrentIndex(row);
    // The edit holds 20 characters; the search takes the surname whole.
    SurnameEdit()->setText(cp1252::ToQString(surname.c_str()));
    char firstName[kFirstNameReadSize];
    if (!ReadFirstName(firstName)) return true;
    SetBusy(true);
    SearchShown(row, surname.c_str(), firstName, true);
    SetBusy(false);
    return true;
}

void CChronaraView::OnFindSurname() {
    CommandScope scope(*this);
    if (IsViewDestroyed()) return;
    const bool fromList = ListHasFocus();
    CFindSurnameDlg dialog(window(), Directories(), databaseList_->currentIndex(), SurnameEdit()->text(),
                           findChoices_);
    QByteArray firstName;
    if (typed_text::ToSearched(FirstNameEdit()->text(), firstName)) dialog.ShowFirstNameFilter(firstName);
    const int answer = dialog.exec();
    if (IsViewDestroyed()) return;
    findChoices_ = dialog.CurrentChoices();
    if (answer != QDialog::Accepted) {
        ReturnFromDialog(fromList);
        return;
    }
    // The first-name edit keeps its text, unless the user dropped the filter in the dialog.
    if (!dialog.KeepsFirstName()) FirstNameEdit()->clear();
    // Every match is of a database of the list, so it has a row.
    const bool searched = SearchListedSurname(dialog.Chosen().code, dialog.Chosen().surname);
    if (IsViewDestroyed()) return;
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
    CommandScope scope(*this);
    if (IsViewDestroyed()) return;
    const bool fromList = ListHasFocus();
    CFindRecordsDlg dialog(window(), Directories(), RecordFinder(), Commands(), databaseList_->currentIndex(),
                           recordsChoices_);
    const int answer = dialog.exec();
    if (IsViewDestroyed()) return;
    recordsChoices_ = dialog.CurrentChoices();
    if (answer != QDialog::Accepted) {
        ReturnFromDialog(fromList);
        return;
    }
    const CFindRecordsDlg::Chosen chosen = dialog.ChosenPerson();
    FirstNameEdit()->clear();
    const bool shown =
        SearchListedSurname(chosen.code, chosen.surname) && !IsViewDestroyed() && ShowEntry(chosen.entry);
    if (IsViewDestroyed()) return;
    // The keyboard goes on in the list, on the person's row.
    ReturnFromDialog(shown);
    if (!shown) OnSetFocus();
}

void CChronaraView::SearchSpelling(const ListedSurname& spelling) {
    SearchListedSurname(spelling.code, spelling.surname);
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
