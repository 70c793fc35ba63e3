// The same person in other databases, in the viewer: two records compared
// field by field with the verdict kept, the links of a record listed, and
// the verdicts listed, taken back and put back in the Research Log window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "browse/research_log/research_log.h"
#include "ui/links/also_in_dlg.h"
#include "ui/links/compare_window.h"
#include "ui/links/compared_rows.h"
#include "ui/research_log/research_log_window.h"
#include "ui/research_log/verdicts_page.h"
#include "ui/research_log/viewer_log.h"
#include "ui/research_log/viewer_research.h"
#include "ui/search_view/chronara_view.h"
#include "ui/tests/viewer_fixture.h"

namespace ui_test {
namespace {

using research_log::PersonOnDisk;
using research_log::Sameness;

TEST(ComparedRows, FieldsAreAlignedByHeadingThenByWhatTheyAreAndMarkedInWords) {
    const WholeRecordText::Pairs general{{"Born", "8 September 1828, Brewer, Maine"},
                                         {"Died", "24 February 1914"},
                                         {"State", "Maine."},
                                         {"Final rank", "Major General"},
                                         {"City", "Brewer"},
                                         {"Service", "Army"}};
    const WholeRecordText::Pairs medal{{"state", "maine"},
                                       {"Born", "8 September 1828"},
                                       {"Rank and organization", "Colonel, 20th Maine"},
                                       {"Date of death", "24 February 1914"},
                                       {"Birth", "Brewer, Maine"},
                                       {"Entered service at", "Brunswick, Maine"},
                                       {"Rank", "Colonel"}};
    const struct {
        const char* heading;
        const char* first;
        const char* second;
        const char* word;
    } expected[] = {
        // One heading pairs first, whatever else is alike.
        {"Born", "8 September 1828, Brewer, Maine", "8 September 1828", "Agree in part"},
        // A death and its date.
        {"Died / Date of death", "24 February 1914", "24 February 1914", "Agree"},
        {"State", "Maine.", "maine", "Agree"},
        // Two ranks: the first of the second record's.
        {"Final rank / Rank and organization", "Major General", "Colonel, 20th Maine", "Differ"},
        // A town and a place served from are not one thing.
        {"City", "Brewer", "", "Only in Union Generals"},
        {"Service", "Army", "", "Only in Union Generals"},
        {"Birth", "", "Brewer, Maine", "Only in Medal of Honor"},
        {"Entered service at", "", "Brunswick, Maine", "Only in Medal of Honor"},
        {"Rank", "", "Colonel", "Only in Medal of Honor"},
    };
    const std::vector<ComparedRow> rows = CompareFields(general, medal);
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t k = 0; k < rows.size(); ++k) {
        SCOPED_TRACE(expected[k].heading);
        EXPECT_EQ(rows[k].heading, QString::fromLatin1(expected[k].heading));
        EXPECT_EQ(rows[k].first, QString::fromLatin1(expected[k].first));
        EXPECT_EQ(rows[k].second, QString::fromLatin1(expected[k].second));
        EXPECT_EQ(AgreementText(rows[k].agreement, "Union Generals", "Medal of Honor"),
                  QString::fromLatin1(expected[k].word));
    }
}

TEST(ComparedRows, AStateOrARankInTwoFormsAgrees) {
    const struct {
        const char* heading;
        const char* first;
        const char* otherHeading;
        const char* second;
        const char* word;
    } cases[] = {
        {"State", "AL", "State or province", "Alabama", "Agree"},
        {"State", "Me.", "State or province", "MAINE", "Agree"},
        {"State", "AL", "State or province", "Alaska", "Differ"},
        {"State", "Brewer, Maine", "State or province", "Maine",
         "Agree in part"},  // a town is more than its state
        {"Rank", "CPL", "Final rank", "Corporal", "Agree"},
        {"Rank", "Sgt.", "Rank", "SERGEANT", "Agree"},
        {"Rank", "Corporal", "Final rank", "Sergeant", "Differ"},
        {"Rank", "Colonel", "Rank and organization", "Colonel, 20th Maine", "Agree in part"},  // and a unit
    };
    for (const auto& c : cases) {
        const std::vector<ComparedRow> rows =
            CompareFields({{c.heading, c.first}}, {{c.otherHeading, c.second}});
        ASSERT_EQ(rows.size(), 1u) << c.first;
        EXPECT_EQ(AgreementText(rows[0].agreement, "A", "B"), QString::fromLatin1(c.word))
            << c.first << " / " << c.second;
    }
}

TEST(ComparedRows, AValueThatSaysPartOfTheOtherAgreesInPart) {
    const struct {
        const char* first;
        const char* second;
        const char* word;
    } cases[] = {
        {"CHAMBERLAIN, Joshua L.", "CHAMBERLAIN, Joshua", "Agree in part"},
        {"SMITH, J. H.", "SMITH, John Henry", "Agree in part"},  // initials
        {"SMITH, John", "SMITH, Joseph", "Differ"},
        {"SMITH, J.", "SMITH, Henry", "Differ"},
        {"1828", "8 September 1828", "Agree in part"},
        {"1 January 1828", "8 September 1828", "Differ"},
        {"1", "1st", "Differ"},                        // a digit is no initial
        {"Maine, Brewer", "Brewer, Maine", "Differ"},  // in order only
        {"-", "Brewer", "Differ"},                     // no word to agree by
    };
    for (const auto& c : cases) {
        const std::vector<ComparedRow> rows = CompareFields({{"Name", c.first}}, {{"Name", c.second}});
        ASSERT_EQ(rows.size(), 1u) << c.first;
        EXPECT_EQ(AgreementText(rows[0].agreement, "A", "B"), QString::fromLatin1(c.word))
            << c.first << " / " << c.second;
    }
}

TEST(ComparedRows, WhereTheRecordsCameFromIsSetSideBySideByKey) {
    auto pairs = [](std::initializer_list<const char*> keys) {
        WholeRecordText::Pairs out;
        for (const char* key : keys)
            out.emplace_back(QString::fromLatin1(key), QString::fromLatin1(key).toLower());
        return out;
    };
    // The second repeats a key the first lacks, and both end alike.
    const std::vector<ProvenanceRow> rows =
        AlignProvenance(pairs({"Title", "Source", "Compiled", "Notes", "Notes"}),
                        pairs({"Title", "Licence", "Address", "Address", "Compiled", "Notes", "Extra"}));
    const struct {
        const char* key;
        const char* first;
        const char* second;
    } expected[] = {
        {"Title", "title", "title"}, {"Licence", "", "licence"}, {"Address", "", "address"},
        {"Address", "", "address"},  {"Source", "source", ""},   {"Compiled", "compiled", "compiled"},
        {"Notes", "notes", "notes"}, {"Extra", "", "extra"},     {"Notes", "notes", ""}};
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t k = 0; k < rows.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(rows[k].key, QString::fromLatin1(expected[k].key));
        EXPECT_EQ(rows[k].first, QString::fromLatin1(expected[k].first));
        EXPECT_EQ(rows[k].second, QString::fromLatin1(expected[k].second));
    }
}

