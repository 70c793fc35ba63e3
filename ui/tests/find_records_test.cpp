// The Find in Records dialog: its query in each field and scope, the list
// that follows the typing, the making of word indexes and its cancel, More
// Info and Show in Main Window against the Search button, copy, export and
// print of the people found, and what it says when it cannot search.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "store/catalogue.h"
#include "store/csv_reader.h"
#include "store/database_writer.h"
#include "ui/app/main_frame.h"
#include "ui/common/help_window.h"
#include "ui/find_records/find_records_dlg.h"
#include "ui/find_records/found_people_model.h"
#include "ui/find_records/record_finder.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/results/more_info_dlg.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

namespace ui_test {
namespace {

constexpr int kMedals = 2;  // civmoh, list row 1: Rank and Organization, Place and Date, Entered service at
using Scope = CFindRecordsDlg::Scope;

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

class FindRecordsTest : public ViewerTest {
protected:
    FindRecordsTest() : cacheHome_("XDG_CACHE_HOME", root_.File("cache").c_str()) {}

    void SetUp() override {
        CDatabaseWriter writer(kMedals);
        std::string error;
        const PersonRecord people[] = {
            {"Chamberlain", "Joshua L.", {"Colonel, 20th Maine Infantry", "2 July 1863", "Brunswick"}},
            {"O'Brien", "Henry", {"Corporal, 1st Minnesota", "3 July 1863", "M\xFCnchen"}},
            {"Tozier", "Andrew J.", {"Sergeant, 20th Maine Infantry", "2 July 1863", "Plymouth"}},
            {"Smith", "Quincy", {"Private, 20th Maine Infantry", "1 May 1864", "Bangor"}},
        };
        for (const PersonRecord& person : people) ASSERT_TRUE(writer.Add(person, &error)) << error;
        ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
        StartViewer();
    }

