#pragma once
// CFindRecordsDlg: the modal Find in Records dialog. It finds people by
// what their records say (the query language of the record search: words,
// "phrases", word* and -word), in any field or one, within a year range,
// in the chosen database or in all, and lists them: database, surname,
// given names, and where the query matched with the matched words in
// bold. The list follows the typing: each burst of keys asks a query of
// the finder (CRecordFinder), which answers off the interface thread, a
// newer query cancelling an older one; the list reads the people as it is
// scrolled.
//
// Enter or a double click opens More Info for the current person; Show in
// Main Window (Ctrl+Enter) closes the dialog with the person chosen, for
// the window to search their surname and select them. The list's menu (and
// the Results button) copies, exports and prints, through the
// CPeopleCommands. A database without its word index yet is said in a
// line with the index's progress, which Cancel stops; the others answer
// meanwhile. What cannot be searched (no disk, an unreadable file, a query
// that is not well formed) is said in the dialog, never in a box.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>
#include <QPointer>
#include <QSize>
#include <QString>

#include "browse/research_log/log_entries.h"
#include "ui/common/scope_box.h"
#include "ui/common/view_menus.h"
#include "ui/find_records/record_finder.h"

class CCountLabel;
class CDirectories;
class CFacetFinder;
class CMoreInfoDlg;
class CFacetsPanel;
class CFoundPeopleList;
class CFoundPeopleModel;
class CHelpWindow;
class CIndexingLine;
class CPeopleCommands;
class CPendingRefresh;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;
struct SearchOutcome;

class CFindRecordsDlg : public QDialog {
    Q_OBJECT
public:
    using Scope = CScopeBox::Scope;
    // What the window keeps from one opening to the next.
    struct Choices {
        QString text;
        QString field;  // the heading chosen, or "surname" or "given"; empty: any field
        QString yearsFrom;
        QString yearsTo;
        Scope scope = Scope::ChosenDatabase;
        bool abbreviations = false;
        // The order of the list, asked by a heading or its key.
        PeopleSort sort;
        QSize size;
    };
    // The person Show in Main Window chose (the surname as the index holds it).
    struct Chosen {
        int code = 0;
        std::int32_t entry = -1;
        std::string surname;
    };

    // chosenRow: the row of the window's database list.
    CFindRecordsDlg(QWidget* parent, const CDirectories& dirs, CRecordFinder& finder,
                    CPeopleCommands& commands, int chosenRow, const Choices& choices);
    ~CFindRecordsDlg() override;

    Choices CurrentChoices() const;
    // Valid once the dialog was accepted (Show in Main Window).
    const Chosen& ChosenPerson() const { return chosen_; }

    // Asks the query of the choices now. Typing asks it from the event
    // loop, once for a burst of keys.
    void Refresh();
    bool RefreshPending() const;
    // Whether the answer to the last query asked is shown; WaitForAnswer
    // runs the event loop until it is (false when it is not, the dialog having closed).
    bool Answered() const { return !RefreshPending() && shown_ == asked_; }
    bool WaitForAnswer();

    // What tells the people seen before (the research log's seen marks),
    // which the list marks; none: no marks.
    void SetSeenTest(std::function<std::vector<bool>(const std::vector<research_log::PersonPlace>&)> test);

signals:
    // More Info of person was opened; the list asks again whether they were seen.
    void personOpened(const ExportedHit& person);
    // Save person (Ctrl+S, the list's menu, More Info's), over the window asked from.
    void saveRequested(const ExportedHit& person, QWidget* over);
    // More Info of person is about to open in dialog: what else it shows is added then.
    void moreInfoOpening(CMoreInfoDlg* dialog, const ExportedHit& person);

public:
    // The commands of the list's menu and keys, on the current person or the people found.
    void RunCommand(MenuCommand command);
    // Show in Main Window: takes the current person; without one the dialog stays.
    void accept() override;
    // Puts the list in the order of column (a heading's click, Ctrl+1 to
    // Ctrl+3): by it, or the other way when it is the order already;
    // Ctrl+0 (or a column without an order) gives the order found.
    void SortBy(int column);

