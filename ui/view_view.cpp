// The search view's creation, destruction and painting.

#include "ui/view_view.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <QAccessible>
#include <QColor>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

#include "browse/result_pager.h"
#include "browse/row_text.h"
#include "browse/search_messages.h"
#include "browse/search_session.h"
#include "platform/message_box.h"
#include "ui/accessibility.h"
#include "ui/bitmap_button.h"
#include "ui/count_line.h"
#include "ui/cp1252_qt.h"
#include "ui/help_window.h"
#include "ui/resource_names.h"
#include "ui/result_list.h"
#include "ui/scaled_picture.h"
#include "ui/view_doc.h"
#include "ui/view_layout.h"

using namespace view_layout;

namespace {

void CountLineText(long count, char* line, std::size_t size) {
    std::snprintf(line, size, "%ld records found.", count);
}

// Tells screen readers of a change at a row of the result list.
void NotifyRow(QObject* list, QAccessible::Event type, int row) {
    QAccessibleEvent event(list, type);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
}

// The columns of a row text (surname, given names, summary), as painted.
QStringList ColumnsOfRowText(const char* text) {
    QStringList columns;
    RowTextPiece pieces[kRowTextPieces];
    const int found = SplitRowText(text, strnlen(text, CViewView::kRowTextSize), pieces);
    for (int i = 0; i < found; ++i) columns << cp1252::ToQString(text + pieces[i].start, pieces[i].length);
    return columns;
}

}  // namespace

CViewView::CViewView(const CViewDoc& doc, const CDirectories& dirs, QWidget* parent)
    : QWidget(parent),
      doc_(doc),
      dirs_(dirs),
      saveFileAsker_(&CViewView::AskSaveFileName),
      printDialogRunner_(&CViewView::RunPrintDialog) {
    // Before any control exists: Qt makes a control's interface once, at its first query.
    accessibility::Install();
    setFixedSize(kViewWidth, kViewHeight);
    // The view hands the focus on to the surname edit; clicks on it do not take it.
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

CViewView::~CViewView() { Destroy(); }

bool CViewView::Create() {
    if (created_) return true;
    created_ = true;
    if (OnCreate() != 0) return false;
    CreatePaintedControls();
    return true;
}

void CViewView::CreatePaintedControls() {
    countLine_ = new CCountLine(this);
    countLine_->setGeometry(kCountArea.ToQRect());
    countLine_->Announce(CountText(), PageText());
    // Made after every control, the derived view's included, so that it
    // comes last in the Tab order; it has no control id of its own.
    resultList_ = new CResultList(this);
    resultList_->setAccessibleName(QStringLiteral("Search results"));
    const QRect list = kListArea.ToQRect();
    const int pageRows = TextHeight() >= kLargeTextHeight ? 8 : CResultPager::kMaxRows;
    const int grow = std::max(0, pageRows * TextHeight() - list.height());
    resultList_->setGeometry(
        list.adjusted(-kListFrameMargin, -kListFrameMargin, kListFrameMargin, kListFrameMargin + grow));
    resultList_->installEventFilter(this);
}

void CViewView::Destroy() {
    if (!created_ || destroyed_) return;
    destroyed_ = true;
    OnDestroy();
}

void CViewView::AdoptControl(QWidget* control, int id, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    control->setProperty("controlId", id);
    control->installEventFilter(this);
    control->setCursor(busy_ ? Qt::WaitCursor : Qt::ArrowCursor);
}

QPushButton* CViewView::MakeButton(int index) {
    const ButtonLayout& entry = kButtons[index];
    auto* button = new QPushButton(QString::fromLatin1(entry.text), this);
    button->setGeometry(entry.rect.ToQRect());
    button->setAutoDefault(false);
    return button;
}

CBitmapButton* CViewView::MakeBitmapButton(int index, const char* up, const char* down, const char* focus,
                                           const char* dim) {
    const ButtonLayout& entry = kButtons[index];
    auto* button = new CBitmapButton(this);
    button->setGeometry(entry.rect.ToQRect());
    button->LoadBitmaps(up, down, focus, dim);
    button->SizeToContent();
    button->setEnabled(false);
    return button;
}

int CViewView::OnCreate() {
    session_ = std::make_unique<CSearchSession>(
        dirs_, [] { return platform::Ask(search_messages::kInsertDiskText); });
    viewDestroyed_ = false;

    searchButton_ = MakeButton(0);
    searchButton_->setDefault(true);
    AdoptControl(searchButton_, kIdSearch, "Search");
    clearButton_ = MakeButton(1);
    AdoptControl(clearButton_, kIdClear, "Clear");
    moreInfoButton_ = MakeButton(2);
    moreInfoButton_->setEnabled(false);
    AdoptControl(moreInfoButton_, kIdMoreInfo, "MoreInfo");
    prevButton_ = MakeBitmapButton(3, resources::kPrevUp, resources::kPrevDown, resources::kPrevFocus,
                                   resources::kPrevDim);
    AdoptControl(prevButton_, kIdPrev, "Prev");
    // The pictures' captions are painted in the backdrop; screen readers get them as names.
    prevButton_->setAccessibleName(QStringLiteral("Prev"));
    prevButton_->setAccessibleDescription(QStringLiteral("The page before (Page Up in the result list)"));
    nextButton_ = MakeBitmapButton(4, resources::kNextUp, resources::kNextDown, resources::kNextFocus,
                                   resources::kNextDim);
    AdoptControl(nextButton_, kIdNext, "Next");
    nextButton_->setAccessibleName(QStringLiteral("Next"));
    nextButton_->setAccessibleDescription(QStringLiteral("The page after (Page Down in the result list)"));
    helpButton_ = MakeButton(5);
    AdoptControl(helpButton_, kIdHelp, "Help");
    // F1 is Help's key (the view's keyboard presses it at once); set here
    // as the button's shortcut, it is also what screen readers announce.
    helpButton_->setShortcut(QKeySequence(Qt::Key_F1));
    quitButton_ = MakeButton(6);
    AdoptControl(quitButton_, kIdQuit, "Quit");

    connect(searchButton_, &QPushButton::clicked, this, &CViewView::OnSearch);
    connect(clearButton_, &QPushButton::clicked, this, &CViewView::OnClear);
    connect(helpButton_, &QPushButton::clicked, this, &CViewView::OnShowHelp);
    connect(quitButton_, &QPushButton::clicked, this, &CViewView::OnQuit);
    connect(moreInfoButton_, &QPushButton::clicked, this, &CViewView::OnMoreInfo);
    connect(prevButton_, &CBitmapButton::clicked, this, &CViewView::OnPrevPage);
    connect(nextButton_, &CBitmapButton::clicked, this, &CViewView::OnNextPage);
    return 0;
}

void CViewView::OnDestroy() {
    // The help window goes with the view.
    if (!helpWindow_.isNull()) {
        helpWindow_->close();
        delete helpWindow_.data();
    }
    // The controls are the view's children and go with it; until then they
    // no longer reach the view's keyboard and cursor handling.
    for (QObject* child : children()) child->removeEventFilter(this);

    viewDestroyed_ = true;
    if (session_ != nullptr) session_->Close();
    session_.reset();
}

void CViewView::OnInitialUpdate() {
    update();
    OnSetFocus();
}

void CViewView::DoSearch(const char* /*surname*/) {}

int CViewView::TextHeight() const { return fontMetrics().height(); }

QWidget* CViewView::GetDlgItem(int id) const {
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && widget->property("controlId").toInt() == id) return widget;
    }
    return nullptr;
}