    // Opens Find in Records with Ctrl+Shift+F from the focused control and runs fn in it.
    void InFindRecords(QWidget* from, const std::function<void(CFindRecordsDlg&)>& fn) {
        from->setFocus();
        ModalWatcher watcher([&fn](QWidget* modal) {
            auto* dialog = qobject_cast<CFindRecordsDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            ASSERT_TRUE(dialog->WaitForAnswer());
            fn(*dialog);
        });
        QTest::keyClick(from, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        QApplication::processEvents();
        EXPECT_TRUE(watcher.Fired());
    }

    // Runs the event loop until done holds (the threads' answers come through it).
    static bool Until(const std::function<bool()>& done) {
        for (int i = 0; i < 2000 && !done(); ++i) QTest::qWait(5);
        return done();
    }

    static void Ask(CFindRecordsDlg& dialog, const char* text, const char* field, const char* from,
                    const char* to, Scope scope) {
        dialog.ScopeBox()->setCurrentIndex(dialog.ScopeBox()->findData(static_cast<int>(scope)));
        dialog.FieldBox()->setCurrentIndex(dialog.FieldBox()->findText(QString::fromLatin1(field)));
        dialog.YearsFrom()->setText(QString::fromLatin1(from));
        dialog.YearsTo()->setText(QString::fromLatin1(to));
        dialog.TextField()->setText(QString::fromLatin1(text));
        dialog.Refresh();
        // Every database's index is made first: the answer is whole once none waits.
        ASSERT_TRUE(Until([&dialog]() { return dialog.Answered() && dialog.IndexingLine()->isHidden(); }));
    }

    // The people read into the list: "SURNAME|given names|where it matched".
    static std::vector<std::string> People(const CFindRecordsDlg& dialog) {
        std::vector<std::string> rows;
        for (int row = 0; const CRecordFinder::Row* person = dialog.Model()->Person(row); ++row) {
            rows.push_back(Utf8(person->surname + QLatin1Char('|') + person->givenNames + QLatin1Char('|') +
                                CFoundPeopleModel::Unmarked(person->match)));
        }
        return rows;
    }

    QString Clipboard() const { return QApplication::clipboard()->text(); }

    testing_support::ScopedEnv cacheHome_;
};

TEST_F(FindRecordsTest, EachFieldScopeAndYearRangeFindsItsPeople) {
    const std::string medal = "Rank and Organization: ";
    const struct {
        const char* text;
        const char* field;
        const char* from;
        const char* to;
        Scope scope;
        std::vector<std::string> people;
        const char* count;
    } cases[] = {
        {"\"20th maine\"",
         "Any field",
         "",
         "",
         Scope::ChosenDatabase,
         {"CHAMBERLAIN|Joshua L.|" + medal + "Colonel, 20th Maine Infantry",
          "SMITH|Quincy|" + medal + "Private, 20th Maine Infantry",
          "TOZIER|Andrew J.|" + medal + "Sergeant, 20th Maine Infantry"},
         "3 people found."},
        {"maine -private",
         "Rank and Organization",
         "",
         "",
         Scope::ChosenDatabase,
         {"CHAMBERLAIN|Joshua L.|" + medal + "Colonel, 20th Maine Infantry",
          "TOZIER|Andrew J.|" + medal + "Sergeant, 20th Maine Infantry"},
         nullptr},
        {"muenchen munchen", "Any field", "", "", Scope::ChosenDatabase, {}, "0 people found."},
        {"munchen",
         "Any field",
         "",
         "",
         Scope::ChosenDatabase,
         {"O'BRIEN|Henry|Entered service at: M\xC3\xBCnchen"},
         "1 person found."},
        {"o'brien", "Surname", "", "", Scope::ChosenDatabase, {"O'BRIEN|Henry|Surname: O'BRIEN"}, nullptr},
        {"quin*",
         "Given names",
         "",
         "",
         Scope::AllDatabases,
         {"SMITH|Quincy|Given names: Quincy", "SMITH|Quincy|Given names: Quincy"},
         "2 people found."},
        {"",
         "Any field",
         "1864",
         "",
         Scope::ChosenDatabase,
         {"SMITH|Quincy|Place and Date: 1 May 1864"},
         nullptr},
        {"maine",
         "Any field",
         "1862",
         "1863",
         Scope::ChosenDatabase,
         {"CHAMBERLAIN|Joshua L.|" + medal + "Colonel, 20th Maine Infantry; Place and Date: 2 July 1863",
          "TOZIER|Andrew J.|" + medal + "Sergeant, 20th Maine Infantry; Place and Date: 2 July 1863"},
         nullptr},
        {"colonel", "Any field", "", "1800", Scope::AllDatabases, {}, nullptr},
        {"lee",
         "Surname",
         "",
         "",
         Scope::AllDatabases,
         {"LEE|Robert Edward|Surname: LEE", "LEE||Surname: LEE", "LEE|Fitzhugh|Surname: LEE"},
         nullptr},
    };
    DatabaseList()->setCurrentIndex(catalogue::RowOfCode(kMedals));
    InFindRecords(Surname(), [&](CFindRecordsDlg& dialog) {
        // The fields offered are those of the databases looked in.
        dialog.ScopeBox()->setCurrentIndex(
            dialog.ScopeBox()->findData(static_cast<int>(Scope::ChosenDatabase)));
        EXPECT_EQ(dialog.FieldBox()->itemText(0), QStringLiteral("Any field"));
        EXPECT_GE(dialog.FieldBox()->findText(QStringLiteral("Rank and Organization")), 1);
        EXPECT_EQ(dialog.FieldBox()->itemText(dialog.FieldBox()->count() - 1), QStringLiteral("Given names"));
        for (const auto& c : cases) {
            Ask(dialog, c.text, c.field, c.from, c.to, c.scope);
            EXPECT_EQ(People(dialog), c.people) << c.text << " in " << c.field;
            if (c.count != nullptr) {
                EXPECT_EQ(dialog.CountLabel()->text(), QString::fromLatin1(c.count)) << c.text;
            }
            // All databases names those the disk does not hold, and nothing else goes wrong.
            const QString problem =
                dialog.ProblemLabel()->isHidden() ? QString() : dialog.ProblemLabel()->text();
            EXPECT_TRUE(problem.isEmpty() ||
                        (c.scope == Scope::AllDatabases && !problem.contains(QLatin1Char('\n')) &&
                         problem.startsWith(QStringLiteral("Not on this disk: Revolutionary"))))
                << c.text << ": " << Utf8(problem);
        }
        // The matched words are marked for the bold of the list.
        Ask(dialog, "tozier sergeant", "Any field", "", "", Scope::ChosenDatabase);
        ASSERT_EQ(dialog.Model()->Count(), 1);
        EXPECT_EQ(
            dialog.Model()->Person(0)->match,
            QStringLiteral(
                "Surname: \x01TOZIER\x02; Rank and Organization: \x01Sergeant\x02, 20th Maine Infantry"));
        // Only the Medal of Honor database has the heading; a database without it offers Any field again.
        dialog.FieldBox()->setCurrentIndex(
            dialog.FieldBox()->findText(QStringLiteral("Rank and Organization")));
        dialog.ScopeBox()->setCurrentIndex(
            dialog.ScopeBox()->findData(static_cast<int>(Scope::AllDatabases)));
        EXPECT_EQ(dialog.FieldBox()->currentText(), QStringLiteral("Rank and Organization"));
    });
}

TEST_F(FindRecordsTest, FollowsTheTypingAndShowsOnlyTheNewestAnswer) {
    DatabaseList()->setCurrentIndex(catalogue::RowOfCode(kMedals));
    InFindRecords(Surname(), [&](CFindRecordsDlg& dialog) {
        EXPECT_TRUE(dialog.isModal());
        EXPECT_EQ(dialog.focusWidget(), dialog.TextField());
        // Each burst of keys asks once, from the event loop; the typing never waits for the answer.
        QTest::keyClicks(dialog.TextField(), QStringLiteral("tozi"));
        EXPECT_TRUE(dialog.RefreshPending());
        ASSERT_TRUE(Until([&dialog]() { return !dialog.RefreshPending() && dialog.Answered(); }));
        EXPECT_EQ(People(dialog), std::vector<std::string>{});
        QTest::keyClicks(dialog.TextField(), QStringLiteral("er"));
        ASSERT_TRUE(Until([&dialog]() { return dialog.Answered() && dialog.Model()->Count() == 1; }));
        // Queries asked one after another: only the newest answer is shown, whatever came before.
        std::vector<std::uint64_t> answered;
        QObject::connect(
            &View()->RecordFinder(), &CRecordFinder::answered, &dialog,
            [&answered](const CRecordFinder::Answer& answer) { answered.push_back(answer.generation); });
        for (const char* text : {"chamberlain", "o'brien", "maine", "\"20th maine\" -colonel"}) {
            dialog.TextField()->setText(QString::fromLatin1(text));
            dialog.Refresh();
        }
        ASSERT_TRUE(dialog.WaitForAnswer());
        EXPECT_EQ(People(dialog).size(), 2U);
        EXPECT_TRUE(std::is_sorted(answered.begin(), answered.end()));
        EXPECT_LE(answered.size(), 4U);
        // Up and Down in the text field move in the list; the person stood on stays while still found.
        QTest::keyClick(dialog.TextField(), Qt::Key_Down);
        EXPECT_EQ(dialog.PeopleList()->currentIndex().row(), 1);
        dialog.TextField()->setText(QStringLiteral("maine"));
        ASSERT_TRUE(dialog.WaitForAnswer());
        EXPECT_EQ(dialog.PeopleList()->currentIndex().row(), 2);
        EXPECT_EQ(Utf8(dialog.Model()->Person(2)->surname), "TOZIER");
        // The count line is what a screen reader hears, here and in the text field.
        EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog.CountLabel())->text(QAccessible::Name),
                  QStringLiteral("3 people found."));
        EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog.TextField())->text(QAccessible::Description),
                  QStringLiteral("3 people found."));
    });
    // Opened again: the last query and choices, the text selected.
    InFindRecords(Surname(), [&](CFindRecordsDlg& dialog) {
        EXPECT_EQ(dialog.TextField()->text(), QStringLiteral("maine"));
        EXPECT_EQ(dialog.TextField()->selectedText(), QStringLiteral("maine"));
        EXPECT_EQ(dialog.Model()->Count(), 3);
    });
}