    QLineEdit* TextField() const { return text_; }
    QLabel* HintLabel() const { return hint_; }
    QComboBox* FieldBox() const { return fieldBox_; }
    QLineEdit* YearsFrom() const { return yearsFrom_; }
    QLineEdit* YearsTo() const { return yearsTo_; }
    QComboBox* ScopeBox() const;
    QCheckBox* AbbreviationsBox() const { return abbreviations_; }
    QLabel* CountLabel() const;
    QWidget* IndexingLine() const;
    QLabel* IndexingLabel() const;
    QProgressBar* IndexingBar() const;
    QPushButton* IndexingButton() const;
    QListView* PeopleList() const;
    CFoundPeopleModel* Model() const;
    QLabel* ProblemLabel() const { return problem_; }
    QPushButton* MoreInfoButton() const { return moreInfoButton_; }
    QPushButton* ShowButton() const { return showButton_; }
    QPushButton* ResultsButton() const { return resultsButton_; }
    CHelpWindow* HelpWindow() const;

    // The facets beside the list, and whether those of the answer shown are shown.
    CFacetsPanel* FacetsPanel() const { return facets_; }
    bool FacetsAnswered() const { return facetsShown_ == facetsAsked_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The facets (find_records_facets.cpp): the panel and its finder made,
    // the counts of the answer shown asked, of the databases' years when
    // nothing is typed, and a database chosen from them.
    void BuildFacets();
    void AskFacets();
    void AskCoverage();
    void ChooseDatabase(int code);

    // Layout and choices.
    void BuildLayout();
    void FillFields(const QString& keep);
    // The years typed: false with error when they are not a range.
    bool ReadYears(record_query::YearRange& years, QString& error) const;
    // Nothing asked: the list empties, count says why, problem (when not empty) what is wrong.
    void ShowUnasked(const QString& count, const QString& problem);

    // Answers.
    void OnAnswered(const CRecordFinder::Answer& answer);
    void OnIndexed(int code);
    void ShowIndexing();
    void ShowCount(const QString& text);
    void ShowProblems(const QStringList& lines);
    // A message of the core (Windows-1252) said under the list with the answer's problems.
    void SayProblem(const std::string& message);
    void ShowHelp();
    // The buttons that act on a person are enabled while one is selected.
    void EnableButtons();
    // The order asked for, on the list's headings.
    void ShowOrder();
    // The buttons' Tab order, as they are shown.
    void OrderButtons();

    // Commands (find_records_commands.cpp).
    void ShowMenu(const QPoint& globalPos);
    void OpenMoreInfo();
    void CopyRows();
    // Person i of the answer shown, read; false (said in the dialog) when it could not be.
    bool ReadPerson(std::int64_t i, RecordHit& person);
    // Every person of the answer shown, in order, with a progress window for a long walk.
    SearchOutcome WalkPeople(const QString& doing, const std::function<bool(const RecordHit&)>& visit);
    void ExportCsv();
    void ExportFamilyTree(bool everyone);
    void PrintResults();
    QString QueryName() const;

    const CDirectories& dirs_;
    CRecordFinder& finder_;
    CPeopleCommands& commands_;
    int chosenCode_;

    QLineEdit* text_;
    QLabel* hint_;
    QComboBox* fieldBox_;
    QLineEdit* yearsFrom_;
    QLineEdit* yearsTo_;
    CScopeBox* scopeBox_;
    QCheckBox* abbreviations_;
    CCountLabel* count_;
    CIndexingLine* indexing_;
    CFoundPeopleList* people_;
    QLabel* problem_;
    QPushButton* moreInfoButton_;
    QPushButton* showButton_;
    QPushButton* resultsButton_;
    QPushButton* helpButton_;
    QDialogButtonBox* buttons_ = nullptr;
    QTimer* busyTimer_;
    QPointer<CHelpWindow> helpWindow_;
    CPendingRefresh* refresh_;

    std::uint64_t asked_ = 0;
    std::uint64_t shown_ = 0;
    CFacetsPanel* facets_ = nullptr;
    CFacetFinder* facetFinder_ = nullptr;
    // The query of the answer shown, for its facets.
    std::optional<CRecordFinder::Query> facetsQuery_;
    std::uint64_t facetsAsked_ = 0;
    std::uint64_t facetsShown_ = 0;
    // The databases of the last answer left out while their index is made, or declined.
    std::vector<int> waiting_;
    std::vector<int> declined_;
    // Problems of the answer, and of the last command, said under the list.
    QStringList answerProblems_;
    // The headings of the databases of the answer shown, as the disk gave them.
    std::map<int, FieldHeadings> headingsShown_;
    FieldHeadings HeadingsShown(int code) const;
    // A command reads the people shown: a query asked meanwhile waits for its end.
    bool commandRunning_ = false;
    bool refreshAfterCommand_ = false;
    Chosen chosen_;
    PeopleSort sort_;
};
