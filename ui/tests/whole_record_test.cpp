// The whole record in the viewer, on a disk that heads its fields and says
// where its records came from: More Info keeps the label table's text and
// opens every field under its heading with the provenance; the print and
// the citation carry them; Find in Records offers the disk's headings and
// names the field that matched by its heading.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include "browse/export/calendar_date.h"
#include "store/catalogue.h"
#include "store/database_about.h"
#include "store/database_writer.h"
#include "ui/common/view_menus.h"
#include "ui/find_records/find_records_dlg.h"
#include "ui/find_records/found_people_model.h"
#include "ui/results/more_info_dlg.h"
#include "ui/results/whole_record_dlg.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

namespace ui_test {
namespace {

constexpr int kPassengers = 3;
// 9 January 2026, the day the tests print and cite on.
constexpr long long kDay = 1767960000;

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

std::string PdfText(const std::string& pdf) {
    const std::string command = "pdftotext -layout '" + pdf + "' - 2>/dev/null";
    std::string text;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    ::pclose(pipe);
    return text;
}

class WholeRecordTest : public ViewerTest {
protected:
    WholeRecordTest() : cacheHome_("XDG_CACHE_HOME", root_.File("cache").c_str()) {}

    void SetUp() override {
        CDatabaseWriter writer(kPassengers);
        std::string error;
        const PersonRecord people[] = {
            {"Allen",
             "William Henry",
             {"0", "3rd class", "35", "373450", "8.05", " ", "Southampton", " ", "Lower Clapton, London",
              "Mr."}},
            {"Barry",
             "Julia",
             {"3", "3rd class", "27", "330844", "7.88", " ", "Queenstown", "16", "New York, NY", "Miss"}},
        };
        for (const PersonRecord& person : people) ASSERT_TRUE(writer.Add(person, &error)) << error;
        ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
        DatabaseAbout about;
        about.headings = {"Survived",
                          "Class",
                          "Age",
                          "Ticket",
                          "Fare",
                          "Cabin",
                          "Port of embarkation",
                          "Lifeboat",
                          "Home or destination",
                          "Title"};
        about.provenance = {{"Publisher", "Example Society"},
                            {"Title", "Titanic passenger list"},
                            {"Source", "Encyclopedia Titanica"},
                            {"Licence", "CC0"}};
        ASSERT_TRUE(WriteDatabaseAbout(dataDir_, kPassengers, about, error)) << error;
        StartViewer();
        View()->SetClock([] { return calendar_date::FromUnixSeconds(kDay); });
        DatabaseList()->setCurrentIndex(catalogue::RowOfCode(kPassengers));
    }