TEST_F(FindRecordsTest, MakesMissingIndexesWithProgressAndCancelsThem) {
    // The index thread waits at the gate until the test opens it.
    std::mutex lock;
    std::condition_variable opened;
    bool open = false;
    std::vector<int> made;
    View()->RecordFinder().SetIndexGate([&](int code) {
        std::unique_lock<std::mutex> held(lock);
        made.push_back(code);
        opened.wait(held, [&open]() { return open; });
    });
    auto openGate = [&]() {
        {
            std::lock_guard<std::mutex> held(lock);
            open = true;
        }
        opened.notify_all();
    };
    DatabaseList()->setCurrentIndex(catalogue::RowOfCode(kMedals));
    InFindRecords(Surname(), [&](CFindRecordsDlg& dialog) {
        dialog.TextField()->setText(QStringLiteral("maine"));
        ASSERT_TRUE(dialog.WaitForAnswer());
        // Nothing is ready: the database waits for its index, said with Cancel beside it.
        EXPECT_TRUE(dialog.IndexingLine()->isVisible());
        EXPECT_TRUE(dialog.IndexingLabel()->text().contains(QStringLiteral("Civil War Medal of Honor")));
        EXPECT_EQ(dialog.IndexingButton()->text(), QStringLiteral("Cancel"));
        EXPECT_EQ(dialog.CountLabel()->text(), QStringLiteral("0 people found so far."));
        // Cancelled: left out, and offered to be made after all.
        QTest::mouseClick(dialog.IndexingButton(), Qt::LeftButton);
        openGate();
        ASSERT_TRUE(
            Until([&dialog]() { return dialog.IndexingButton()->text() == QStringLiteral("Make In&dex"); }));
        EXPECT_TRUE(dialog.IndexingLabel()->text().startsWith(QStringLiteral("Not searched")));
        EXPECT_FALSE(dialog.IndexingBar()->isVisible());
        EXPECT_EQ(dialog.Model()->Count(), 0);
        EXPECT_FALSE(std::filesystem::exists(root_.File("cache") + "/chronara") &&
                     !std::filesystem::is_empty(root_.File("cache") + "/chronara"));
        QTest::mouseClick(dialog.IndexingButton(), Qt::LeftButton);
        ASSERT_TRUE(Until([&dialog]() { return dialog.Answered() && dialog.IndexingLine()->isHidden(); }));
        EXPECT_EQ(dialog.CountLabel()->text(), QStringLiteral("3 people found."));
        // While one database's index is made, the others answer.
        {
            std::lock_guard<std::mutex> held(lock);
            open = false;
        }
        dialog.ScopeBox()->setCurrentIndex(
            dialog.ScopeBox()->findData(static_cast<int>(Scope::AllDatabases)));
        ASSERT_TRUE(dialog.WaitForAnswer());
        EXPECT_EQ(dialog.Model()->Count(), 3);
        EXPECT_TRUE(dialog.IndexingLine()->isVisible());
        openGate();
        ASSERT_TRUE(Until([&dialog]() { return dialog.Answered() && dialog.IndexingLine()->isHidden(); }));
        EXPECT_EQ(dialog.CountLabel()->text(), QStringLiteral("3 people found."));
    });
    View()->RecordFinder().SetIndexGate({});
    ASSERT_FALSE(made.empty());
    EXPECT_EQ(made.front(), kMedals);
}

