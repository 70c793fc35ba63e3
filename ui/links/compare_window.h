#pragma once
// CCompareWindow: two records side by side in a window of their own, not
// modal, so that it stays open while the user searches on. Each field is
// on one row under its heading, the two records' values beside it and a
// word that says whether they agree ("Agree", "Differ", "Only in ...") as
// well as a colour; where each database's records came from follows. The
// verdict kept for the pair is shown, and "Same person" and "Not the same
// person" keep the user's, with the note typed, in the research log.

#include <QString>
#include <QWidget>

#include "browse/research_log/log_entries.h"
#include "ui/results/whole_record_text.h"

class CViewerLog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class CCompareWindow : public QWidget {
    Q_OBJECT
public:
    struct Side {
        research_log::PersonOnDisk person;
        QString database;  // the database's name, as the list gives it
        WholeRecordText whole;
    };

    CCompareWindow(QWidget* parent, CViewerLog& log, Side first, Side second);

    // Keeps sameness with the note typed; false when it could not be kept (said).
    bool Judge(research_log::Sameness sameness);

    QTreeWidget* Rows() const { return rows_; }
    QLabel* VerdictLine() const { return verdict_; }
    QLineEdit* NoteBox() const { return note_; }
    QPushButton* SameButton() const { return same_; }
    QPushButton* NotSameButton() const { return notSame_; }
    const Side& First() const { return first_; }
    const Side& Second() const { return second_; }

private:
    void Fill();
    // The verdict kept for the pair, read again.
    void ShowVerdict();

    CViewerLog& log_;
    Side first_;
    Side second_;
    QTreeWidget* rows_;
    QLabel* verdict_;
    QLineEdit* note_;
    QPushButton* same_;
    QPushButton* notSame_;
};
