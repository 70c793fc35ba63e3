// What the window does with a search's hits: copy, export to CSV and print
// (to PDF files, read back with pdftotext).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <QStringList>

#include "ui/print/print_module.h"
#include "ui/tests/find_and_results_fixture.h"

using namespace view_layout;

namespace ui_test {
namespace {

TEST_F(FindAndResultsTest, CopiesRowsAndRecordsAsUtf8Text) {
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(Surname(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QStringLiteral("before"));  // nothing to copy

    DatabaseList()->setCurrentIndex(kSecondRow);
    Search("Lehmann");
    // Ctrl+C without a selection: every row of the page, in UTF-8.
    QTest::keyClick(Surname(), Qt::Key_C, Qt::ControlModifier);
    const QString lehmann = QString::fromUtf8("LEHMANN\t\xC3\x89mil\t1861, Private,  \n");
    EXPECT_EQ(Clipboard(), lehmann);
    EXPECT_EQ(QApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain")), lehmann.toUtf8());

    DatabaseList()->setCurrentIndex(0);
    Search("Smith");
    QTest::keyClick(Surname(), Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = Clipboard().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), View()->RowsOnPage() + 1);
    EXPECT_TRUE(lines.back().isEmpty());
    for (int row = 0; row < View()->RowsOnPage(); ++row) {
        EXPECT_EQ(lines[row], QString::fromLatin1(View()->RowText(row).c_str())) << row;
        EXPECT_EQ(lines[row].count(QLatin1Char('\t')), 2) << row;
    }
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("SMITH\tJohn Henry\tJan. 1, 1810, 1890, Farmer")))
        << Utf8(lines[0]);

    // With a row selected, Ctrl+C in the list copies that row alone.
    View()->SelectRow(2);
    View()->ResultList()->setFocus();
    QTest::keyClick(View()->ResultList(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), lines[2] + QStringLiteral("\n"));
    // In an edit box with selected text, Ctrl+C copies that text, as everywhere.
    Surname()->setFocus();
    Surname()->selectAll();
    QTest::keyClick(Surname(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QStringLiteral("Smith"));

    // Copy record: More Info's title and text.
    QString title, text;
    {
        ModalWatcher watcher([&](QWidget* modal) {
            auto* dialog = qobject_cast<CMoreInfoDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            text = dialog->TextBox()->toPlainText();
            // Ctrl+A and Ctrl+C in the text copy the whole text.
            dialog->TextBox()->setFocus();
            QTest::keyClick(dialog->TextBox(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(dialog->TextBox(), Qt::Key_C, Qt::ControlModifier);
            dialog->accept();
        });
        QTest::mouseClick(Button(kIdMoreInfo), Qt::LeftButton);
    }
    ASSERT_FALSE(text.isEmpty());
    EXPECT_EQ(Clipboard(), text);
    View()->RunMenuCommand(MenuCommand::CopyRecord);
    EXPECT_EQ(Clipboard(), title + QStringLiteral("\n\n") + text + (text.endsWith('\n') ? "" : "\n"));
    EXPECT_TRUE(title.startsWith(QStringLiteral("SMITH, "))) << Utf8(title);
}

TEST_F(FindAndResultsTest, ExportsEveryHitOfTheSearchShownToACsvFile) {
    Search("Smith", "Jo");
    ASSERT_EQ(View()->RecordCount(), 4);
    const std::string csvPath = root_.File("smith.csv");
    testing_support::ScriptedResponder boxes;
    QString suggested;
    View()->SetSaveFileAsker([&](QWidget*, const QString& offered) {
        suggested = offered;
        return QString::fromStdString(csvPath);
    });
    View()->RunMenuCommand(MenuCommand::ExportResults);
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/SMITH.csv"))) << Utf8(suggested);
    // Where the file went and how many it holds is said once it is written.
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "4 people saved to " + csvPath + ".");

    auto rowsOf = [](const std::string& text) {
        std::vector<std::vector<std::string>> rows;
        std::string error;
        EXPECT_TRUE(testing_support::ReadCsvRows(text, rows, error)) << error;
        return rows;
    };
    std::vector<std::vector<std::string>> rows = rowsOf(testing_support::ReadFileBytes(csvPath));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0][0], "surname");
    EXPECT_EQ(rows[0][1], "given_names");
    const char* const given[] = {"John Henry", "Joseph", "Jo Ann", "Jonathan"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[i + 1].size(), rows[0].size());
        EXPECT_EQ(rows[i + 1][1], given[i]);
        EXPECT_NE(std::find(rows[i + 1].begin(), rows[i + 1].end(), "Colonel"), rows[i + 1].end());
    }

