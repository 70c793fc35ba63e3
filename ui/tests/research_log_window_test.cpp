// Saving people with notes, the seen marks, and the Research Log window:
// its lists, removing and undoing, the report, and running a search again.

#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "browse/research_log/research_log.h"
#include "store/catalogue.h"
#include "store/disk_format.h"
#include "ui/find_records/find_records_dlg.h"
#include "ui/find_records/found_people_model.h"
#include "ui/links/compare_window.h"
#include "ui/research_log/log_report.h"
#include "ui/research_log/logged_search_model.h"
#include "ui/research_log/research_log_window.h"
#include "ui/research_log/save_person_dlg.h"
#include "ui/research_log/saved_people_model.h"
#include "ui/research_log/viewer_log.h"
#include "ui/research_log/viewer_research.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/result_list.h"
#include "ui/tests/find_and_results_fixture.h"

namespace ui_test {
namespace {

using research_log::SavedPerson;

class ResearchLogWindowTest : public ViewerTest {
protected:
    void SetUp() override { StartViewer(); }
    CViewerLog& Log() const { return View()->Research().Log(); }

    // Save person on row, the note typed into the dialog (null: cancelled).
    void SaveRow(int row, const char* note) {
        View()->SelectRow(row);
        ModalWatcher watcher([note](QWidget* modal) {
            auto* dialog = qobject_cast<CSavePersonDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            if (note == nullptr) {
                dialog->reject();
                return;
            }
            dialog->NoteBox()->setPlainText(QString::fromLatin1(note));
            dialog->accept();
        });
        QTest::keyClick(Surname(), Qt::Key_S, Qt::ControlModifier);
        QApplication::processEvents();
        EXPECT_TRUE(watcher.Fired());
    }

    std::vector<SavedPerson> Saved() const {
        std::vector<SavedPerson> people;
        research_log::DiskIdentity disk;
        EXPECT_TRUE(Log().Disk(disk));
        EXPECT_FALSE(Log().Log().SavedPeople(&disk, false, people).Failed());
        return people;
    }

