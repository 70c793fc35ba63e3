// The Find in Records dialog's searching: its query in each field and
// scope, the list that follows the typing, the making of word indexes and
// its cancel, and what it says when it cannot search.

#include "ui/tests/find_records_fixture.h"

namespace ui_test {
namespace {

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

}  // namespace
}  // namespace ui_test