TEST_F(FindRecordsTest, EnterAndShowInMainWindowAgreeWithTheSearchButton) {
    // Quincy is the 22nd Smith of the first database: on the third page of a Search-button search.
    Search("Smith");
    QTest::mouseClick(Arrow(view_layout::kIdNext), Qt::LeftButton);
    QTest::mouseClick(Arrow(view_layout::kIdNext), Qt::LeftButton);
    const QString count = View()->CountText();
    const std::string row = View()->RowText(1);
    ASSERT_EQ(row.substr(0, 13), "SMITH\tQuincy\t");
    QString title, text;
    View()->SelectRow(1);
    {
        ModalWatcher watcher([&](QWidget* modal) {
            auto* info = qobject_cast<CMoreInfoDlg*>(modal);
            ASSERT_NE(info, nullptr);
            title = info->windowTitle();
            text = info->TextBox()->toPlainText();
        });
        QTest::mouseClick(Button(view_layout::kIdMoreInfo), Qt::LeftButton);
    }
    QTest::mouseClick(Button(view_layout::kIdClear), Qt::LeftButton);
    FirstName()->setText(QStringLiteral("Jo"));

    InFindRecords(Surname(), [&](CFindRecordsDlg& dialog) {
        dialog.ScopeBox()->setCurrentIndex(
            dialog.ScopeBox()->findData(static_cast<int>(Scope::AllDatabases)));
        dialog.TextField()->setText(QStringLiteral("quincy"));
        ASSERT_TRUE(Until([&dialog]() { return dialog.Answered() && dialog.IndexingLine()->isHidden(); }));
        ASSERT_EQ(dialog.Model()->Count(), 2);
        // Enter opens More Info of the person stood on: the window's dialog, title and text.
        bool opened = false;
        {
            ModalWatcher watcher([&](QWidget* modal) {
                auto* info = qobject_cast<CMoreInfoDlg*>(modal);
                ASSERT_NE(info, nullptr);
                opened = true;
                EXPECT_EQ(info->windowTitle(), title);
                EXPECT_EQ(info->TextBox()->toPlainText(), text);
                QTest::keyClick(info, Qt::Key_Escape);
            });
            QTest::keyClick(dialog.TextField(), Qt::Key_Return);
        }
        EXPECT_TRUE(opened);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.focusWidget(), dialog.TextField());
        // Ctrl+Enter shows the person in the main window.
        QTest::keyClick(dialog.PeopleList(), Qt::Key_Return, Qt::ControlModifier);
        EXPECT_FALSE(dialog.isVisible());
    });
    // The window searched the surname alone, turned to the person's page and selected them.
    EXPECT_EQ(DatabaseList()->currentIndex(), 0);
    EXPECT_EQ(Surname()->text(), QStringLiteral("SMITH"));
    EXPECT_EQ(FirstName()->text(), QString());
    EXPECT_EQ(View()->CountText(), count);
    EXPECT_EQ(View()->SelectedRow(), 1);
    EXPECT_EQ(View()->RowText(1), row);
    EXPECT_TRUE(View()->ResultList()->hasFocus());
    EXPECT_TRUE(Arrow(view_layout::kIdPrev)->isEnabled());
}

