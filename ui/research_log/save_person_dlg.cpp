#include "ui/research_log/save_person_dlg.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CSavePersonDlg::CSavePersonDlg(QWidget* parent, const QString& who, const QString& note,
                               const QString& savedBefore)
    : QDialog(parent) {
    setObjectName(QStringLiteral("SavePersonDialog"));
    setWindowTitle(QStringLiteral("Save Person"));
    auto* layout = new QVBoxLayout(this);
    auto* person = new QLabel(who, this);
    person->setObjectName(QStringLiteral("PersonLabel"));
    person->setWordWrap(true);
    person->setTextFormat(Qt::PlainText);
    layout->addWidget(person);
    if (!savedBefore.isEmpty()) {
        auto* before = new QLabel(QStringLiteral("Saved already on %1; saving again keeps one entry with the "
                                                 "note below.")
                                      .arg(savedBefore),
                                  this);
        before->setObjectName(QStringLiteral("SavedBeforeLabel"));
        before->setWordWrap(true);
        layout->addWidget(before);
    }
    auto* label = new QLabel(QStringLiteral("&Note (optional):"), this);
    layout->addWidget(label);
    note_ = new QPlainTextEdit(this);
    note_->setObjectName(QStringLiteral("NoteBox"));
    note_->setPlainText(note);
    note_->setTabChangesFocus(true);
    note_->moveCursor(QTextCursor::End);
    label->setBuddy(note_);
    note_->setAccessibleName(QStringLiteral("Note"));
    // Enter saves, as in every dialog; Shift+Enter starts a new line of the
    // box, which the note keeps as a blank (the log keeps one line).
    note_->installEventFilter(this);
    layout->addWidget(note_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    save_ = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
    save_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(QSize(fontMetrics().averageCharWidth() * 60, fontMetrics().height() * 14));
    note_->setFocus(Qt::OtherFocusReason);
}

QString CSavePersonDlg::Note() const { return note_->toPlainText().trimmed(); }

bool CSavePersonDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == note_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
