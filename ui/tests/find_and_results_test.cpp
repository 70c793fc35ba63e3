// The Find Surname dialog: its matches, its keys, its search of the match
// taken, and the context menus that open it.

#include <gtest/gtest.h>

#include "ui/tests/find_and_results_fixture.h"

using namespace view_layout;

namespace ui_test {
namespace {

TEST_F(FindAndResultsTest, MatchesEachWayInTheChosenDatabaseOrInAll) {
    using Scope = CFindSurnameDlg::Scope;
    const std::string first = Title(1), second = Title(secondCode_);
    struct Case {
        MatchMode mode;
        Scope scope;
        const char* text;
        std::vector<std::string> matches;
        const char* count;
    };
    const std::vector<Case> cases = {
        {MatchMode::Exact,
         Scope::AllDatabases,
         "lee",
         {first + "|LEE|3", second + "|LEE|1"},
         "2 surnames match (4 people)."},
        {MatchMode::Exact, Scope::ChosenDatabase, "LEE", {first + "|LEE|3"}, "1 surname matches (3 people)."},
        {MatchMode::Prefix,
         Scope::AllDatabases,
         "le",
         {first + "|LEE|3", second + "|LEE|1", second + "|LEHMANN|1"},
         nullptr},
        {MatchMode::Soundex,
         Scope::AllDatabases,
         "Smith",
         {first + "|SMITH|23", second + "|SCHMIDT|1", second + "|SMYTH|2"},
         "3 surnames match (26 people)."},
        {MatchMode::Soundex, Scope::ChosenDatabase, "Smyth", {first + "|SMITH|23"}, nullptr},
        {MatchMode::DaitchMokotoff,
         Scope::AllDatabases,
         "Schmit",
         {first + "|SMITH|23", second + "|SCHMIDT|1", second + "|SMYTH|2"},
         nullptr},
        {MatchMode::Pattern,
         Scope::AllDatabases,
         "*e*",
         {first + "|FORTESCUE-WHITFIELD|1", first + "|LEE|3", second + "|LEE|1", second + "|LEHMANN|1"},
         nullptr},
        {MatchMode::Pattern,
         Scope::AllDatabases,
         "sm?th",
         {first + "|SMITH|23", second + "|SMYTH|2"},
         nullptr},
        {MatchMode::Prefix, Scope::AllDatabases, "x", {}, "No surname matches."},
        // Closest first: a transposition, then an insertion and a deletion.
        {MatchMode::Close,
         Scope::AllDatabases,
         "Smtih",
         {first + "|SMITH|23", second + "|SMYTH|2"},
         "2 surnames match (25 people)."},
        {MatchMode::Close, Scope::ChosenDatabase, "Le", {first + "|LEE|3"}, nullptr},
    };
    InFindSurname(Surname(), [&](CFindSurnameDlg& dialog) {
        // Every way of matching is offered by its name.
        EXPECT_EQ(dialog.ModeBox()->findText(QStringLiteral("Close spelling")),
                  dialog.ModeBox()->findData(static_cast<int>(MatchMode::Close)));
        for (const Case& c : cases) {
            dialog.TextField()->setText(QString::fromLatin1(c.text));
            Choose(dialog, c.mode, c.scope);
            dialog.Refresh();
            EXPECT_EQ(Matches(dialog), c.matches) << c.text;
            if (c.count != nullptr) {
                EXPECT_EQ(dialog.CountLabel()->text(), QString::fromLatin1(c.count)) << c.text;
            }
        }
        // What the list cannot show is said in the dialog, without a box;
        // the databases missing from the disk are named.
        testing_support::ScriptedResponder boxes;
        dialog.TextField()->setText(QStringLiteral("lee"));
        Choose(dialog, MatchMode::Exact, Scope::AllDatabases);
        dialog.Refresh();
        EXPECT_NE(dialog.ProblemLabel()->text().indexOf(
                      QStringLiteral("Not on this disk: Civil War Medal of Honor")),
                  -1)
            << Utf8(dialog.ProblemLabel()->text());
        RemoveMarker();
        dialog.Refresh();
        EXPECT_EQ(dialog.Model()->rowCount(), 0);
        EXPECT_TRUE(dialog.ProblemLabel()->text().startsWith(QStringLiteral("No data disk:")))
            << Utf8(dialog.ProblemLabel()->text());
        RestoreMarker();
        dialog.Refresh();
        EXPECT_EQ(dialog.Model()->rowCount(), 2);
        EXPECT_TRUE(boxes.Shown().empty());
    });
}

TEST_F(FindAndResultsTest, FollowsTheTypingAndTheKeysOfTheList) {
    Surname()->setText(QStringLiteral("Smi"));
    InFindSurname(Surname(), [&](CFindSurnameDlg& dialog) {
        // Prefilled from the surname edit; the window's choices are kept from last time.
        EXPECT_EQ(dialog.TextField()->text(), QStringLiteral("Smi"));
        EXPECT_EQ(dialog.focusWidget(), dialog.TextField());
        EXPECT_EQ(dialog.parentWidget()->window(), frame_);
        EXPECT_TRUE(dialog.isModal());
        Choose(dialog, MatchMode::Prefix, CFindSurnameDlg::Scope::AllDatabases);
        EXPECT_EQ(Matches(dialog), std::vector<std::string>{Title(1) + "|SMITH|23"});

        // A screen reader hears each control's name, and the count in the text field.
        const std::pair<QWidget*, const char*> named[] = {{dialog.TextField(), "Surname"},
                                                          {dialog.ModeBox(), "Matching"},
                                                          {dialog.ScopeBox(), "Look in"},
                                                          {dialog.MatchList(), "Matching surnames"}};
        for (const auto& [widget, name] : named) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(face, nullptr) << name;
            EXPECT_EQ(face->text(QAccessible::Name), QString::fromLatin1(name));
        }
        EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog.TextField())->text(QAccessible::Description),
                  dialog.CountLabel()->text());
        // The count line is a live line: its text is read through the text interface.
        QAccessibleTextInterface* count =
            QAccessible::queryAccessibleInterface(dialog.CountLabel())->textInterface();
        ASSERT_NE(count, nullptr);
        EXPECT_EQ(count->text(0, count->characterCount()), dialog.CountLabel()->text());