TEST_F(FindRecordsTest, CopiesExportsAndPrintsThePeopleFoundAndNeverOntoTheDataDisk) {
    DatabaseList()->setCurrentIndex(catalogue::RowOfCode(kMedals));
    const std::string csvFile = root_.File("found.csv");
    const std::string gedcomFile = root_.File("found.ged");
    const std::string pdfFile = root_.File("found.pdf");
    std::string asked;
    View()->SetSaveFileAsker([&](QWidget*, const QString& offered) {
        asked = Utf8(offered);
        return QString::fromStdString(offered.endsWith(QLatin1String(".ged")) ? gedcomFile : csvFile);
    });
    View()->SetPrintDialogRunner([&pdfFile](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdfFile));
        return true;
    });
    testing_support::ScriptedResponder boxes;
    InFindRecords(Surname(), [&](CFindRecordsDlg& dialog) {
        dialog.ScopeBox()->setCurrentIndex(
            dialog.ScopeBox()->findData(static_cast<int>(Scope::AllDatabases)));
        dialog.TextField()->setText(QStringLiteral("colonel"));
        ASSERT_TRUE(Until([&dialog]() { return dialog.Answered() && dialog.IndexingLine()->isHidden(); }));
        // 23 Smiths, Fortescue-Whitfield's Major is no colonel; Chamberlain.
        ASSERT_EQ(dialog.Model()->Count(), 24);

        // Ctrl+C: the rows selected, byte for byte; with every row selected, everyone.
        dialog.PeopleList()->setFocus();
        QTest::keyClick(dialog.PeopleList(), Qt::Key_End);
        QTest::keyClick(dialog.PeopleList(), Qt::Key_Up, Qt::ShiftModifier);
        QTest::keyClick(dialog.PeopleList(), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(
            Utf8(Clipboard()),
            "Confederate Generals\tSMITH\tSamuel\tWar service: Colonel\n"
            "Civil War Medal of Honor\tCHAMBERLAIN\tJoshua L.\tRank and Organization: Colonel, 20th Maine "
            "Infantry\n");
        dialog.PeopleList()->selectAll();
        dialog.TextField()->setFocus();
        dialog.TextField()->deselect();
        QTest::keyClick(dialog.TextField(), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(Clipboard().count(QLatin1Char('\n')), 24);
        EXPECT_EQ(dialog.focusWidget(), dialog.TextField());

        // Copy record: More Info's title and text.
        dialog.PeopleList()->setCurrentIndex(dialog.Model()->index(23));
        dialog.RunCommand(MenuCommand::CopyRecord);
        EXPECT_TRUE(
            Clipboard().startsWith(QStringLiteral("CHAMBERLAIN, Joshua L.\n\nRank and Organization:")))
            << Utf8(Clipboard());

        // Export: the file chronara-query --find writes, parsed row by row too.
        dialog.RunCommand(MenuCommand::ExportResults);
        EXPECT_EQ(asked.substr(asked.rfind('/') + 1), "colonel.csv");
        QProcess query;
        query.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        query.start(QStringLiteral(CHRONARA_QUERY_PATH),
                    {"--data-dir", QString::fromStdString(dataDir_), "--install-dir",
                     QString::fromStdString(installDir_), "--database", "all", "--find", "colonel",
                     "--format", "csv"});
        ASSERT_TRUE(query.waitForFinished(60000));
        const std::string tool = query.readAllStandardOutput().toStdString();
        const std::string ours = testing_support::ReadFileBytes(csvFile);
        EXPECT_EQ(ours, tool);
        CCsvReader reader(ours);
        std::vector<std::string> fields;
        std::vector<std::vector<std::string>> rows;
        while (reader.Next(fields) == CCsvReader::Result::Row) rows.push_back(fields);
        ASSERT_EQ(rows.size(), 25U) << reader.Error();
        EXPECT_EQ(rows[0][0], "database");
        EXPECT_EQ(rows[24][1], "CHAMBERLAIN");

        // The family tree of everyone, and the list printed.
        dialog.RunCommand(MenuCommand::ExportResultsToFamilyTree);
        const std::string tree = testing_support::ReadFileBytes(gedcomFile);
        std::size_t people = 0;
        for (std::size_t at = 0; (at = tree.find(" INDI\r\n", at)) != std::string::npos; ++at) ++people;
        EXPECT_EQ(people, 24U);
        dialog.RunCommand(MenuCommand::PrintResults);
        struct stat info {};
        EXPECT_EQ(::stat(pdfFile.c_str(), &info), 0);
        EXPECT_GT(info.st_size, 0);
        // Each export says where it went and how many it holds; printing says nothing.
        ASSERT_EQ(boxes.Shown().size(), 2U);
        EXPECT_EQ(boxes.Shown()[0].text + boxes.Shown()[1].text,
                  "24 people saved to " + csvFile + ".24 people saved to " + gedcomFile + ".");
        boxes.Clear();

        // An index made while the file dialog waits asks again only after the
        // export, which still writes everyone it was asked for.
        std::filesystem::remove(csvFile);
        View()->SetSaveFileAsker([&](QWidget*, const QString&) {
            emit View()->RecordFinder().indexed(kMedals);
            EXPECT_TRUE(dialog.Answered());
            return QString::fromStdString(csvFile);
        });
        dialog.RunCommand(MenuCommand::ExportResults);
        EXPECT_EQ(testing_support::ReadFileBytes(csvFile), tool);

        // Never onto the data disk: refused as the window refuses it, nothing written there.
        View()->SetSaveFileAsker(
            [this](QWidget*, const QString&) { return QString::fromStdString(dataDir_ + "/found.csv"); });
        dialog.RunCommand(MenuCommand::ExportResults);
        dialog.RunCommand(MenuCommand::ExportResultsToFamilyTree);
        View()->SetPrintDialogRunner([this](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(dataDir_ + "/found.pdf"));
            return true;
        });
        dialog.RunCommand(MenuCommand::PrintResults);
        EXPECT_EQ(boxes.Shown().size(), 4U);
        EXPECT_FALSE(std::filesystem::exists(dataDir_ + "/found.csv"));
        EXPECT_FALSE(std::filesystem::exists(dataDir_ + "/found.pdf"));
    });
}

