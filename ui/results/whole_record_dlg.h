#pragma once
// CWholeRecordDlg: the whole record of the person More Info shows, in a
// window of its own over it: every field that is not blank under its
// heading, in field order, then where the database's records came from.
// More Info's own text is the label table's; this is what the record holds.
// Copy puts the whole record on the clipboard; Print asks whoever opened
// the window to print the record (printRequested), as Ctrl+P does.

#include <QDialog>
#include <QString>

#include "ui/results/whole_record_text.h"

class QKeyEvent;
class QPushButton;
class QTextEdit;

class CWholeRecordDlg : public QDialog {
    Q_OBJECT
public:
    CWholeRecordDlg(QWidget* parent, WholeRecordText whole);

    // What Copy puts on the clipboard: the title, a blank line, the lines.
    static QString CopyText(const WholeRecordText& whole);
    // The record as the window shows it, for a rich-text view.
    static QString Html(const WholeRecordText& whole);

    QTextEdit* TextBox() const { return text_; }
    QPushButton* CopyButton() const { return copy_; }
    QPushButton* PrintButton() const { return print_; }

signals:
    void printRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    WholeRecordText whole_;
    QTextEdit* text_;
    QPushButton* copy_;
    QPushButton* print_;
};