CResultPager* CViewView::Pager() const { return session_ != nullptr ? &session_->Pager() : nullptr; }

const char* CViewView::RowText(int i) const { return i >= 0 && i < kRowTextCount ? rowTexts_[i] : ""; }

int CViewView::RowsOnPage() const {
    return session_ != nullptr ? std::clamp(session_->RowsOnPage(), 0, CResultPager::kMaxRows) : 0;
}

long CViewView::RecordCount() const {
    return session_ != nullptr ? static_cast<long>(session_->RecordCount()) : 0;
}

bool CViewView::HasNext() const { return session_ != nullptr && session_->HasNext(); }

bool CViewView::HasPrev() const { return session_ != nullptr && session_->HasPrev(); }

QStringList CViewView::RowColumns(int row) const {
    if (row < 0 || row >= RowsOnPage()) return QStringList();
    return ColumnsOfRowText(rowTexts_[row]);
}

QString CViewView::CountText() const {
    char line[64];
    CountLineText(RecordCount(), line, sizeof line);
    return QString::fromLatin1(line);
}

QString CViewView::PageText() const {
    const long count = RecordCount();
    // Records found means a session.
    if (count <= 0) return QString();
    const long pageSize = std::max<long>(1, session_->PageSize());
    return QStringLiteral("Page %1 of %2").arg(pageIndex_ + 1).arg((count + pageSize - 1) / pageSize);
}

int CViewView::RowAt(const QPoint& point) const {
    if (!kListArea.ToQRect().contains(point)) return -1;
    const int row = (point.y() - kListTop) / TextHeight();
    return row < RowsOnPage() ? row : -1;
}

QRegion CViewView::ListRegion() const {
    QRect list = kListArea.ToQRect();
    const int pageRows = session_ != nullptr ? session_->PageSize() : CResultPager::kMaxRows;
    list.setHeight(std::max(list.height(), pageRows * TextHeight()));
    return QRegion(list) + QRegion(kCountArea.ToQRect());
}

QRegion CViewView::RowRegion(int row) const {
    const int h = TextHeight();
    QRegion region;
    for (int column = 0; column < 3; ++column) region += ColumnRect(row, column, h);
    return region;
}

QRegion CViewView::ControlsRegion() const {
    QRegion region;
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && widget->isVisible() && !widget->isWindow()) region += widget->geometry();
    }
    return region;
}

void CViewView::paintEvent(QPaintEvent* event) {
    // A full paint is one that reaches the view's own surface: not only the
    // ground under a control that repaints itself, nor the list that
    // RefreshList or a click repaints.
    QRegion own = event->region() - ControlsRegion();
    if (refreshing_) own -= refreshRegion_;
    QPainter d(this);
    OnDraw(d, !own.isEmpty());
}

