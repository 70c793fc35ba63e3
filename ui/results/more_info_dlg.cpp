#include "ui/results/more_info_dlg.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/common/cp1252_qt.h"
#include "ui/common/view_menus.h"
#include "ui/results/record_text.h"
#include "ui/results/whole_record_dlg.h"

namespace {

// Template 111, in dialog units.
constexpr int kDialogWidth = 315;
constexpr int kDialogHeight = 213;
const QRect kOkRect(238, 184, 50, 14);
const QRect kTextRect(13, 14, 275, 163);
// Not in the template: the whole record's button, on the left of the row of OK.
const QRect kWholeRect(13, 184, 70, 14);
// Nor the links' button, between it and OK.
const QRect kLinksRect(88, 184, 140, 14);

// Rounded a * b / c, as the dialog manager scales units.
int MulDiv(int a, int b, int c) { return (2 * a * b + c) / (2 * c); }

}  // namespace

CMoreInfoDlg::CMoreInfoDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      wholeButton_(new QPushButton(QStringLiteral("&Whole Record\u2026"), this)),
      linksButton_(new QPushButton(this)),
      textBox_(new QPlainTextEdit(this)) {
    setModal(true);
    setWindowTitle(QStringLiteral("More Info"));
    ok_->setObjectName(QStringLiteral("OK"));
    ok_->setProperty("controlId", kIdOk);
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    textBox_->setObjectName(QStringLiteral("MoreInfoText"));
    textBox_->setAccessibleName(QStringLiteral("Record"));
    textBox_->setProperty("controlId", kIdText);
    textBox_->setReadOnly(true);
    textBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
    textBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Read-only, but the text can still be selected and copied.
    textBox_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setTabOrder(ok_, textBox_);
    setTabOrder(textBox_, wholeButton_);
    setTabOrder(wholeButton_, linksButton_);
    linksButton_->setObjectName(QStringLiteral("AlsoInOtherDatabases"));
    linksButton_->setAutoDefault(false);
    linksButton_->setAccessibleDescription(
        QStringLiteral("Records of other databases that may be of the same person, with the reasons"));
    linksButton_->hide();
    connect(linksButton_, &QPushButton::clicked, this, &CMoreInfoDlg::linksRequested);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    wholeButton_->setObjectName(QStringLiteral("WholeRecord"));
    wholeButton_->setAutoDefault(false);
    wholeButton_->setAccessibleDescription(
        QStringLiteral("Every field of the record under its heading, and where the records came from"));
    wholeButton_->hide();
    connect(wholeButton_, &QPushButton::clicked, this, &CMoreInfoDlg::ShowWholeRecord);
    // The text's menu, from the mouse or the menu key, and from Shift+F10 (eventFilter).
    textBox_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(textBox_, &QPlainTextEdit::customContextMenuRequested, this,
            [this](const QPoint& at) { ShowTextMenu(textBox_->viewport()->mapToGlobal(at)); });
    textBox_->installEventFilter(this);

    const QSize base = DialogBaseUnits(fontMetrics());
    setFixedSize(DialogUnitsToPixels(QRect(0, 0, kDialogWidth, kDialogHeight), base).size());
    ok_->setGeometry(DialogUnitsToPixels(kOkRect, base));
    textBox_->setGeometry(DialogUnitsToPixels(kTextRect, base));
    wholeButton_->setGeometry(DialogUnitsToPixels(kWholeRect, base));
    linksButton_->setGeometry(DialogUnitsToPixels(kLinksRect, base));
}

void CMoreInfoDlg::SetLinkCount(int count) {
    linksButton_->setText(QStringLiteral("&Also in Other Databases (%1)\u2026").arg(count));
    linksButton_->setVisible(count > 0);
}

QSize CMoreInfoDlg::DialogBaseUnits(const QFontMetrics& metrics) {
    static const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int averageWidth = (metrics.horizontalAdvance(kAlphabet) / 26 + 1) / 2;
    return QSize(averageWidth, metrics.height());
}

QRect CMoreInfoDlg::DialogUnitsToPixels(const QRect& units, const QSize& base) {
    return QRect(MulDiv(units.x(), base.width(), 4), MulDiv(units.y(), base.height(), 8),
                 MulDiv(units.width(), base.width(), 4), MulDiv(units.height(), base.height(), 8));
}

void CMoreInfoDlg::SetText(const char* text) { text_ = cp1252::ToQString(text); }

void CMoreInfoDlg::SetTitle(const char* title) { title_ = cp1252::ToQString(title); }

void CMoreInfoDlg::SetWholeRecord(WholeRecordText whole) {
    whole_ = std::move(whole);
    wholeButton_->setVisible(!whole_.Empty());
}

void CMoreInfoDlg::ShowWholeRecord() {
    if (whole_.Empty()) return;
    CWholeRecordDlg window(this, whole_);
    // Print there prints the record, as Ctrl+P does here.
    connect(&window, &CWholeRecordDlg::printRequested, this, &CMoreInfoDlg::printRequested);
    window.exec();
}

int CMoreInfoDlg::DoModal() { return exec(); }

void CMoreInfoDlg::keyPressEvent(QKeyEvent* event) {
    // Ctrl+P prints the record, Ctrl+Shift+C copies the citation; the
    // template has no buttons for them. OK and the text box leave these keys
    // to the dialog.
    if (Request(view_menus::CommandOfKey(*event))) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CMoreInfoDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == textBox_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier) {
            const QRect cursor = textBox_->cursorRect();
            ShowTextMenu(textBox_->viewport()->mapToGlobal(cursor.bottomLeft()));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CMoreInfoDlg::ShowTextMenu(const QPoint& globalPos) {
    const std::unique_ptr<QMenu> menu = view_menus::RecordTextMenu(*textBox_);
    // The request follows once the menu has closed.
    Request(view_menus::Run(*menu, globalPos));
}

bool CMoreInfoDlg::Request(MenuCommand command) {
    switch (command) {
        case MenuCommand::PrintRecord:
            emit printRequested();
            return true;
        case MenuCommand::CopyCitation:
            emit citationRequested();
            return true;
        case MenuCommand::SavePerson:
            emit saveRequested();
            return true;
        default:
            return false;
    }
}

void CMoreInfoDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
}

void CMoreInfoDlg::OnInitDialog() {
    DoDataExchange(false);
    setWindowTitle(title_);
    // A screen reader reads the record as the dialog's description when it
    // opens, while the focus is on OK.
    setAccessibleDescription(textBox_->toPlainText());
    // The focus starts on OK, so the text is not selected when the dialog opens.
    ok_->setFocus(Qt::OtherFocusReason);
}

void CMoreInfoDlg::DoDataExchange(bool saveAndValidate) {
    if (saveAndValidate) {
        QString shown = textBox_->toPlainText();
        shown.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        text_ = shown;
    } else {
        textBox_->setPlainText(record_text::Lines(text_));
    }
}

void CMoreInfoDlg::accept() {
    DoDataExchange(true);
    QDialog::accept();
}