    // All pages; the page shown and its selection stay.
    Search("Smith");
    QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    View()->SelectRow(3);
    const std::string rowShown = View()->RowText(3);
    View()->RunMenuCommand(MenuCommand::ExportResults);
    rows = rowsOf(testing_support::ReadFileBytes(csvPath));
    EXPECT_EQ(rows.size(), 1u + kSmithCount);
    EXPECT_EQ(rows.back()[1], "Samuel");
    EXPECT_EQ(View()->SelectedRow(), 3);
    EXPECT_EQ(std::string(View()->RowText(3)), rowShown);

    // Refused on the data disk, said when the folder cannot be written, nothing on a cancel.
    const std::string onDisk = dataDir_ + "/smith.csv";
    struct Case {
        std::string path;
        const char* said;
    };
    const std::vector<Case> cases = {
        {onDisk, "Chronara writes nothing on the data disk."},
        {root_.File("no-such-folder/smith.csv"), "The results could not be written to "},
        {"", nullptr}};
    for (const Case& c : cases) {
        boxes.Clear();
        View()->SetSaveFileAsker([&c](QWidget*, const QString&) { return QString::fromStdString(c.path); });
        View()->RunMenuCommand(MenuCommand::ExportResults);
        if (c.said == nullptr) {
            EXPECT_TRUE(boxes.Shown().empty());
            continue;
        }
        ASSERT_EQ(boxes.Shown().size(), 1u) << c.path;
        EXPECT_NE(boxes.Shown()[0].text.find(c.said), std::string::npos) << boxes.Shown()[0].text;
        struct stat info;
        EXPECT_NE(::stat(c.path.c_str(), &info), 0) << c.path;
    }
}

TEST_F(FindAndResultsTest, PrintsARecordAndTheResultsThroughThePrintDialog) {
    Search("Smith");
    View()->SelectRow(0);
    QString title, text;
    const std::string fromDialog = root_.File("from-more-info.pdf");
    {
        // Ctrl+P in More Info prints what it shows.
        ModalWatcher watcher([&](QWidget* modal) {
            auto* dialog = qobject_cast<CMoreInfoDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            text = dialog->TextBox()->toPlainText();
            PrintTo(fromDialog);
            QTest::keyClick(dialog->OkButton(), Qt::Key_P, Qt::ControlModifier);
            dialog->accept();
        });
        QTest::mouseClick(Button(kIdMoreInfo), Qt::LeftButton);
    }
    const std::string fromMenu = root_.File("from-menu.pdf");
    PrintTo(fromMenu);
    View()->RunMenuCommand(MenuCommand::PrintRecord);
    for (const std::string& pdf : {fromDialog, fromMenu}) {
        const std::string printed = PdfText(pdf);
        EXPECT_NE(printed.find(Utf8(title)), std::string::npos) << pdf << "\n" << printed;
        EXPECT_NE(printed.find(Title(1)), std::string::npos) << printed;
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            EXPECT_NE(printed.find(Utf8(line.simplified())), std::string::npos) << Utf8(line) << "\n"
                                                                                << printed;
        }
    }

    // The list of hits: every row, the column heads, the page number.
    const std::string list = root_.File("results.pdf");
    PrintTo(list);
    View()->RunMenuCommand(MenuCommand::PrintResults);
    const std::string printed = PdfText(list);
    EXPECT_NE(printed.find("SMITH in " + Title(1)), std::string::npos) << printed;
    EXPECT_NE(printed.find("23 records found."), std::string::npos) << printed;
    EXPECT_EQ(Count(printed, "Given names"), 1u);
    // The list on its page, then the records on pages of their own, numbered with it.
    const std::size_t firstPage = printed.find("Page 1 of ");
    ASSERT_NE(firstPage, std::string::npos) << printed;
    const int pages = std::atoi(printed.c_str() + firstPage + 10);
    EXPECT_GE(pages, 2) << printed;
    for (const char* given : {"John Henry", "Quincy", "Samuel"})
        EXPECT_NE(printed.find(given), std::string::npos);
    const std::size_t records = printed.find("The records");
    EXPECT_GT(records, firstPage);
    EXPECT_NE(records, std::string::npos) << printed;
    EXPECT_NE(printed.find("Printed ", records), std::string::npos) << printed;
    const std::string last = "Page " + std::to_string(pages) + " of " + std::to_string(pages);
    EXPECT_NE(printed.find(last, records), std::string::npos) << printed;
    // A PDF is never written on the data disk.
    const std::string onDisk = dataDir_ + "/results.pdf";
    PrintTo(onDisk);
    {
        testing_support::ScriptedResponder boxes;
        View()->RunMenuCommand(MenuCommand::PrintResults);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_NE(boxes.Shown()[0].text.find("Chronara writes nothing on the data disk."), std::string::npos);
    }
    struct stat info;
    EXPECT_NE(::stat(onDisk.c_str(), &info), 0);
    // A cancelled print dialog prints nothing.
    std::remove(list.c_str());
    View()->SetPrintDialogRunner([](QPrinter&, QWidget*) { return false; });
    View()->RunMenuCommand(MenuCommand::PrintResults);
    EXPECT_NE(::stat(list.c_str(), &info), 0);
}