void CViewView::OnDraw(QPainter& d, bool fullPaint) {
    if (session_ == nullptr) return;
    // The backdrop as drawn for the screen's (or the printer's) pixel ratio.
    if (const QPixmap* backdrop = doc_.Backdrop(CScaledPicture::PaintRatio(d))) {
        d.drawPixmap(0, 0, *backdrop);
        PaintList(d, session_->RowsOnPage(), static_cast<long>(session_->RecordCount()));
    }
    if (!fullPaint) return;
    if (firstPaintPending_) {
        if (TextHeight() >= kLargeTextHeight) {
            helpButton_->setGeometry(kButtons[5].rect.left, kLargeTextButtonTop, kButtonWidth, kButtonHeight);
            quitButton_->setGeometry(kButtons[6].rect.left, kLargeTextButtonTop, kButtonWidth, kButtonHeight);
        }
        firstPaintPending_ = false;
    }
    OnSetFocus();
}

void CViewView::InvertRow(QPainter& d, int row, int h) const {
    d.save();
    d.setCompositionMode(QPainter::CompositionMode_Difference);
    for (int column = 0; column < 3; ++column) d.fillRect(ColumnRect(row, column, h), Qt::white);
    d.restore();
}

void CViewView::PaintList(QPainter& d, int rows, long count) {
    const int h = TextHeight();
    session_->SetPageSize(h >= kLargeTextHeight);
    d.setPen(QColor(kTextRed, kTextGreen, kTextBlue));
    d.setBackgroundMode(Qt::TransparentMode);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;

    char line[256];
    CountLineText(count, line, sizeof line);
    d.drawText(kCountArea.ToQRect(), flags, cp1252::ToQString(line));

    nextButton_->setEnabled(session_->HasNext());
    prevButton_->setEnabled(session_->HasPrev());

    rows = std::clamp(rows, 0, CResultPager::kMaxRows);
    for (int i = 0; i < rows; ++i) {
        const QStringList columns = ColumnsOfRowText(rowTexts_[i]);
        for (int column = 0; column < columns.size(); ++column) {
            d.drawText(ColumnRect(i, column, h), flags, columns[column]);
        }
    }

    if (selectedRow_ >= 0 && selectedRow_ < rows) {
        InvertRow(d, selectedRow_, h);
        moreInfoButton_->setEnabled(true);
    } else {
        moreInfoButton_->setEnabled(false);
    }
}

void CViewView::RepaintList(const QRegion& region) {
    if (doc_.Backdrop() == nullptr || region.isEmpty()) return;
    refreshing_ = true;
    refreshRegion_ = region;
    repaint(region);
    refreshing_ = false;
    refreshRegion_ = QRegion();
}

void CViewView::RefreshList() { RepaintList(ListRegion()); }

void CViewView::FormatRows() {
    const int rows = std::min(session_->RowsOnPage(), CResultPager::kMaxRows);
    for (int i = 0; i < rows; ++i) session_->FormatRow(i, rowTexts_[i]);
    RefreshList();
    ListChanged();
}

void CViewView::SelectRow(int row) {
    if (row < 0 || row >= RowsOnPage()) row = -1;
    QRegion changed;
    if (selectedRow_ >= 0) changed += RowRegion(selectedRow_);
    if (row >= 0) changed += RowRegion(row);
    const int previous = selectedRow_;
    selectedRow_ = row;
    moreInfoButton_->setEnabled(row >= 0);
    RepaintList(changed);
    if (row == previous) return;
    if (previous >= 0) NotifyRow(resultList_, QAccessible::SelectionRemove, previous);
    if (row >= 0) NotifyRow(resultList_, QAccessible::Selection, row);
    // The keyboard moved the selection: the screen reader reads the new row.
    if (row >= 0 && resultList_->hasFocus()) NotifyRow(resultList_, QAccessible::Focus, row);
}

void CViewView::ListChanged() {
    resultList_->SetHasRows(RowsOnPage() > 0);
    countLine_->Announce(CountText(), PageText());
    // The items of the page: new ones are added, the others have new texts.
    // (Qt's reorder event would say so at once, but its AT-SPI signal is
    // malformed before Qt 6.5; rows past the page simply are no more.)
    const int rows = RowsOnPage();
    for (int row = 0; row < rows; ++row) {
        NotifyRow(resultList_, row < announcedRows_ ? QAccessible::NameChanged : QAccessible::ObjectCreated,
                  row);
    }
    announcedRows_ = rows;
    QAccessibleEvent described(resultList_, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
}

void CViewView::OnListFocus() {
    // The list as a whole has the focus now; its selected row follows, after
    // Qt has told of the list itself.
    QPointer<CResultList> list(resultList_);
    QMetaObject::invokeMethod(
        this,
        [this, list]() {
            if (!list.isNull() && list->hasFocus() && selectedRow_ >= 0) {
                NotifyRow(list, QAccessible::Focus, selectedRow_);
            }
        },
        Qt::QueuedConnection);
}
