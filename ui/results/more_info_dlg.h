#pragma once
// CMoreInfoDlg: the modal More Info dialog (template 111): the full text of
// one record in a read-only, unwrapped text box, under a title made of the
// person's surname and given names, closed with OK. Ctrl+P asks for the
// record to be printed (printRequested), Ctrl+Shift+C for the person's
// citation to be copied (citationRequested); both are in the text's menu
// too, and Ctrl+S for the person to be saved in the research log
// (saveRequested). Whoever opened the dialog prints, copies and saves.
//
// Beside the template's controls, a "Whole Record" button (shown once the
// whole record is given) opens the record's every field under its heading
// and where its records came from, in a window of its own
// (CWholeRecordDlg); the text box keeps the label table's text. An "Also
// in Other Databases" button, shown once the record's links are counted
// (SetLinkCount), asks for the records of the same person elsewhere
// (linksRequested); whoever opened the dialog lists them.

#include <QDialog>
#include <QString>

#include "ui/results/whole_record_text.h"

enum class MenuCommand;
class QKeyEvent;
class QPlainTextEdit;
class QPushButton;

class CMoreInfoDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kIdOk = 1;
    static constexpr int kIdText = 1001;

    explicit CMoreInfoDlg(QWidget* parent);

    // Both take NUL-terminated Windows-1252 text; the text's CR LF pairs are its line breaks.
    void SetText(const char* text);
    void SetTitle(const char* title);
    void SetText(const QString& text) { text_ = text; }
    void SetTitle(const QString& title) { title_ = title; }
    // The whole record; the button that shows it is there only when it holds anything.
    void SetWholeRecord(WholeRecordText whole);
    const WholeRecordText& WholeRecord() const { return whole_; }
    // How many records of other databases may be this person's; the button
    // that lists them is there only when there are any.
    void SetLinkCount(int count);
    QPushButton* LinksButton() const { return linksButton_; }

    // Shows the dialog modally; returns when it is closed.
    int DoModal();

    // The size of the template's dialog units in pixels at the dialog's font:
    // a quarter of the average letter width, an eighth of the line height.
    static QSize DialogBaseUnits(const QFontMetrics& metrics);
    static QRect DialogUnitsToPixels(const QRect& units, const QSize& baseUnits);

    const QString& Text() const { return text_; }
    const QString& Title() const { return title_; }
    QPlainTextEdit* TextBox() const { return textBox_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* WholeRecordButton() const { return wholeButton_; }
    // Opens the whole record's window over the dialog; returns when it is closed.
    void ShowWholeRecord();

    void accept() override;

signals:
    void printRequested();
    void citationRequested();
    void saveRequested();
    void linksRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void DoDataExchange(bool saveAndValidate);
    // The text's menu at globalPos, and what its entry asks for.
    void ShowTextMenu(const QPoint& globalPos);
    // Emits what a command of the menus or keys asks of the dialog; false for any other.
    bool Request(MenuCommand command);

    QString text_;
    QString title_;
    WholeRecordText whole_;
    QPushButton* ok_;
    QPushButton* wholeButton_;
    QPushButton* linksButton_;
    QPlainTextEdit* textBox_;
    bool initialised_ = false;
};