class LinksWindowsTest : public ViewerTest {
protected:
    void SetUp() override { StartViewer(); }
    CViewerLog& Log() const { return View()->Research().Log(); }

    // Person entry of the test disk's database, as the log keeps them.
    static PersonOnDisk Smith(std::int32_t entry, const char* given) {
        PersonOnDisk person;
        person.code = 1;
        person.entry = entry;
        person.surname = "SMITH";
        person.givenNames = given;
        return person;
    }

    bool VerdictOn(research_log::PairVerdict& verdict) {
        research_log::DiskIdentity disk;
        EXPECT_TRUE(Log().Disk(disk));
        bool found = false;
        EXPECT_FALSE(Log().Log().VerdictOn(disk, {1, 1}, {1, 0}, found, verdict).Failed());
        return found;
    }
};

TEST_F(LinksWindowsTest, CompareShowsBothRecordsAndKeepsTheVerdictWithItsNote) {
    CCompareWindow::Side first{Smith(0, "John Henry"), "Confederate Generals", {}};
    first.whole.fields = {{"Born", "Jan. 1, 1810"}, {"Rank", "Colonel"}};
    first.whole.provenance = {{"Source", "the first book"}};
    CCompareWindow::Side second{Smith(1, "Joseph"), "Confederate Generals", {}};
    second.whole.fields = {{"Born", "Jan. 2, 1811"}, {"Rank", "Colonel"}};
    second.whole.provenance = {{"Source", "the first book"}};
    auto* window = new CCompareWindow(View()->window(), Log(), first, second);
    window->show();
    QApplication::processEvents();
    EXPECT_FALSE(window->isModal());
    QTreeWidget* rows = window->Rows();
    // Name, Born, Rank, then where the records came from and its one line.
    ASSERT_EQ(rows->topLevelItemCount(), 5);
    const char* const words[] = {"Differ", "Differ", "Agree"};
    for (int k = 0; k < 3; ++k) EXPECT_EQ(rows->topLevelItem(k)->text(3), QString::fromLatin1(words[k])) << k;
    EXPECT_EQ(rows->topLevelItem(4)->text(1), QStringLiteral("the first book"));
    EXPECT_EQ(rows->topLevelItem(4)->text(2), QStringLiteral("the first book"));
    EXPECT_EQ(rows->topLevelItem(1)->toolTip(1), QStringLiteral("Jan. 1, 1810"));  // read whole where cut
    EXPECT_TRUE(window->VerdictLine()->text().startsWith(QStringLiteral("No verdict")));

    const struct {
        QPushButton* button;
        const char* note;
        Sameness sameness;
        const char* shown;
    } presses[] = {
        {window->SameButton(), "brothers?", Sameness::Same, "Same person"},
        {window->NotSameButton(), "born a year apart", Sameness::NotSame, "Not the same person"},
    };
    for (const auto& press : presses) {
        window->NoteBox()->setText(QString::fromLatin1(press.note));
        QTest::mouseClick(press.button, Qt::LeftButton);
        research_log::PairVerdict verdict;
        ASSERT_TRUE(VerdictOn(verdict)) << press.shown;
        EXPECT_EQ(verdict.sameness, press.sameness);
        EXPECT_EQ(verdict.note, press.note);
        EXPECT_TRUE(window->VerdictLine()->text().contains(QString::fromLatin1(press.shown)))
            << window->VerdictLine()->text().toStdString();
    }
    // A long note kept wraps in the verdict line instead of widening the window past the screen.
    const int widest = window->minimumSizeHint().width();
    window->NoteBox()->setText(QString(QStringLiteral("a long note ")).repeated(40));
    window->Judge(Sameness::NotSame);
    EXPECT_LE(window->minimumSizeHint().width(), widest);
    window->close();
}

