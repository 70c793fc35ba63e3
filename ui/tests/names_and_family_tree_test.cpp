// Names as the records spell them, and people into family trees: the name
// variants option of the First Name box, the databases, close spellings
// and name variants offered after a search that found nobody, the family-tree export and the citation to
// copy, the last two against what the query tool makes of the same search.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "browse/export/calendar_date.h"
#include "browse/research_log/research_log.h"
#include "browse/same_person/same_people.h"
#include "store/catalogue.h"
#include "store/database_writer.h"
#include "support/gedcom_lines.h"
#include "ui/app/main_frame.h"
#include "ui/research_log/viewer_log.h"
#include "ui/research_log/viewer_research.h"
#include "ui/results/more_info_dlg.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/count_line.h"
#include "ui/search_view/offer_line.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/spelling_hint.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

using namespace view_layout;

namespace ui_test {
namespace {

// The database of near spellings: its list row.
constexpr int kSpellingRow = 8;
// The day the tool is given (SOURCE_DATE_EPOCH) and the viewer's clock says: 1 March 2026.
constexpr long long kEpoch = 1772323200;

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

// The lines of a text, without their ends.
std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (const gedcom_lines::Line& line : gedcom_lines::Lines(text)) lines.push_back(line.raw);
    return lines;
}

class NamesAndFamilyTreeTest : public ViewerTest {
protected:
    void SetUp() override {
        spellingCode_ = catalogue::CodeOfRow(kSpellingRow);
        CDatabaseWriter writer(spellingCode_);
        std::string error;
        const char* const people[][2] = {{"Smith",
                                          "Zo\xEB"
                                          " Ann"},
                                         {"Smith", "Abel"},
                                         {"Smith", "Cyrus"},
                                         {"Smyth", "Dora"},
                                         {"Smyth", "Eli"},
                                         {"Smithe", "Fay"},
                                         {"Smit", "Gus"}};
        for (const auto& person : people) {
            ASSERT_TRUE(writer.Add(PersonRecord{person[0], person[1], {"Private", "Born 1790, Kent", "1812"}},
                                   &error))
                << error;
        }
        ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
        StartViewer();
        View()->SetClock([] { return calendar_date::FromUnixSeconds(kEpoch); });
    }

    // The query tool's standard output for a search of the test disk, dated as the viewer is.
    std::string Query(int code, const QStringList& search) const {
        QProcess query;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QString::number(kEpoch));
        query.setProcessEnvironment(environment);
        query.start(QStringLiteral(CHRONARA_QUERY_PATH),
                    QStringList{"--data-dir", QString::fromStdString(dataDir_), "--install-dir",
                                QString::fromStdString(installDir_), "--database", catalogue::StemOf(code)} +
                        search);
        EXPECT_TRUE(query.waitForFinished(60000));
        EXPECT_EQ(query.exitCode(), 0) << query.readAllStandardError().toStdString();
        return query.readAllStandardOutput().toStdString();
    }

    // Presses key in the context menu that the next step opens.
    static void PressInMenu(int key, const std::function<void(QMenu&)>& look = {}) {
        QTimer::singleShot(0, [key, look]() {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr) << "no menu is open";
            if (look) look(*menu);
            QTest::keyClick(menu, static_cast<Qt::Key>(key));
        });
    }

    QString Clipboard() const { return QApplication::clipboard()->text(); }

    int spellingCode_ = 0;
};