TEST_F(FindRecordsTest, WhatCannotBeSearchedIsSaidInTheDialog) {
    testing_support::ScriptedResponder boxes;
    DatabaseList()->setCurrentIndex(catalogue::RowOfCode(kMedals));
    InFindRecords(Surname(), [&](CFindRecordsDlg& dialog) {
        const struct {
            const char* text;
            const char* from;
            const char* problem;
        } cases[] = {
            {"\"20th maine", "", "The query is not well formed: "},
            {"ma*ne", "", "The query is not well formed: "},
            {"-maine", "", "The query is not well formed: "},
            {"maine", "1945", ""},
            {"", "", ""},
        };
        for (const auto& c : cases) {
            dialog.YearsFrom()->setText(QString::fromLatin1(c.from));
            dialog.YearsTo()->setText(c.from[0] != '\0' ? QStringLiteral("1941") : QString());
            dialog.TextField()->setText(QString::fromLatin1(c.text));
            ASSERT_TRUE(dialog.WaitForAnswer());
            const QString problem = dialog.ProblemLabel()->text();
            if (c.problem[0] != '\0') {
                EXPECT_TRUE(problem.startsWith(QString::fromLatin1(c.problem)))
                    << c.text << ": " << Utf8(problem);
            } else {
                EXPECT_EQ(dialog.ProblemLabel()->isHidden(), c.from[0] == '\0')
                    << c.text << ": " << Utf8(problem);
            }
            EXPECT_EQ(dialog.Model()->Count(), 0);
        }
        EXPECT_EQ(dialog.CountLabel()->text(), QStringLiteral("Type words to find, or give years."));

        // A damaged word index is made again, and answers rightly.
        dialog.TextField()->setText(QStringLiteral("maine"));
        ASSERT_TRUE(Until([&dialog]() { return dialog.Answered() && dialog.IndexingLine()->isHidden(); }));
        ASSERT_EQ(dialog.Model()->Count(), 3);
        for (const auto& entry : std::filesystem::directory_iterator(root_.File("cache") + "/chronara"))
            testing_support::WriteFileBytes(entry.path().string(), "not an index at all");
        dialog.TextField()->setText(QStringLiteral("maine infantry"));
        ASSERT_TRUE(dialog.WaitForAnswer());
        EXPECT_EQ(dialog.Model()->Count(), 3);

        // No disk, then a record file that cannot be read.
        RemoveMarker();
        dialog.TextField()->setText(QStringLiteral("maine"));
        ASSERT_TRUE(dialog.WaitForAnswer());
        EXPECT_TRUE(dialog.ProblemLabel()->text().startsWith(QStringLiteral("No data disk:")));
        EXPECT_EQ(dialog.CountLabel()->text(), QStringLiteral("Not searched."));
        RestoreMarker();
        const std::string ext = dataDir_ + "/civmoh.ext";
        ASSERT_EQ(::unlink(ext.c_str()), 0);
        ASSERT_EQ(::mkfifo(ext.c_str(), 0644), 0);
        dialog.TextField()->setText(QStringLiteral("colonel"));
        ASSERT_TRUE(Until([&dialog]() { return dialog.Answered() && dialog.IndexingLine()->isHidden(); }));
        EXPECT_TRUE(dialog.ProblemLabel()->text().contains(QStringLiteral("civmoh.ext")))
            << Utf8(dialog.ProblemLabel()->text());
    });
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(FindRecordsTest, ScreenReadersFindEveryControlAndEachPersonAsOneItem) {
    DatabaseList()->setCurrentIndex(catalogue::RowOfCode(kMedals));
    InFindRecords(View()->ResultList(), [&](CFindRecordsDlg& dialog) {
        dialog.TextField()->setText(QStringLiteral("\"20th maine\""));
        ASSERT_TRUE(Until([&dialog]() { return dialog.Answered() && dialog.IndexingLine()->isHidden(); }));
        const std::pair<QWidget*, const char*> named[] = {
            {dialog.TextField(), "Find"},           {dialog.FieldBox(), "Field"},
            {dialog.YearsFrom(), "Years from"},     {dialog.YearsTo(), "Years to"},
            {dialog.ScopeBox(), "Look in"},         {dialog.PeopleList(), "People found"},
            {dialog.MoreInfoButton(), "More Info"}, {dialog.ShowButton(), "Show in Main Window"},
        };
        for (const auto& [widget, name] : named) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(face, nullptr) << name;
            EXPECT_EQ(face->text(QAccessible::Name).remove(QLatin1Char('&')), QString::fromLatin1(name));
        }
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(dialog.PeopleList());
        ASSERT_EQ(list->childCount(), 3);
        EXPECT_EQ(list->child(0)->text(QAccessible::Name),
                  QStringLiteral(
                      "Civil War Medal of Honor, CHAMBERLAIN, Joshua L., Rank and Organization: Colonel, "
                      "20th Maine Infantry"));
        // The choice made is heard as the box's description; the count line reads as text, as it changes.
        EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog.ScopeBox())->text(QAccessible::Description),
                  QStringLiteral("Only Civil War Medal of Honor"));
        QAccessibleTextInterface* count =
            QAccessible::queryAccessibleInterface(dialog.CountLabel())->textInterface();
        ASSERT_NE(count, nullptr);
        EXPECT_EQ(count->text(0, count->characterCount()), QStringLiteral("3 people found."));
        // Tab goes through the buttons in the order they are shown, either way of writing.
        for (const Qt::LayoutDirection direction : {Qt::RightToLeft, Qt::LeftToRight}) {
            dialog.setLayoutDirection(direction);
            std::vector<int> places;
            for (QWidget* at = dialog.PeopleList()->nextInFocusChain(); at != dialog.TextField();
                 at = at->nextInFocusChain()) {
                if (at->parentWidget() == dialog.MoreInfoButton()->parentWidget())
                    places.push_back(direction == Qt::LeftToRight ? at->x() : -at->x());
            }
            EXPECT_EQ(places.size(), 5U);
            EXPECT_TRUE(std::is_sorted(places.begin(), places.end()));
        }
        // F1 opens the dialog's own topic.
        QTest::keyClick(dialog.PeopleList(), Qt::Key_F1);
        ASSERT_NE(dialog.HelpWindow(), nullptr);
        EXPECT_EQ(dialog.HelpWindow()->CurrentContext(), 29);
        dialog.HelpWindow()->close();
    });
}

}  // namespace
}  // namespace ui_test