TEST_F(LinksWindowsTest, AlsoInListsTheLinksAndEnterOpensTheChosenOne) {
    std::vector<ShownLink> links(2);
    links[0].person = Smith(1, "Joseph");
    links[0].database = "Confederate Generals";
    links[0].judgement.score = 95;
    links[0].judgement.verdict = linkage::Verdict::Likely;
    links[0].judgement.reasons = {"surname SMITH: 23 on the disk"};
    links[1].person = Smith(2, "Jo Ann");
    links[1].database = "Confederate Generals";
    links[1].judgement.score = 60;
    links[1].judgement.verdict = linkage::Verdict::Possible;
    CAlsoInDlg dialog(View()->window(), Smith(0, "John Henry"), links);
    dialog.show();
    QApplication::processEvents();
    QTreeWidget* list = dialog.List();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(3), QStringLiteral("likely"));
    EXPECT_EQ(list->topLevelItem(0)->text(5), QStringLiteral("surname SMITH: 23 on the disk"));
    EXPECT_EQ(list->topLevelItem(1)->text(3), QStringLiteral("possible"));
    QSignalSpy opened(&dialog, &CAlsoInDlg::openRequested);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(dialog.Current()->person.entry, 2);
    EXPECT_TRUE(dialog.isVisible()) << "Enter opens the record, it does not close the list";
}

TEST_F(LinksWindowsTest, TheResearchLogListsVerdictsTakesThemBackAndPutsThemBack) {
    research_log::DiskIdentity disk;
    ASSERT_TRUE(Log().Disk(disk));
    const std::string note = "one man";
    ASSERT_FALSE(Log()
                     .Log()
                     .SetVerdict(disk, Smith(0, "John Henry"), Smith(1, "Joseph"), Sameness::Same, &note)
                     .Failed());
    bool fired = false;
    ModalWatcher watcher([&fired](QWidget* modal) {
        auto* window = qobject_cast<CResearchLogWindow*>(modal);
        ASSERT_NE(window, nullptr);
        fired = true;
        CVerdictsPage* page = window->Verdicts();
        window->Tabs()->setCurrentWidget(page);
        QTreeWidget* list = page->List();
        ASSERT_EQ(list->topLevelItemCount(), 1);
        EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Same person"));
        EXPECT_EQ(list->topLevelItem(0)->text(3), QStringLiteral("one man"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
        EXPECT_EQ(list->topLevelItemCount(), 0);
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(list->topLevelItemCount(), 1);
        EXPECT_EQ(list->topLevelItem(0)->text(3), QStringLiteral("one man"));
        window->reject();
    });
    QTest::keyClick(Surname(), Qt::Key_L, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(fired);
}

}  // namespace
}  // namespace ui_test