    testing_support::ScopedEnv cacheHome_;
};

TEST_F(WholeRecordTest, MoreInfoKeepsItsTextAndOpensEveryFieldWithWhereTheRecordsCameFrom) {
    Search("barry");
    View()->SelectRow(0);
    const std::string pdf = root_.File("record.pdf");
    View()->SetPrintDialogRunner([pdf](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    const QString lines = QStringLiteral(
        "Survived: Yes\nClass: 3rd class\nAge: 27\nTicket: 330844\nFare: 7.88\nPort of embarkation: "
        "Queenstown\nLifeboat: 16\nHome or destination: New York, NY\nTitle: Miss\n\nTitle: Titanic "
        "passenger list\nSource: Encyclopedia Titanica\nPublisher: Example Society\nLicence: CC0");
    QString title, text, shown, copied, citation;
    bool buttonShown = false;
    ModalWatcher moreInfo([&](QWidget* modal) {
        auto* dialog = qobject_cast<CMoreInfoDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        text = dialog->TextBox()->toPlainText();
        buttonShown = dialog->WholeRecordButton()->isVisible();
        // The button is reached from the text with Tab, and its window opens with Space.
        ModalWatcher whole([&](QWidget* inner) {
            auto* window = qobject_cast<CWholeRecordDlg*>(inner);
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(window->focusWidget(), window->TextBox());
            shown = window->TextBox()->toPlainText();
            EXPECT_EQ(window->TextBox()->accessibleDescription(), lines);
            QTest::mouseClick(window->CopyButton(), Qt::LeftButton);
            copied = QApplication::clipboard()->text();
            QTest::mouseClick(window->PrintButton(), Qt::LeftButton);
            // Enter closes it, as it closes More Info.
            QTest::keyClick(window->TextBox(), Qt::Key_Return);
            EXPECT_FALSE(window->isVisible());
        });
        dialog->TextBox()->setFocus();
        QTest::keyClick(dialog->TextBox(), Qt::Key_Tab);
        EXPECT_EQ(dialog->focusWidget(), dialog->WholeRecordButton());
        QTest::keyClick(dialog->WholeRecordButton(), Qt::Key_Space);
        EXPECT_TRUE(whole.Fired());
        QTest::keyClick(dialog->OkButton(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        citation = QApplication::clipboard()->text();
        dialog->accept();
    });
    QTest::mouseClick(Button(view_layout::kIdMoreInfo), Qt::LeftButton);
    ASSERT_TRUE(moreInfo.Fired());
    EXPECT_TRUE(buttonShown);

    // The label table's text stands as it was; the whole record is beside it.
    EXPECT_EQ(title, QStringLiteral("BARRY, Julia"));
    EXPECT_FALSE(text.contains(QStringLiteral("Queenstown"))) << Utf8(text);
    EXPECT_EQ(copied, title + QStringLiteral("\n\n") + lines + QLatin1Char('\n'));
    for (const char* part :
         {"Port of embarkation", "Queenstown", "Where these records came from", "Encyclopedia Titanica"})
        EXPECT_TRUE(shown.contains(QString::fromLatin1(part))) << part << "\n" << Utf8(shown);
    // The print carries the label table's text, the whole record and the day.
    const std::string printed = PdfText(pdf);
    for (const char* part : {"BARRY, Julia", "Port of embarkation: Queenstown", "Publisher: Example Society",
                             "Printed 9 January 2026."})
        EXPECT_NE(printed.find(part), std::string::npos) << part << "\n" << printed;
    // The citation names the record set.
    EXPECT_TRUE(
        citation.startsWith(QStringLiteral("\"Titanic passenger list,\" database, Example Society (")))
        << Utf8(citation);
    EXPECT_TRUE(citation.contains(QStringLiteral("citing Encyclopedia Titanica"))) << Utf8(citation);
}

// Both printed lists, the main window's and Find in Records', carry after
// the list each person's record under its headings, where the records came
// from and the day printed; so does a record printed from Find in Records.
TEST_F(WholeRecordTest, PrintedListsCarryEveryRecordWhereTheRecordsCameFromAndTheDay) {
    const std::string pdf = root_.File("list.pdf");
    View()->SetPrintDialogRunner([pdf](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    const auto printedHas = [&pdf](const char* where, std::vector<std::string> parts) {
        const std::string printed = PdfText(pdf);
        std::remove(pdf.c_str());
        for (const std::string& part : parts)
            EXPECT_NE(printed.find(part), std::string::npos) << where << ": " << part << "\n" << printed;
    };
    Search("barry");
    View()->RunMenuCommand(MenuCommand::PrintResults);
    printedHas(
        "the window's list",
        {"BARRY in ", "Page 1 of 2", "Page 2 of 2", "BARRY, Julia", "Port of embarkation: Queenstown",
         "Lifeboat: 16", "Where the records of", "Source: Encyclopedia Titanica", "Printed 9 January 2026."});

    Surname()->setFocus();
    ModalWatcher watcher([&](QWidget* modal) {
        auto* dialog = qobject_cast<CFindRecordsDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(dialog->WaitForAnswer());
        dialog->ScopeBox()->setCurrentIndex(
            dialog->ScopeBox()->findData(static_cast<int>(CFindRecordsDlg::Scope::ChosenDatabase)));
        dialog->TextField()->setText(QStringLiteral("3rd"));
        dialog->Refresh();
        for (int i = 0; i < 2000 && !(dialog->Answered() && dialog->IndexingLine()->isHidden()); ++i)
            QTest::qWait(5);
        ASSERT_EQ(dialog->Model()->Count(), 2);
        dialog->RunCommand(MenuCommand::PrintResults);
        printedHas(
            "Find in Records' list",
            {"ALLEN, William Henry", "Home or destination: Lower Clapton, London", "BARRY, Julia",
             "Port of embarkation: Queenstown", "Publisher: Example Society", "Printed 9 January 2026."});
        dialog->PeopleList()->setCurrentIndex(dialog->Model()->index(1));
        dialog->RunCommand(MenuCommand::PrintRecord);
        printedHas("Find in Records' record", {"BARRY, Julia", "The whole record", "Lifeboat: 16",
                                               "Licence: CC0", "Printed 9 January 2026."});
    });
    QTest::keyClick(Surname(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::processEvents();
    ASSERT_TRUE(watcher.Fired());
}

TEST_F(WholeRecordTest, FindInRecordsOffersTheDisksHeadingsAndNamesTheFieldThatMatched) {
    Surname()->setFocus();
    ModalWatcher watcher([&](QWidget* modal) {
        auto* dialog = qobject_cast<CFindRecordsDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(dialog->WaitForAnswer());
        dialog->ScopeBox()->setCurrentIndex(
            dialog->ScopeBox()->findData(static_cast<int>(CFindRecordsDlg::Scope::ChosenDatabase)));
        QStringList offered;
        for (int i = 0; i < dialog->FieldBox()->count(); ++i) offered << dialog->FieldBox()->itemText(i);
        EXPECT_EQ(offered, QStringList({"Any field", "Survived", "Class", "Age", "Ticket", "Fare", "Cabin",
                                        "Port of embarkation", "Lifeboat", "Home or destination", "Title",
                                        "Surname", "Given names"}));
        const struct {
            const char* text;
            const char* field;
            std::vector<std::string> people;
        } cases[] = {
            {"queenstown", "Port of embarkation", {"BARRY|Julia|Port of embarkation: Queenstown"}},
            {"queenstown", "Home or destination", {}},
            {"london", "Any field", {"ALLEN|William Henry|Home or destination: Lower Clapton, London"}},
            {"miss", "Title", {"BARRY|Julia|Title: Miss"}},
        };
        for (const auto& c : cases) {
            dialog->FieldBox()->setCurrentIndex(dialog->FieldBox()->findText(QString::fromLatin1(c.field)));
            dialog->TextField()->setText(QString::fromLatin1(c.text));
            dialog->Refresh();
            for (int i = 0; i < 2000 && !(dialog->Answered() && dialog->IndexingLine()->isHidden()); ++i)
                QTest::qWait(5);
            std::vector<std::string> people;
            for (int row = 0; const CRecordFinder::Row* person = dialog->Model()->Person(row); ++row) {
                people.push_back(Utf8(person->surname + QLatin1Char('|') + person->givenNames +
                                      QLatin1Char('|') + CFoundPeopleModel::Unmarked(person->match)));
            }
            EXPECT_EQ(people, c.people) << c.text << " in " << c.field;
        }
    });
    QTest::keyClick(Surname(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_TRUE(watcher.Fired());
}

}  // namespace
}  // namespace ui_test
