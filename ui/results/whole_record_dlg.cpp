#include "ui/results/whole_record_dlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QString Rows(const WholeRecordText::Pairs& pairs) {
    QString rows;
    for (const auto& [heading, text] : pairs) {
        rows += QStringLiteral("<tr><td style=\"padding-right: 12px\"><b>%1</b></td><td>%2</td></tr>")
                    .arg(heading.toHtmlEscaped(), text.toHtmlEscaped());
    }
    return rows;
}

}  // namespace

CWholeRecordDlg::CWholeRecordDlg(QWidget* parent, WholeRecordText whole)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      whole_(std::move(whole)),
      text_(new QTextEdit(this)),
      copy_(new QPushButton(QStringLiteral("&Copy"), this)),
      print_(new QPushButton(QStringLiteral("&Print\u2026"), this)) {
    setModal(true);
    setObjectName(QStringLiteral("WholeRecord"));
    setWindowTitle(QStringLiteral("Whole Record: %1").arg(whole_.title));
    text_->setObjectName(QStringLiteral("WholeRecordText"));
    text_->setAccessibleName(QStringLiteral("Whole record"));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Tab leaves the text for the buttons; the arrows move in it.
    text_->setTabChangesFocus(true);
    text_->setHtml(Html(whole_));
    // A screen reader reads the lines, as they are copied.
    text_->setAccessibleDescription(whole_.lines);
    copy_->setObjectName(QStringLiteral("WholeRecordCopy"));
    print_->setObjectName(QStringLiteral("WholeRecordPrint"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(copy_, QDialogButtonBox::ActionRole);
    buttons->addButton(print_, QDialogButtonBox::ActionRole);
    // Enter closes the window, as it closes More Info; Copy and Print are asked for.
    copy_->setAutoDefault(false);
    print_->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Close)->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(copy_, &QPushButton::clicked, this,
            [this]() { QApplication::clipboard()->setText(CopyText(whole_)); });
    connect(print_, &QPushButton::clicked, this, &CWholeRecordDlg::printRequested);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    const QFontMetrics metrics = fontMetrics();
    resize(80 * metrics.averageCharWidth(), 32 * metrics.height());
    text_->setFocus(Qt::OtherFocusReason);
}

QString CWholeRecordDlg::CopyText(const WholeRecordText& whole) {
    return whole.title + QStringLiteral("\n\n") + whole.lines + QLatin1Char('\n');
}

QString CWholeRecordDlg::Html(const WholeRecordText& whole) {
    QString html = QStringLiteral("<p><b>%1</b></p>").arg(whole.title.toHtmlEscaped());
    if (!whole.fields.empty())
        html += QStringLiteral("<table>") + Rows(whole.fields) + QStringLiteral("</table>");
    if (!whole.provenance.empty()) {
        html += QStringLiteral("<p><b>Where these records came from</b></p><table>") +
                Rows(whole.provenance) + QStringLiteral("</table>");
    }
    return html;
}

void CWholeRecordDlg::keyPressEvent(QKeyEvent* event) {
    // Ctrl+P prints here as in More Info.
    if (event->matches(QKeySequence::Print)) {
        event->accept();
        emit printRequested();
        return;
    }
    QDialog::keyPressEvent(event);
}