TEST_F(NamesAndFamilyTreeTest, MatchNameVariantsIsAKeyboardOptionOfTheFirstNameBox) {
    EXPECT_FALSE(View()->NameVariants()) << "off at start";
    // Shift+F10 in the First Name box opens its menu; V takes the entry,
    // which screen readers find by its name, checkable, with its state.
    auto toggle = [this](bool wasOn) {
        bool found = false;
        PressInMenu(Qt::Key_V, [&found, wasOn](QMenu& menu) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&menu);
            for (int i = 0; face != nullptr && i < face->childCount(); ++i) {
                QAccessibleInterface* entry = face->child(i);
                if (entry->text(QAccessible::Name) != QStringLiteral("Match name variants")) continue;
                found = true;
                EXPECT_TRUE(entry->state().checkable);
                EXPECT_EQ(bool(entry->state().checked), wasOn);
            }
        });
        FirstName()->setFocus();
        QTest::keyClick(FirstName(), Qt::Key_F10, Qt::ShiftModifier);
        EXPECT_TRUE(found);
    };

    // Each first name without and with the option: the viewer's hits are the tool's.
    const char* const typed[] = {"Bill", "Wm.", "Thos", "W", "Jo"};
    auto countOf = [](const std::string& output) { return output.substr(0, output.find('\n')); };
    for (const bool on : {false, true}) {
        if (on) toggle(false);
        EXPECT_EQ(View()->NameVariants(), on);
        EXPECT_EQ(FirstName()->accessibleDescription().isEmpty(), !on);
        for (const char* first : typed) {
            Search("Smith", first);
            QStringList search{"--surname", "Smith", "--first-name", first};
            if (on) search << "--variants";
            EXPECT_EQ(Utf8(View()->CountText()), countOf(Query(1, search)))
                << first << (on ? " variants" : "");
        }
    }
    Search("Smith", "Bill");
    ASSERT_EQ(View()->RecordCount(), 1);
    EXPECT_EQ(View()->RowText(0).substr(0, 14), "SMITH\tWilliam\t");

    // Export takes the hits shown, even once the option is off again.
    const std::string csvPath = root_.File("bill.csv");
    View()->SetSaveFileAsker([&](QWidget*, const QString&) { return QString::fromStdString(csvPath); });
    toggle(true);
    EXPECT_FALSE(View()->NameVariants());
    {
        testing_support::ScriptedResponder boxes;
        View()->RunMenuCommand(MenuCommand::ExportResults);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].text, "1 person saved to " + csvPath + ".");
    }
    std::vector<std::vector<std::string>> rows;
    std::string error;
    ASSERT_TRUE(testing_support::ReadCsvRows(testing_support::ReadFileBytes(csvPath), rows, error)) << error;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][1], "William");
}

