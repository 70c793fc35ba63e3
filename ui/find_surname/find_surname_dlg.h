#pragma once
// CFindSurnameDlg: the modal Find Surname dialog. It lists the surnames of
// the chosen database, or of every database, that match the typed text
// exactly, by its start, by sound, by a pattern or by close spelling
// (closest first), with the number of people of each, and follows the
// typing. Enter or a double click takes the current match; the caller then
// searches the surname listed, whatever its length, with the first-name
// filter the dialog names beside the count (unless the user dropped it
// there). Escape closes it with nothing taken.
//
// The listing never asks for the data disk nor shows a box while the user
// types: an absent disk, a damaged index and the databases that are not on
// the disk are said in the dialog itself.

#include <cstdint>
#include <string>

#include <QByteArray>
#include <QDialog>
#include <QSize>
#include <QString>

#include "browse/names/surname_listing.h"
#include "browse/names/surname_match.h"
#include "ui/common/scope_box.h"

class CCountLabel;
class CDirectories;
class CPendingRefresh;
class CSurnameMatchModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

class CFindSurnameDlg : public QDialog {
    Q_OBJECT
public:
    using Scope = CScopeBox::Scope;
    // The choices the window keeps from one opening to the next.
    struct Choices {
        MatchMode mode = MatchMode::Prefix;
        Scope scope = Scope::AllDatabases;
        // The dialog's size; none at first, when it fits its columns.
        QSize size;
    };

    // chosenRow: the row of the window's database list; surname: the
    // surname edit's text, which the text field starts with.
    CFindSurnameDlg(QWidget* parent, const CDirectories& dirs, int chosenRow, const QString& surname,
                    const Choices& choices);
    ~CFindSurnameDlg() override;

    Choices CurrentChoices() const;
    // Valid once the dialog was accepted.
    const ListedSurname& Chosen() const { return chosen_; }

    // The first-name filter that the search of a match will apply
    // (Windows-1252, as searched; empty for none), with name variants or
    // not, named beside the count with a check box that drops it. While it
    // is kept, the count says how many people it keeps.
    void ShowFirstNameFilter(const QByteArray& firstName, bool nameVariants = false);
    // Whether the search keeps that filter (false once the user dropped it).
    bool KeepsFirstName() const;

    // Lists the matches of the text now. Typing lists them from the event
    // loop, once for a burst of keys; Enter lists first what is still due.
    void Refresh();
    bool RefreshPending() const;

    // Takes the current match; without one the dialog stays open.
    void accept() override;

    QLineEdit* TextField() const { return text_; }
    QComboBox* ModeBox() const { return modeBox_; }
    QComboBox* ScopeBox() const;
    QTreeView* MatchList() const { return list_; }
    CSurnameMatchModel* Model() const { return model_; }
    QLabel* CountLabel() const;
    QCheckBox* FirstNameBox() const { return firstName_; }
    QLabel* ProblemLabel() const { return problem_; }
    QPushButton* SearchButton() const { return searchButton_; }

signals:
    // The text was listed: matches surnames match it (0 included).
    void listed(int matches);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SelectMatch(int row);
    void ShowCount(const QString& text);
    // The count of the matches listed, and of the people the filter keeps
    // while it is kept (kept_: -1 when they could not be counted).
    QString CountText() const;
    void CountKept();
    // Widths for the longest database title and surname; the dialog's first width takes them all.
    void FitColumns();
    QString ProblemsOf(const ListingOutcome& outcome) const;

    const CDirectories& dirs_;
    QLineEdit* text_;
    QComboBox* modeBox_;
    CScopeBox* scopeBox_;
    CCountLabel* count_;
    QCheckBox* firstName_;
    QTreeView* list_;
    CSurnameMatchModel* model_;
    QLabel* problem_;
    QPushButton* searchButton_;
    CPendingRefresh* refresh_;
    ListedSurname chosen_;
    // The filter as searched (padded as the search holds it), as shown, and with variants or not.
    QByteArray filterName_;
    QString filterShown_;
    bool filterVariants_ = false;
    long kept_ = -1;
};
