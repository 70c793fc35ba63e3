#pragma once
// CSavePersonDlg: "Save Person": who is being saved (their name, the
// database and the summary the list shows), and an optional note, which a
// person saved before starts with. Save keeps them in the research log;
// Cancel keeps nothing.

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class CSavePersonDlg : public QDialog {
    Q_OBJECT
public:
    // who: the person as the user reads them; note: the note kept, when
    // savedBefore says when they were saved (empty: never).
    CSavePersonDlg(QWidget* parent, const QString& who, const QString& note, const QString& savedBefore);

    QString Note() const;
    QPlainTextEdit* NoteBox() const { return note_; }
    QPushButton* SaveButton() const { return save_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* note_;
    QPushButton* save_;
};