        // The prefilled text is selected: typing replaces it, and the list follows.
        QTest::keyClicks(dialog.TextField(), QStringLiteral("Le"));
        EXPECT_TRUE(dialog.RefreshPending());
        QApplication::processEvents();
        EXPECT_FALSE(dialog.RefreshPending());
        EXPECT_EQ(Matches(dialog).size(), 3u);
        EXPECT_EQ(dialog.MatchList()->currentIndex().row(), 0);
        // Down and Up in the text field move in the list.
        QTest::keyClick(dialog.TextField(), Qt::Key_Down);
        QTest::keyClick(dialog.TextField(), Qt::Key_Down);
        EXPECT_EQ(dialog.MatchList()->currentIndex().row(), 2);
        QTest::keyClick(dialog.TextField(), Qt::Key_Up);
        EXPECT_EQ(dialog.MatchList()->currentIndex().row(), 1);
        // The match stood on stays current while it still matches.
        QTest::keyClick(dialog.TextField(), Qt::Key_E);
        QApplication::processEvents();
        EXPECT_EQ(dialog.MatchList()->currentIndex().row(), 1);
        dialog.reject();
    });
}

TEST_F(FindAndResultsTest, EnterSearchesTheMatchAsSearchDoesAndEscapeChangesNothing) {
    // The search that the Search button makes of the same choice.
    DatabaseList()->setCurrentIndex(kSecondRow);
    Search("LEHMANN", "\xC9");
    const QString expectedCount = View()->CountText();
    const std::string expectedRow = View()->RowText(0);
    ASSERT_EQ(expectedCount, QStringLiteral("1 records found."));
    QTest::mouseClick(Button(kIdClear), Qt::LeftButton);
    DatabaseList()->setCurrentIndex(0);
    FirstName()->setText(QString::fromLatin1("\xC9"));

    // Escape: nothing changes, with a match current and text typed.
    Surname()->setText(QStringLiteral("Smith"));
    InFindSurname(FirstName(), [](CFindSurnameDlg& dialog) {
        QTest::keyClicks(dialog.TextField(), QStringLiteral("leh"));
        QApplication::processEvents();
        ASSERT_EQ(dialog.Model()->rowCount(), 1);
        QTest::keyClick(dialog.TextField(), Qt::Key_Escape);
    });
    EXPECT_EQ(DatabaseList()->currentIndex(), 0);
    EXPECT_EQ(Surname()->text(), QStringLiteral("Smith"));
    EXPECT_EQ(FirstName()->text(), QString::fromLatin1("\xC9"));
    EXPECT_EQ(View()->RecordCount(), 0);

    // Enter straight after typing takes what the typed text matches.
    InFindSurname(Surname(), [](CFindSurnameDlg& dialog) {
        dialog.ScopeBox()->setCurrentIndex(
            dialog.ScopeBox()->findData(static_cast<int>(CFindSurnameDlg::Scope::AllDatabases)));
        dialog.ModeBox()->setCurrentIndex(dialog.ModeBox()->findData(static_cast<int>(MatchMode::Prefix)));
        QTest::keyClicks(dialog.TextField(), QStringLiteral("lehm"));
        QTest::keyClick(dialog.TextField(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(DatabaseList()->currentIndex(), kSecondRow);
    EXPECT_EQ(Surname()->text(), QStringLiteral("LEHMANN"));
    EXPECT_EQ(FirstName()->text(), QString::fromLatin1("\xC9"));
    EXPECT_EQ(View()->CountText(), expectedCount);
    EXPECT_EQ(std::string(View()->RowText(0)), expectedRow);

    // A double click takes the match under it; from the result list's Ctrl+F too.
    DatabaseList()->setCurrentIndex(0);
    Search("Smith");
    ASSERT_EQ(View()->RecordCount(), kSmithCount);
    InFindSurname(View()->ResultList(), [](CFindSurnameDlg& dialog) {
        dialog.TextField()->setText(QStringLiteral("lee"));
        dialog.ModeBox()->setCurrentIndex(dialog.ModeBox()->findData(static_cast<int>(MatchMode::Exact)));
        dialog.Refresh();
        ASSERT_EQ(dialog.Model()->rowCount(), 2);
        QTreeView* list = dialog.MatchList();
        const QRect second = list->visualRect(dialog.Model()->index(1, 0));
        // As a mouse does it: the first click of the two presses the row.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    });
    EXPECT_EQ(DatabaseList()->currentIndex(), kSecondRow);
    EXPECT_EQ(Surname()->text(), QStringLiteral("LEE"));
    EXPECT_EQ(View()->CountText(), QStringLiteral("1 records found."));
}

TEST_F(FindAndResultsTest, ATwentyLetterSurnameIsSearchedWholeAndTheFirstNameFilterIsSaid) {
    // A database of long keys holds a surname longer than the surname edit reads.
    const int graves = 11;
    CDatabaseWriter writer(graves);
    std::string error;
    for (int i = 1; i <= 12; ++i) {
        const std::string given = "Otto " + std::to_string(i);
        ASSERT_TRUE(writer.Add(PersonRecord{"Fitzwilliam-Montague", given, {"1944", "Sergeant"}}, &error));
    }
    ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
    QSize chosenSize;
    // keep: whether the first-name filter is left on (Alt+F drops it).
    auto findAndTake = [&](bool keep) {
        InFindSurname(Surname(), [&](CFindSurnameDlg& dialog) {
            dialog.TextField()->setText(QStringLiteral("fitz"));
            Choose(dialog, MatchMode::Prefix, CFindSurnameDlg::Scope::AllDatabases);
            dialog.Refresh();
            ASSERT_EQ(Matches(dialog), std::vector<std::string>{Title(graves) + "|FITZWILLIAM-MONTAGUE|12"});
            // Every column holds its text, the longest database title included.
            dialog.TextField()->setText(QStringLiteral("*"));
            Choose(dialog, MatchMode::Pattern, CFindSurnameDlg::Scope::AllDatabases);
            dialog.Refresh();
            const QAbstractItemView* list = dialog.MatchList();
            const QHeaderView* header = dialog.MatchList()->header();
            for (int column = 0; column < CSurnameMatchModel::kColumnCount; ++column) {
                EXPECT_LE(list->sizeHintForColumn(column), header->sectionSize(column)) << column;
                EXPECT_LE(header->sectionSizeHint(column), header->sectionSize(column)) << column;
            }
            if (chosenSize.isValid()) {
                EXPECT_EQ(dialog.size(), chosenSize) << "kept from the last opening";
            }
            dialog.TextField()->setText(QStringLiteral("fitz"));
            Choose(dialog, MatchMode::Prefix, CFindSurnameDlg::Scope::AllDatabases);
            dialog.Refresh();
            // The filter the search will keep is said beside the count, and heard in the text field.
            QCheckBox* filter = dialog.FirstNameBox();
            EXPECT_TRUE(filter->isVisible());
            EXPECT_TRUE(filter->isChecked());
            EXPECT_EQ(filter->text(), QStringLiteral("Only people with &first name beginning with ZZ"));
            EXPECT_EQ(dialog.TextField()->accessibleDescription(),
                      dialog.CountLabel()->text() +
                          QStringLiteral(" Only people with first name beginning with ZZ."));
            // The count is of the people the filter keeps, as the search finds them, while it is kept.
            EXPECT_EQ(dialog.CountLabel()->text(),
                      QStringLiteral("1 surname matches (12 people, 0 with first name ZZ)."));
            if (!keep) {
                // (Offscreen, a dialog opened from a test is not made the active window by itself.)
                QApplication::setActiveWindow(&dialog);
                QTest::keyClick(dialog.TextField(), Qt::Key_F, Qt::AltModifier);
                // A mnemonic clicks its button after a short press animation.
                for (int wait = 0; wait < 250 && filter->isChecked(); ++wait) QTest::qWait(20);
            }
            EXPECT_EQ(filter->isChecked(), keep);
            if (!keep) {
                EXPECT_EQ(dialog.CountLabel()->text(), QStringLiteral("1 surname matches (12 people)."));
            }
            chosenSize = dialog.size() + QSize(40, 30);
            dialog.resize(chosenSize);
            QTest::keyClick(dialog.TextField(), Qt::Key_Return);
        });
    };
    DatabaseList()->setCurrentIndex(0);
    FirstName()->setText(QStringLiteral("zz"));
    findAndTake(true);
    EXPECT_EQ(DatabaseList()->currentIndex(), catalogue::RowOfCode(graves));
    EXPECT_EQ(Surname()->text(), QStringLiteral("FITZWILLIAM-MONTAGUE"));
    EXPECT_EQ(FirstName()->text(), QStringLiteral("zz"));
    EXPECT_EQ(View()->CountText(), QStringLiteral("0 records found."));

    findAndTake(false);
    EXPECT_TRUE(FirstName()->text().isEmpty());
    EXPECT_EQ(View()->CountText(), QStringLiteral("12 records found."));
    // The whole surname is the search's: its pages, its records, copy and export.
    QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    ASSERT_EQ(View()->RowsOnPage(), 2);
    EXPECT_EQ(View()->RowText(1).rfind("FITZWILLIAM-MONTAGUE\tOtto 12\t", 0), 0u) << View()->RowText(1);
    View()->SelectRow(1);
    View()->RunMenuCommand(MenuCommand::CopyRecord);
    EXPECT_TRUE(Clipboard().startsWith(QStringLiteral("FITZWILLIAM-MONTAGUE, Otto 12"))) << Utf8(Clipboard());
    const std::string csvPath = root_.File("fitz.csv");
    View()->SetSaveFileAsker([&](QWidget*, const QString&) { return QString::fromStdString(csvPath); });
    {
        testing_support::ScriptedResponder boxes;
        View()->RunMenuCommand(MenuCommand::ExportResults);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].text, "12 people saved to " + csvPath + ".");
    }
    EXPECT_EQ(Count(testing_support::ReadFileBytes(csvPath), "FITZWILLIAM-MONTAGUE,"), 12u);

    // Without a first name there is no filter to name.
    InFindSurname(Surname(),
                  [](CFindSurnameDlg& dialog) { EXPECT_FALSE(dialog.FirstNameBox()->isVisible()); });
}

TEST_F(FindAndResultsTest, ContextMenusOfferTheCommandsWithTheirShortcuts) {
    auto entries = [](QMenu& menu) {
        std::vector<std::string> lines;
        for (QAction* action : menu.actions()) {
            if (action->isSeparator() || !action->property("menuCommand").isValid()) continue;
            lines.push_back(Utf8(action->text()) + "|" + Utf8(action->shortcut().toString()) + "|" +
                            (action->isEnabled() ? "on" : "off"));
        }
        return lines;
    };
    const std::string dots = "\u2026";
    // The finders, and the Research Log beside them.
    const std::vector<std::string> finders = {"&Find Surname" + dots + "|Ctrl+F|on",
                                              "Find in Recor&ds" + dots + "|Ctrl+Shift+F|on",
                                              "Research &Log" + dots + "|Ctrl+L|on"};
    // The result list's entries, all but the finders off before a search and on with a row selected.
    auto listEntries = [&dots](bool on) {
        const std::string state = on ? "on" : "off";
        return std::vector<std::string>{"&Find Surname" + dots + "|Ctrl+F|on",
                                        "Find in Recor&ds" + dots + "|Ctrl+Shift+F|on",
                                        "Research &Log" + dots + "|Ctrl+L|on",
                                        std::string(on ? "&Copy row" : "&Copy rows") + "|Ctrl+C|" + state,
                                        "Copy &record||" + state,
                                        "Copy c&itation|Ctrl+Shift+C|" + state,
                                        "Sa&ve person" + dots + "|Ctrl+S|" + state,
                                        "&Export results" + dots + "||" + state,
                                        "Export record to family &tree (GEDCOM)" + dots + "||" + state,
                                        "Export results to family tree (&GEDCOM)" + dots + "||" + state,
                                        "&Print record" + dots + "|Ctrl+P|" + state,
                                        "Print re&sults" + dots + "||" + state};
    };
    EXPECT_EQ(entries(*View()->MakeListMenu()), listEntries(false));
    Search("Smith");
    View()->SelectRow(1);
    {
        std::unique_ptr<QMenu> menu = View()->MakeListMenu();
        EXPECT_EQ(entries(*menu), listEntries(true));
        for (QAction* action : menu->actions())
            EXPECT_TRUE(action->isShortcutVisibleInContextMenu() || action->shortcut().isEmpty());
    }
    std::unique_ptr<QMenu> surnameMenu = View()->MakeSurnameMenu();
    EXPECT_EQ(entries(*surnameMenu), finders);
    // The edit's own entries stay.
    EXPECT_GT(surnameMenu->actions().size(), 5);
    std::unique_ptr<QMenu> firstNameMenu = View()->MakeFirstNameMenu();
    EXPECT_EQ(entries(*firstNameMenu),
              (std::vector<std::string>{"Match name &variants||on", finders[0], finders[1], finders[2]}));
    EXPECT_GT(firstNameMenu->actions().size(), 5);
}

}  // namespace
}  // namespace ui_test
