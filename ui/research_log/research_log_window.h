#pragma once
// CResearchLogWindow: the Research Log (Ctrl+L and the menus), modal over
// the main window. Two pages:
//   - Searches: every search logged, newest first, with what it found,
//     filtered by database and by text; Enter (or Run Again) closes the
//     window with the search chosen, which the main window runs again;
//   - Saved People: the people saved, with their notes; Enter opens their
//     More Info (read again from the disk), Delete removes one, Undo (Ctrl+Z)
//     puts back what was removed while the window is open, Edit Note
//     changes the note; Compare (Alt+C), with two people chosen (Ctrl or
//     Shift and a click or an arrow), asks for their records side by side
//     (compareRequested), and says what it needs with any other number;
//   - Verdicts: what was decided about pairs of records, same person or
//     not, taken back and put back (CVerdictsPage).
// Export writes the searches as CSV or prints them as a report ("Searched
// SMITH, John in War of 1812 on 9 December 2026: nobody"), and the saved
// people as CSV or as a family-tree file with their citations. "Keep a
// research log" turns logging off and on; Clear empties the searches, the
// seen marks or everything, after asking. Nothing leaves the computer.

#include <vector>

#include <QDialog>

#include "browse/record_text/found_person.h"
#include "browse/research_log/log_entries.h"
#include "browse/research_log/research_log.h"
#include "ui/results/more_info_dlg.h"

class CDirectories;
class CLoggedSearchModel;
class CPeopleCommands;
class CSavedPeopleModel;
class CVerdictsPage;
class CViewerLog;
class CViewerSettings;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeView;

class CResearchLogWindow : public QDialog {
    Q_OBJECT
public:
    CResearchLogWindow(QWidget* parent, CViewerLog& log, CViewerSettings& settings, CPeopleCommands& commands,
                       const CDirectories& dirs);
    ~CResearchLogWindow() override;

    // Valid once the window was accepted: the search to run again.
    const research_log::LoggedSearch& Chosen() const { return chosen_; }

    // Reads the log again (both pages).
    void Reload();
    void ShowPeople();
    void RemoveCurrentPerson();
    bool Undo();
    void EditNote();
    void OpenPerson();
    // The two people chosen, compared; false (and said) unless two of this disk are chosen.
    bool ComparePeople();
    void ExportSearchesCsv();
    void PrintReport();
    void ExportPeopleCsv();
    void ExportPeopleFamilyTree();
    // Asks, then clears.
    void Clear(research_log::ClearWhat what);
    // The report's text, the searches that pass the filter, oldest first.
    QString ReportText() const;

    QTabWidget* Tabs() const { return tabs_; }
    QTreeView* SearchList() const { return searchList_; }
    CLoggedSearchModel* SearchModel() const { return searchModel_; }
    QComboBox* DatabaseFilter() const { return databaseFilter_; }
    QLineEdit* TextFilter() const { return textFilter_; }
    QTreeView* PeopleList() const { return peopleList_; }
    CSavedPeopleModel* PeopleModel() const { return peopleModel_; }
    QCheckBox* KeepBox() const { return keep_; }
    QPushButton* UndoButton() const { return undo_; }
    QPushButton* CompareButton() const { return compare_; }
    QLabel* CompareHint() const { return compareHint_; }
    QLabel* CountLabel() const { return count_; }
    CVerdictsPage* Verdicts() const { return verdicts_; }
    const std::vector<research_log::SavedPerson>& People() const;

    void accept() override;

signals:
    // A saved person's More Info, about to be shown, and the person read.
    void moreInfoOpening(CMoreInfoDlg* dialog, const ExportedHit& person);
    void compareRequested(const research_log::PersonOnDisk& first, const research_log::PersonOnDisk& second);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildSearchesPage(QWidget* page);
    void BuildPeoplePage(QWidget* page);
    void ApplyFilter();
    research_log::SearchFilter Filter() const;
    const research_log::SavedPerson* CurrentPerson() const;
    // The people chosen in the list, in list order.
    std::vector<const research_log::SavedPerson*> ChosenPeople() const;
    // Compare enabled for two people chosen, and its hint.
    void ShowCompareState();
    // The saved people of this disk read again from it; false after saying why.
    bool ReadPeople(std::vector<ExportedHit>& people);

    CViewerLog& log_;
    CViewerSettings& settings_;
    CPeopleCommands& commands_;
    const CDirectories& dirs_;
    QTabWidget* tabs_;
    QComboBox* databaseFilter_ = nullptr;
    QLineEdit* textFilter_ = nullptr;
    QTreeView* searchList_ = nullptr;
    CLoggedSearchModel* searchModel_ = nullptr;
    QLabel* count_ = nullptr;
    QTreeView* peopleList_ = nullptr;
    CSavedPeopleModel* peopleModel_ = nullptr;
    QPushButton* undo_ = nullptr;
    QPushButton* compare_ = nullptr;
    QLabel* compareHint_ = nullptr;
    QCheckBox* keep_ = nullptr;
    CVerdictsPage* verdicts_ = nullptr;
    std::vector<research_log::SavedPerson> removed_;
    research_log::LoggedSearch chosen_;
};
