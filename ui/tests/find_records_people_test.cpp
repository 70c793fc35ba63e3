// What Find in Records does with the people it found: More Info and Show
// in Main Window against the Search button, copy, export and print (never
// onto the data disk; records confirmed as one person exported as one),
// and each person as one item for screen readers.

#include "ui/tests/find_records_fixture.h"

#include "browse/research_log/disk_identity.h"
#include "browse/research_log/research_log.h"
#include "ui/research_log/viewer_log.h"
#include "ui/research_log/viewer_research.h"
#include "ui/search_view/chronara_view.h"

namespace ui_test {
namespace {

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

namespace ui_test {
namespace {

TEST_F(FindRecordsTest, TwoRecordsConfirmedAsOnePersonAreExportedAsOneCitingBoth) {
    // Quincy Smith of the first database (the 22nd Smith, after the Lees and
    // the long surname) confirmed as Quincy Smith of the Medal of Honor roll.
    research_log::DiskIdentity disk;
    ASSERT_TRUE(View()->Research().Log().Disk(disk));
    const int first = catalogue::CodeOfRow(0);
    const research_log::PersonOnDisk general{first, 25, "SMITH", "Quincy", ""};
    const research_log::PersonOnDisk medal{kMedals, 2, "SMITH", "Quincy", ""};
    ASSERT_FALSE(View()
                     ->Research()
                     .Log()
                     .Log()
                     .SetVerdict(disk, general, medal, research_log::Sameness::Same, nullptr)
                     .Failed());
    const std::string gedcomFile = root_.File("quincy.ged");
    View()->SetSaveFileAsker([&](QWidget*, const QString&) { return QString::fromStdString(gedcomFile); });
    testing_support::ScriptedResponder boxes;
    InFindRecords(Surname(), [&](CFindRecordsDlg& dialog) {
        Ask(dialog, "quincy", "Any field", "", "", Scope::AllDatabases);
        ASSERT_EQ(dialog.Model()->Count(), 2);
        dialog.RunCommand(MenuCommand::ExportResultsToFamilyTree);
    });
    const std::string tree = testing_support::ReadFileBytes(gedcomFile);
    const auto count = [&tree](const std::string& what) {
        std::size_t found = 0;
        for (std::size_t at = tree.find(what); at != std::string::npos; at = tree.find(what, at + 1)) ++found;
        return found;
    };
    EXPECT_EQ(count(" INDI\r\n"), 1u) << tree;
    EXPECT_EQ(count("1 NAME Quincy /Smith/"), 1u) << tree;
    // The person cites each record, each from its own database's source.
    EXPECT_EQ(count("1 SOUR @S" + std::to_string(first) + "@\r\n2 PAGE "), 1u) << tree;
    EXPECT_EQ(count("1 SOUR @S" + std::to_string(kMedals) + "@\r\n2 PAGE "), 1u) << tree;
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "1 person saved to " + gedcomFile + ".");
}

}  // namespace
}  // namespace ui_test