// The print dialog offers the document's name with ".pdf" as the file to
// print to: a title that ends in a full stop gives one dot, not two.
TEST(PrintDocumentNameTest, ATitleEndingInAFullStopGivesOneDotBeforePdf) {
    const char* const cases[][2] = {
        {"SMITH, Charles H.", "SMITH, Charles H"},
        {"SMITH, Charles H. ", "SMITH, Charles H"},
        {"LEE, Robert E...", "LEE, Robert E"},
        {"SMITH, John Henry", "SMITH, John Henry"},
        {"SMITH in Civil War, Jr.", "SMITH in Civil War, Jr"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const QString name = print_module::DocumentName(QString::fromLatin1(c[0]));
        EXPECT_EQ(name, QString::fromLatin1(c[1])) << c[0];
        EXPECT_FALSE((name + QStringLiteral(".pdf")).contains(QStringLiteral("..pdf"))) << c[0];
    }
}

TEST_F(FindAndResultsTest, PrintedResultListsRunFiftyRowsAPageUnderTheirHeads) {
    print_documents::Results results;
    results.heading = QStringLiteral("Smith in Everywhere");
    results.subheading = QStringLiteral("120 records found.");
    for (int i = 1; i <= 120; ++i) {
        results.rows.push_back({QStringLiteral("Smith"),
                                QStringLiteral("Person%1x").arg(i, 3, 10, QLatin1Char('0')),
                                QStringLiteral("summary")});
    }
    EXPECT_EQ(print_documents::ResultPages(0), 1);
    EXPECT_EQ(print_documents::ResultPages(50), 1);
    EXPECT_EQ(print_documents::ResultPages(51), 2);
    const std::string pdf = root_.File("long.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    ASSERT_TRUE(print_documents::PrintResults(printer, results));
    const std::string text = PdfText(pdf);
    std::vector<std::string> pages;
    for (std::size_t start = 0, end; (end = text.find('\f', start)) != std::string::npos; start = end + 1) {
        pages.push_back(text.substr(start, end - start));
    }
    ASSERT_EQ(pages.size(), 3u) << text;
    const int firstOfPage[] = {1, 51, 101};
    for (int page = 0; page < 3; ++page) {
        const std::string& p = pages[page];
        EXPECT_EQ(Count(p, "Given names"), 1u) << page;
        EXPECT_NE(p.find("Page " + std::to_string(page + 1) + " of 3"), std::string::npos) << page;
        EXPECT_EQ(Count(p, "Person"), page < 2 ? 50u : 20u) << page;
        char first[16];
        std::snprintf(first, sizeof first, "Person%03dx", firstOfPage[page]);
        EXPECT_NE(p.find(first), std::string::npos) << page;
    }
}

// The records after a list run over many pages: each line of them is
// printed once, on one page, never cut between two.
TEST_F(FindAndResultsTest, PrintedRecordsBreakBetweenLinesAcrossManyPages) {
    print_documents::Results results;
    results.heading = QStringLiteral("Smith in Everywhere");
    results.subheading = QStringLiteral("60 records found.");
    for (int i = 1; i <= 60; ++i) {
        QStringList lines;
        for (int k = 1; k <= 7; ++k) lines << QStringLiteral("Field%1: value%2x%3").arg(k).arg(i).arg(k);
        results.rows.emplace_back(QStringLiteral("Smith"), QStringLiteral("Person%1").arg(i),
                                  QStringLiteral("summary"), QString(), lines.join(QLatin1Char('\n')));
    }
    results.printed = QStringLiteral("Printed 9 January 2026.");
    const std::string pdf = root_.File("records.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    ASSERT_TRUE(print_documents::PrintResults(printer, results));
    const std::string text = PdfText(pdf);
    EXPECT_GE(Count(text, "\f"), 4u) << text;
    for (int i = 1; i <= 60; ++i) {
        for (int k = 1; k <= 7; ++k) {
            const std::string line = "value" + std::to_string(i) + "x" + std::to_string(k) + "\n";
            EXPECT_EQ(Count(text, line), 1u) << line;
        }
    }
    EXPECT_EQ(Count(text, "Printed 9 January 2026."), 1u);
}

}  // namespace
}  // namespace ui_test