TEST_F(NamesAndFamilyTreeTest, ASearchThatFindsNobodyOffersCloseSpellingsToTabToAndSearch) {
    CSpellingHint* hint = View()->SpellingHint();
    DatabaseList()->setCurrentIndex(kSpellingRow);
    Search("Smiht");
    EXPECT_EQ(View()->CountText(), QStringLiteral("0 records found."));
    ASSERT_TRUE(hint->isVisible());
    // Closest first, then the commonest.
    EXPECT_EQ(hint->Text(), QStringLiteral("Close spellings: SMITH (3), SMIT (1), SMYTH (2), SMITHE (1)"));
    EXPECT_EQ(View()->CountLine()->Page(), hint->Text()) << "screen readers hear it with the count";
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(hint);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::List);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Close spellings"));
    ASSERT_EQ(face->childCount(), 4);
    EXPECT_EQ(face->child(2)->text(QAccessible::Name), QStringLiteral("SMYTH, 2 people"));

    // The last Tab stop, after the database list and before Search.
    DatabaseList()->setFocus();
    QTest::keyClick(DatabaseList(), Qt::Key_Tab);
    ASSERT_TRUE(hint->hasFocus());
    EXPECT_TRUE(face->child(0)->state().focused);
    QTest::keyClick(hint, Qt::Key_Tab);
    EXPECT_TRUE(Button(kIdSearch)->hasFocus());
    QTest::keyClick(Button(kIdSearch), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(hint->hasFocus());

    // Right twice and Enter: SMYTH, searched in the database that offered
    // it, though another has been chosen since; the keyboard goes on in its rows.
    DatabaseList()->setCurrentIndex(0);
    QTest::keyClick(hint, Qt::Key_Right);
    QTest::keyClick(hint, Qt::Key_Right);
    EXPECT_TRUE(face->child(2)->state().focused);
    QTest::keyClick(hint, Qt::Key_Return);
    EXPECT_EQ(DatabaseList()->currentIndex(), kSpellingRow);
    EXPECT_EQ(Surname()->text(), QStringLiteral("SMYTH"));
    EXPECT_EQ(View()->CountText(), QStringLiteral("2 records found."));
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(hint->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(View()->ResultList()->hasFocus());
    EXPECT_EQ(View()->SelectedRow(), 0);

    // A click on a name searches it; Clear and any other search take the
    // offer away, Clear leaving the list area as the backdrop has it.
    const QRect list = kListArea.ToQRect();
    const struct {
        const char* what;
        std::function<void()> then;
        const char* count;
    } cases[] = {
        {"click",
         [&] { QTest::mouseClick(hint, Qt::LeftButton, Qt::NoModifier, hint->ItemRect(1).center()); },
         "1 records found."},
        {"Clear", [&] { QTest::mouseClick(Button(kIdClear), Qt::LeftButton); }, "0 records found."},
        {"search", [&] { Search("Smith"); }, "3 records found."},
    };
    for (const auto& c : cases) {
        Search("Smiht");
        ASSERT_TRUE(hint->isVisible()) << c.what;
        EXPECT_NE(Crop(Screen(), list), Crop(Backdrop(), list)) << "the offer is painted";
        c.then();
        EXPECT_FALSE(hint->isVisible()) << c.what;
        EXPECT_FALSE(View()->CountLine()->Page().startsWith(QStringLiteral("Close"))) << c.what;
        EXPECT_EQ(View()->CountText(), QString::fromLatin1(c.count)) << c.what;
        if (View()->RecordCount() == 0) {
            EXPECT_EQ(Crop(Screen(), list), Crop(Backdrop(), list)) << c.what;
        }
    }
}

TEST_F(NamesAndFamilyTreeTest,
       ASearchThatFindsNobodyOffersTheDatabasesThatHoldTheSurnameThenSpellingsThenVariants) {
    // Another database holds SMYTH twice.
    const int otherCode = catalogue::CodeOfRow(0);
    CDatabaseWriter writer(otherCode);
    std::string error;
    for (const char* given : {"Hal", "Ida"})
        ASSERT_TRUE(writer.Add(PersonRecord{"Smyth", given, {"Private"}}, &error)) << error;
    ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
    const QString other = QString::fromLatin1(catalogue::TitleOfCode(otherCode));

    COfferLine* databases = View()->DatabasesOffer();
    CSpellingHint* spellings = View()->SpellingHint();
    COfferLine* variants = View()->VariantsOffer();
    const struct {
        const char* surname;
        const char* first;
        QString databases;  // each line as painted; empty: not offered
        bool spellings;
        bool variants;
    } cases[] = {
        // The surname is in the database searched, but not with that first name.
        {"Smyth", "Dorothy", QStringLiteral("SMYTH is in ") + other + QStringLiteral(" (2)"), false, true},
        {"Smyth", "Zed", QStringLiteral("SMYTH is in ") + other + QStringLiteral(" (2)"), false, true},
        {"Smiht", "", QString(), true, false},
        // Not in the database searched at all: every line, in order.
        {"Smyht", "Ann", QString(), true, true},
        {"Qqq", "Ann", QString(), false, true},
    };
    for (const auto& c : cases) {
        DatabaseList()->setCurrentIndex(kSpellingRow);
        Search(c.surname, c.first);
        EXPECT_EQ(View()->CountText(), QStringLiteral("0 records found.")) << c.surname;
        EXPECT_EQ(databases->Text(), c.databases) << c.surname;
        EXPECT_EQ(spellings->isVisible(), c.spellings) << c.surname;
        EXPECT_EQ(variants->isVisible(), c.variants) << c.surname;
        // One line under the other, in the order offered, each heard with the count.
        int bottom = 0;
        QStringList heard;
        for (COfferLine* line : {databases, static_cast<COfferLine*>(spellings), variants}) {
            if (!line->isVisible()) continue;
            EXPECT_GE(line->y() + line->ItemRect(0).top(), bottom) << c.surname;
            bottom = line->y() + line->ItemRect(line->Count() - 1).bottom() + 1;
            heard << line->Text();
        }
        EXPECT_EQ(View()->CountLine()->Page(), heard.join(QLatin1Char(' '))) << c.surname;
    }

    // Tab goes through the offers in order, after the database list; screen
    // readers hear each as a list of its offers.
    DatabaseList()->setCurrentIndex(kSpellingRow);
    Search("Smyth", "Dorothy");
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(databases);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::List);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Databases"));
    ASSERT_EQ(face->childCount(), 1);
    EXPECT_EQ(face->child(0)->text(QAccessible::Name), other + QStringLiteral(", 2 people"));
    DatabaseList()->setFocus();
    for (QWidget* next : {static_cast<QWidget*>(databases), static_cast<QWidget*>(variants),
                          static_cast<QWidget*>(Button(kIdSearch))}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }

    // Enter on a database searches the surname there; on the variants line,
    // the same search with name variants on.
    QTest::keyClick(Button(kIdSearch), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(variants->hasFocus());
    QTest::keyClick(variants, Qt::Key_Return);
    EXPECT_TRUE(View()->NameVariants());
    EXPECT_EQ(View()->CountText(), QStringLiteral("1 records found."));
    EXPECT_EQ(View()->RowText(0).substr(0, 11), "SMYTH\tDora\t");
    EXPECT_TRUE(View()->ResultList()->hasFocus());
    EXPECT_FALSE(variants->isVisible());

    Search("Smyth", "Zed");
    ASSERT_TRUE(databases->isVisible());
    EXPECT_FALSE(variants->isVisible()) << "variants are on already";
    QTest::mouseClick(databases, Qt::LeftButton, Qt::NoModifier, databases->ItemRect(0).center());
    EXPECT_EQ(DatabaseList()->currentIndex(), 0);
    EXPECT_EQ(View()->CountText(), QStringLiteral("0 records found.")) << "Zed is still the first name";
    Search("Smyth");
    EXPECT_EQ(View()->CountText(), QStringLiteral("2 records found."));
    EXPECT_FALSE(databases->isVisible());
}

TEST_F(NamesAndFamilyTreeTest, ExportsTheSelectedPersonOrEveryHitToAFamilyTreeAsTheQueryToolDoes) {
    const std::string path = root_.File("tree.ged");
    testing_support::ScriptedResponder boxes;
    QString suggested;
    View()->SetSaveFileAsker([&](QWidget*, const QString& offered) {
        suggested = offered;
        return QString::fromStdString(path);
    });
    using Command = MenuCommand;
    const struct {
        int row;  // of the database list
        const char* surname;
        const char* first;
        int selected;
        Command command;
        QStringList tool;
        const char* offered;
    } cases[] = {
        {0, "Smith", "", -1, Command::ExportResultsToFamilyTree, {"--surname", "Smith"}, "/SMITH.ged"},
        {0,
         "Smith",
         "Jo",
         -1,
         Command::ExportResultsToFamilyTree,
         {"--surname", "Smith", "--first-name", "Jo"},
         "/SMITH.ged"},
        {0,
         "Smith",
         "",
         4,
         Command::ExportRecordToFamilyTree,
         {"--surname", "Smith", "--first-name", "William"},
         "/SMITH William.ged"},
        {kSpellingRow,
         "Smith",
         "",
         0,
         Command::ExportRecordToFamilyTree,
         {"--surname", "Smith", "--first-name", "Zo\xC3\xAB"},
         "/SMITH Zo\xC3\xAB Ann.ged"},
    };
    for (const auto& c : cases) {
        std::remove(path.c_str());
        boxes.Clear();
        DatabaseList()->setCurrentIndex(c.row);
        Search(c.surname, c.first);
        View()->SelectRow(c.selected);
        View()->RunMenuCommand(c.command);
        const std::string written = testing_support::ReadFileBytes(path);
        const std::string expected =
            Query(catalogue::CodeOfRow(c.row), c.tool + QStringList{"--export", "gedcom"});
        EXPECT_EQ(LinesOf(written), LinesOf(expected)) << c.offered;
        EXPECT_EQ(gedcom_lines::RuleBreaks(written), std::vector<std::string>{}) << c.offered;
        EXPECT_TRUE(suggested.endsWith(QString::fromUtf8(c.offered))) << Utf8(suggested);
        // Said once written: as many people as the file holds, and where it went.
        std::size_t people = 0;
        for (std::size_t at = 0; (at = written.find(" INDI\r\n", at)) != std::string::npos; ++at) ++people;
        ASSERT_EQ(boxes.Shown().size(), 1u) << c.offered;
        EXPECT_EQ(boxes.Shown()[0].text,
                  std::to_string(people) + (people == 1 ? " person" : " people") + " saved to " + path + ".");
    }

    // Never on the data disk; a folder that cannot be written, or a disk
    // gone and not given back, leaves no file, and whatever was there stays.
    Search("Smith");
    const std::string kept = root_.File("kept.ged");
    testing_support::WriteFileBytes(kept, "before");
    const struct {
        std::string path;
        bool diskGone;
        const char* said;
    } refusals[] = {
        {dataDir_ + "/tree.ged", false, "Chronara writes nothing on the data disk."},
        {root_.File("no-such-folder/tree.ged"), false, "The results could not be written to "},
        {kept, true, nullptr},
    };
    for (const auto& r : refusals) {
        boxes.Clear();
        if (r.diskGone) {
            RemoveMarker();
            boxes.Script({platform::MessageAnswer::Cancel});
        }
        View()->SetSaveFileAsker([&r](QWidget*, const QString&) { return QString::fromStdString(r.path); });
        View()->RunMenuCommand(Command::ExportResultsToFamilyTree);
        RestoreMarker();
        ASSERT_EQ(boxes.Shown().size(), 1u) << r.path;
        if (r.said != nullptr) {
            EXPECT_NE(boxes.Shown()[0].text.find(r.said), std::string::npos) << r.path;
        }
        struct stat info;
        if (r.path == kept) {
            EXPECT_EQ(testing_support::ReadFileBytes(kept), "before");
        } else {
            EXPECT_NE(::stat(r.path.c_str(), &info), 0) << r.path;
        }
    }
}

TEST_F(NamesAndFamilyTreeTest, CopiesTheCitationByteForByteAsTheQueryToolCitesIt) {
    // From the result list's menu, from its key, and from More Info's key and menu.
    const auto inMoreInfo = [this](const std::function<void(CMoreInfoDlg&)>& fn) {
        ModalWatcher watcher([&fn](QWidget* modal) {
            auto* dialog = qobject_cast<CMoreInfoDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            fn(*dialog);
        });
        QTest::mouseClick(Button(kIdMoreInfo), Qt::LeftButton);
        EXPECT_TRUE(watcher.Fired());
    };
    const struct {
        int row;
        const char* first;
        int selected;
        std::function<void()> copy;
    } cases[] = {
        {0, "", 4, [this] { View()->RunMenuCommand(MenuCommand::CopyCitation); }},
        {0, "J", 2,
         [this] {
             View()->ResultList()->setFocus();
             QTest::keyClick(View()->ResultList(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
         }},
        {kSpellingRow, "", 1,
         [&] {
             inMoreInfo([](CMoreInfoDlg& dialog) {
                 QTest::keyClick(dialog.TextBox(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
             });
         }},
        {kSpellingRow, "", 0,
         [&] {
             inMoreInfo([](CMoreInfoDlg& dialog) {
                 dialog.TextBox()->setFocus();
                 PressInMenu(Qt::Key_I);
                 QTest::keyClick(dialog.TextBox(), Qt::Key_F10, Qt::ShiftModifier);
             });
         }},
    };
    for (const auto& c : cases) {
        DatabaseList()->setCurrentIndex(c.row);
        Search("Smith", c.first);
        View()->SelectRow(c.selected);
        QApplication::clipboard()->setText(QStringLiteral("before"));
        c.copy();
        QStringList search{"--surname", "Smith", "--cite", QString::number(c.selected)};
        if (*c.first != '\0') search << "--first-name" << c.first;
        const std::vector<std::string> lines = LinesOf(Query(catalogue::CodeOfRow(c.row), search));
        ASSERT_GE(lines.size(), 3u);
        std::string cited;
        for (std::size_t i = lines.size() - 3; i < lines.size(); ++i) cited += lines[i] + "\n";
        EXPECT_EQ(Utf8(Clipboard()), cited) << c.row << " " << c.selected;
    }
    EXPECT_NE(Utf8(Clipboard()).find("Zo\xC3\xAB Ann"), std::string::npos) << "in UTF-8";
}

}  // namespace
}  // namespace ui_test

namespace ui_test {
namespace {

std::size_t CountOf(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

TEST_F(NamesAndFamilyTreeTest, ARecordConfirmedTheSameAsAnotherIsOnePersonCitingEachAsTheQueryToolWritesIt) {
    // John Henry Smith of the first database confirmed as Zoe Ann Smith of the spelling one.
    const int code = catalogue::CodeOfRow(0);
    research_log::DiskIdentity disk;
    ASSERT_TRUE(View()->Research().Log().Disk(disk));
    // Entries in key order: the Lees and the long surname come before the Smiths.
    const research_log::PersonOnDisk john{code, 4, "SMITH", "John Henry", ""};
    const research_log::PersonOnDisk zoe{spellingCode_, 1, "SMITH", "Zo\xEB Ann", ""};
    ASSERT_FALSE(View()
                     ->Research()
                     .Log()
                     .Log()
                     .SetVerdict(disk, john, zoe, research_log::Sameness::Same, nullptr)
                     .Failed());
    // A research log that cannot be opened, for the last case.
    testing_support::TempDir unreadable;
    ::mkdir(unreadable.File("chronara").c_str(), 0700);
    ::mkdir(unreadable.File("chronara/research.sqlite").c_str(), 0700);

    const std::string path = root_.File("same.ged");
    View()->SetSaveFileAsker([&](QWidget*, const QString&) { return QString::fromStdString(path); });
    const std::string sources[] = {"1 SOUR @S" + std::to_string(code) + "@\r\n2 PAGE ",
                                   "1 SOUR @S" + std::to_string(spellingCode_) + "@\r\n2 PAGE "};
    const struct {
        const char* what;
        MenuCommand command;
        int selected;
        bool logRead;
        std::size_t people;  // INDI records
        std::size_t cited;   // citations of the spelling database's record
    } cases[] = {
        {"every hit", MenuCommand::ExportResultsToFamilyTree, -1, true, kSmithCount, 1},
        {"the record", MenuCommand::ExportRecordToFamilyTree, 0, true, 1, 1},
        {"every hit, the log not to be read", MenuCommand::ExportResultsToFamilyTree, -1, false, kSmithCount,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove(path.c_str());
        std::optional<testing_support::ScopedEnv> dataHome;
        if (!c.logRead) dataHome.emplace("XDG_DATA_HOME", unreadable.Path().c_str());
        testing_support::ScriptedResponder boxes;
        DatabaseList()->setCurrentIndex(0);
        Search("Smith");
        View()->SelectRow(c.selected);
        View()->RunMenuCommand(c.command);
        const std::string written = testing_support::ReadFileBytes(path);
        EXPECT_EQ(gedcom_lines::RuleBreaks(written), std::vector<std::string>{});
        EXPECT_EQ(CountOf(written, " INDI\r\n"), c.people) << written;
        // The person's own citation and each event's of each record.
        EXPECT_GE(CountOf(written, sources[0]), 1u);
        EXPECT_EQ(CountOf(written, sources[1]) > 0, c.cited > 0) << written;
        ASSERT_FALSE(boxes.Shown().empty());
        EXPECT_EQ(
            boxes.Shown().back().text,
            std::to_string(c.people) + (c.people == 1 ? " person" : " people") + " saved to " + path + ".");
        // The note that the verdicts were left out, as the query tool says it.
        std::vector<std::string> said;
        for (const auto& box : boxes.Shown()) said.push_back(box.text);
        EXPECT_EQ(std::count(said.begin(), said.end(), same_person::WithoutVerdictsNote()),
                  c.logRead ? 0 : 1);
        if (c.command == MenuCommand::ExportResultsToFamilyTree && c.logRead) {
            EXPECT_EQ(LinesOf(written), LinesOf(Query(code, {"--surname", "Smith", "--export", "gedcom"})));
        }
    }
}

}  // namespace
}  // namespace ui_test