    // Opens the Research Log (Ctrl+L) and runs fn in it.
    void InWindow(const std::function<void(CResearchLogWindow&)>& fn) {
        ModalWatcher watcher([&fn](QWidget* modal) {
            auto* window = qobject_cast<CResearchLogWindow*>(modal);
            ASSERT_NE(window, nullptr);
            fn(*window);
        });
        QTest::keyClick(Surname(), Qt::Key_L, Qt::ControlModifier);
        QApplication::processEvents();
        EXPECT_TRUE(watcher.Fired());
    }
};

TEST_F(ResearchLogWindowTest, SavingKeepsOneEntryPerPersonWithTheLatestNote) {
    Search("smith", "");
    struct Step {
        int row;
        const char* note;  // null: the dialog cancelled
        std::size_t people;
        const char* firstNote;
    };
    const Step steps[] = {
        {2, "Check the 1850 census", 1, "Check the 1850 census"},
        {4, nullptr, 1, "Check the 1850 census"},
        {2, "Same man as in the pension file", 1, "Same man as in the pension file"},
        {4, "", 2, "Same man as in the pension file"},
        // Lines of the box are kept as one line, not refused.
        {2, "Same man\nas in the 1850\r\ncensus ", 2, "Same man as in the 1850 census"},
    };
    for (const Step& step : steps) {
        SaveRow(step.row, step.note);
        const std::vector<SavedPerson> people = Saved();
        ASSERT_EQ(people.size(), step.people) << step.row;
        EXPECT_EQ(people[0].note, step.firstNote);
        EXPECT_EQ(people[0].person.surname, "SMITH");
        EXPECT_EQ(QString::fromLatin1(View()->RowText(2))
                      .section(QLatin1Char('\t'), 2, 2, QString::SectionSkipEmpty),
                  QString::fromLatin1(people[0].person.summary.c_str()));
    }
    // Without a row selected, Ctrl+S beeps and asks nothing.
    View()->SelectRow(-1);
    ModalWatcher none([](QWidget* modal) { ADD_FAILURE() << modal->objectName().toStdString(); });
    QTest::keyClick(Surname(), Qt::Key_S, Qt::ControlModifier);
    QApplication::processEvents();
}

TEST_F(ResearchLogWindowTest, APersonOfAnotherDiskIsNeverTakenForThePersonAtTheSameEntry) {
    Search("smith", "");
    SaveRow(0, "from the first disk");
    ASSERT_EQ(Saved().size(), 1u);
    research_log::PersonPlace place;
    place.code = Saved()[0].person.code;
    place.entry = Saved()[0].person.entry;
    // Another disk: the same files, another marker.
    testing_support::WriteFileBytes(dataDir_ + "/" + kMarkerFileName, "Chronara data disk\nsecond\n");
    EXPECT_TRUE(Saved().empty());
    SavedPerson found;
    EXPECT_FALSE(Log().FindSaved(place, found));
    InWindow([](CResearchLogWindow& window) {
        ASSERT_EQ(window.People().size(), 1u);
        EXPECT_FALSE(window.People()[0].ofThisDisk);
        EXPECT_TRUE(window.PeopleModel()
                        ->index(0, CSavedPeopleModel::kDatabaseColumn)
                        .data()
                        .toString()
                        .endsWith(QStringLiteral("(another disk)")));
    });
}

TEST_F(ResearchLogWindowTest, MoreInfoOpenedMarksThePersonSeen) {
    Search("smith", "");
    std::vector<research_log::PersonPlace> places(3);
    for (int row = 0; row < 3; ++row) {
        places[row].code = 1;
        ASSERT_TRUE(View()->PlaceOfRow(row, places[row].code, places[row].entry));
    }
    View()->SelectRow(1);
    {
        ModalWatcher close([](QWidget*) {});
        View()->OnMoreInfo();
    }
    const std::vector<bool> seen = Log().SeenAmong(places);
    EXPECT_EQ(seen, (std::vector<bool>{false, true, false}));
    // The list marks the row at once, and again when the person is found
    // again; screen readers hear it with the row.
    auto marks = [this]() {
        std::vector<bool> shown;
        for (const ResultRow& row : View()->ResultList()->Page().rows) shown.push_back(row.seen);
        return shown;
    };
    EXPECT_EQ(marks()[1], true);
    Search("smith", "");
    const std::vector<bool> again = marks();
    ASSERT_EQ(again.size(), 10u);
    EXPECT_EQ(std::count(again.begin(), again.end(), true), 1);
    EXPECT_TRUE(again[1]);
}

TEST_F(ResearchLogWindowTest, FindInRecordsMarksThePeopleSeenAndThoseItsMoreInfoOpens) {
    Search("smith", "");
    View()->SelectRow(1);
    {
        ModalWatcher close([](QWidget*) {});
        View()->OnMoreInfo();
    }
    int seenCode = 0;
    std::int32_t seenEntry = -1;
    ASSERT_TRUE(View()->PlaceOfRow(1, seenCode, seenEntry));
    testing_support::ScopedEnv cache("XDG_CACHE_HOME", root_.File("cache").c_str());
    Surname()->setFocus();
    ModalWatcher watcher([&](QWidget* modal) {
        auto* dialog = qobject_cast<CFindRecordsDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->ScopeBox()->setCurrentIndex(
            dialog->ScopeBox()->findData(static_cast<int>(CFindRecordsDlg::Scope::ChosenDatabase)));
        dialog->FieldBox()->setCurrentIndex(dialog->FieldBox()->findText(QStringLiteral("surname")));
        dialog->TextField()->setText(QStringLiteral("smith"));
        dialog->Refresh();
        CFoundPeopleModel& model = *dialog->Model();
        for (int i = 0; i < 2000 && !(dialog->Answered() && model.Person(kSmithCount - 1) != nullptr); ++i) {
            QTest::qWait(5);
        }
        ASSERT_EQ(model.Count(), kSmithCount);
        // The rows that say they were seen, as painted and as screen readers hear them.
        auto seenRows = [&model]() {
            std::vector<int> rows;
            for (int row = 0; row < model.rowCount(); ++row) {
                const QModelIndex at = model.index(row);
                const bool mark = at.data(CFoundPeopleModel::kSeenRole).toBool();
                const bool said =
                    at.data(Qt::AccessibleTextRole).toString().endsWith(QStringLiteral(", seen before"));
                EXPECT_EQ(mark, said) << row;
                if (mark) rows.push_back(row);
            }
            return rows;
        };
        const int before = model.RowOf(seenCode, seenEntry);
        ASSERT_GE(before, 0);
        EXPECT_EQ(seenRows(), std::vector<int>{before});
        // More Info opened here marks its person at once.
        const int opened = before == 0 ? 1 : 0;
        dialog->PeopleList()->setCurrentIndex(model.index(opened));
        {
            ModalWatcher close([](QWidget*) {});
            dialog->RunCommand(MenuCommand::MoreInfo);
        }
        EXPECT_EQ(seenRows(), (std::vector<int>{std::min(before, opened), std::max(before, opened)}));
        dialog->reject();
    });
    QTest::keyClick(Surname(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_TRUE(watcher.Fired());
}

TEST_F(ResearchLogWindowTest, TheWindowListsRemovesAndUndoesWhileItIsOpen) {
    Search("smith", "");
    SaveRow(0, "one");
    SaveRow(1, "two");
    SaveRow(2, "three");
    InWindow([](CResearchLogWindow& window) {
        window.Tabs()->setCurrentIndex(1);
        QTreeView* list = window.PeopleList();
        CSavedPeopleModel* model = window.PeopleModel();
        ASSERT_EQ(model->rowCount(), 3);
        struct Step {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int row;  // the current row before the key
            int left;
            bool undoEnabled;
        };
        const Step steps[] = {
            {Qt::Key_Delete, Qt::NoModifier, 1, 2, true},  {Qt::Key_Delete, Qt::NoModifier, 0, 1, true},
            {Qt::Key_Z, Qt::ControlModifier, 0, 2, true},  {Qt::Key_Z, Qt::ControlModifier, 0, 3, false},
            {Qt::Key_Z, Qt::ControlModifier, 0, 3, false},
        };
        for (const Step& step : steps) {
            list->setCurrentIndex(model->index(step.row, 0));
            QTest::keyClick(list, step.key, step.modifiers);
            EXPECT_EQ(model->rowCount(), step.left);
            EXPECT_EQ(window.UndoButton()->isEnabled(), step.undoEnabled);
        }
        // Put back in their places, with their notes.
        ASSERT_EQ(window.People().size(), 3u);
        EXPECT_EQ(window.People()[0].note, "one");
        EXPECT_EQ(window.People()[1].note, "two");
        EXPECT_EQ(window.People()[2].note, "three");
    });
}

TEST_F(ResearchLogWindowTest, TwoSavedPeopleChosenAreComparedBesideTheWindowAndNoOtherNumber) {
    Search("smith", "");
    SaveRow(0, "one");
    SaveRow(1, "two");
    SaveRow(2, "three");
    InWindow([](CResearchLogWindow& window) {
        window.Tabs()->setCurrentIndex(1);
        QTreeView* list = window.PeopleList();
        list->setFocus();
        list->setCurrentIndex(window.PeopleModel()->index(0, 0));
        // Shift and an arrow choose one more each time.
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            bool enabled;
        } steps[] = {{Qt::Key_Home, Qt::NoModifier, false},
                     {Qt::Key_Down, Qt::ShiftModifier, true},
                     {Qt::Key_Down, Qt::ShiftModifier, false},
                     {Qt::Key_Up, Qt::ShiftModifier, true}};
        for (const auto& step : steps) {
            QTest::keyClick(list, step.key, step.modifiers);
            EXPECT_EQ(window.CompareButton()->isEnabled(), step.enabled);
            // What it needs is said while it cannot compare.
            EXPECT_EQ(window.CompareHint()->text().isEmpty(), step.enabled);
        }
        QTest::mouseClick(window.CompareButton(), Qt::LeftButton);
        auto* compare = window.findChild<CCompareWindow*>();
        ASSERT_NE(compare, nullptr);
        EXPECT_TRUE(compare->isVisible());
        EXPECT_EQ(compare->First().person.entry, window.People()[0].person.entry);
        EXPECT_EQ(compare->Second().person.entry, window.People()[1].person.entry);
        const QRect available = compare->screen()->availableGeometry();
        EXPECT_TRUE(available.contains(compare->frameGeometry()))
            << "the window opens whole on the screen, its title bar within reach";
        compare->close();
    });
}

TEST_F(ResearchLogWindowTest, TheReportSaysWhatWasSearchedWhereWhenAndWithWhatResult) {
    Search("smith", "");
    Search("nobodyhere", "");
    Search("smith", "john");
    const QString title = QString::fromLatin1(catalogue::TitleOfCode(1));
    const std::string pdf = root_.File("report.pdf");
    View()->SetPrintDialogRunner([pdf](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    InWindow([&title, &pdf](CResearchLogWindow& window) {
        EXPECT_EQ(window.SearchModel()->Total(), 3);
        const QStringList lines = window.ReportText().split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 3);
        const char* expected[] = {"Searched SMITH in %1 on %2: 23 people",
                                  "Searched NOBODYHERE in %1 on %2: nobody",
                                  "Searched SMITH, john in %1 on %2: "};
        const QString today =
            QLocale(QLocale::English).toString(QDate::currentDate(), QStringLiteral("d MMMM yyyy"));
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(lines[i].startsWith(QString::fromLatin1(expected[i]).arg(title, today)))
                << lines[i].toStdString();
        // Printed, each search is a line of its own, under the report's headings.
        window.PrintReport();
        // The ligatures a font may print for fi and fl read back as the letters.
        std::string printed = PdfText(pdf);
        for (const auto& [ligature, letters] :
             {std::pair{"\xEF\xAC\x81", "fi"}, std::pair{"\xEF\xAC\x82", "fl"}})
            for (std::size_t at; (at = printed.find(ligature)) != std::string::npos;)
                printed.replace(at, 3, letters);
        for (const char* heading : {"Research Log\n", "Searches, oldest first\n"})
            EXPECT_EQ(Count(printed, heading), 1u) << heading << printed;
        for (const QString& line : lines) EXPECT_EQ(Count(printed, line.toStdString() + "\n"), 1u) << printed;
        // The filters: by text, by database.
        window.TextFilter()->setText(QStringLiteral("nobody"));
        EXPECT_EQ(window.SearchModel()->Total(), 1);
        window.TextFilter()->clear();
        window.DatabaseFilter()->setCurrentIndex(window.DatabaseFilter()->findData(QStringLiteral("all")));
        EXPECT_EQ(window.SearchModel()->Total(), 0);
    });
}

TEST_F(ResearchLogWindowTest, EnterOnASearchRunsItAgain) {
    Search("smith", "");
    Search("lee", "");
    InWindow([](CResearchLogWindow& window) {
        // Newest first: LEE, then SMITH.
        window.SearchList()->setCurrentIndex(window.SearchModel()->index(1, 0));
        QTest::keyClick(window.SearchList(), Qt::Key_Return);
    });
    EXPECT_EQ(Surname()->text(), QStringLiteral("SMITH"));
    EXPECT_EQ(View()->RecordCount(), kSmithCount);
}

TEST_F(ResearchLogWindowTest, ClearingAsksFirstAndEmptiesWhatWasNamed) {
    Search("smith", "");
    SaveRow(0, "kept");
    struct Case {
        research_log::ClearWhat what;
        platform::MessageAnswer answer;
        std::int64_t searches;
        std::size_t people;
    };
    const Case cases[] = {
        {research_log::ClearWhat::Searches, platform::MessageAnswer::Cancel, 1, 1},
        {research_log::ClearWhat::Searches, platform::MessageAnswer::Ok, 0, 1},
        {research_log::ClearWhat::All, platform::MessageAnswer::Ok, 0, 0},
    };
    for (const Case& c : cases) {
        InWindow([&c](CResearchLogWindow& window) {
            testing_support::ScriptedResponder boxes;
            boxes.Script({c.answer});
            window.Clear(c.what);
            EXPECT_EQ(boxes.Shown().size(), 1u);
            EXPECT_EQ(window.SearchModel()->Total(), c.searches);
            EXPECT_EQ(window.People().size(), c.people);
        });
    }
}

TEST_F(ResearchLogWindowTest, SavedPeopleConfirmedAsOneAreExportedAsOnePersonCitingEach) {
    // John Henry and Joseph Smith (entries 4 and 5: the Lees and the long
    // surname come first) saved, and confirmed as one man.
    research_log::DiskIdentity disk;
    ASSERT_TRUE(Log().Disk(disk));
    const int code = catalogue::CodeOfRow(0);
    const research_log::PersonOnDisk john{code, 4, "SMITH", "John Henry", ""};
    const research_log::PersonOnDisk joseph{code, 5, "SMITH", "Joseph", ""};
    const std::string note = "brothers? see the pension file";
    for (const research_log::PersonOnDisk* person : {&john, &joseph})
        ASSERT_FALSE(Log().Log().SavePerson(disk, *person, person == &john ? &note : nullptr).Failed());
    // John's entry saved from another disk, with a note that is not his.
    research_log::DiskIdentity other = disk;
    other.fingerprint.back() = other.fingerprint.back() == '0' ? '1' : '0';
    const std::string otherNote = "someone else";
    ASSERT_FALSE(Log().Log().SavePerson(other, john, &otherNote).Failed());
    ASSERT_FALSE(Log().Log().SetVerdict(disk, john, joseph, research_log::Sameness::Same, nullptr).Failed());
    const std::string path = root_.File("saved.ged");
    View()->SetSaveFileAsker([&](QWidget*, const QString&) { return QString::fromStdString(path); });
    testing_support::ScriptedResponder boxes;
    InWindow([](CResearchLogWindow& window) { window.ExportPeopleFamilyTree(); });
    const std::string tree = testing_support::ReadFileBytes(path);
    const auto count = [&tree](const std::string& what) {
        std::size_t found = 0;
        for (std::size_t at = tree.find(what); at != std::string::npos; at = tree.find(what, at + 1)) ++found;
        return found;
    };
    EXPECT_EQ(count(" INDI\r\n"), 1u) << tree;
    // The person cites both records of the one database.
    const std::string source = "1 SOUR @S" + std::to_string(code) + "@\r\n2 PAGE ";
    EXPECT_EQ(count(source), 2u) << tree;
    EXPECT_GE(count("given names Joseph, entry 5\r\n"), 1u) << tree;
    // With the note John was saved with.
    EXPECT_EQ(count("Research note: brothers? see the pension file\r\n"), 1u) << tree;
    EXPECT_EQ(count("someone else"), 0u) << tree;
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "1 person saved to " + path + ".");
}

}  // namespace
}  // namespace ui_test
