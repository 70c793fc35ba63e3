// The Find Surname dialog and what the window does with a search's hits:
// copy, export to CSV and print (to PDF files, read back with pdftotext).

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "store/catalogue.h"
#include "store/database_writer.h"
#include "ui/app/main_frame.h"
#include "ui/find_surname/find_surname_dlg.h"
#include "ui/find_surname/surname_match_model.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/print/print_documents.h"
#include "ui/results/more_info_dlg.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

using namespace view_layout;

namespace ui_test {
namespace {

// The second database of the disk: the list row and its people.
constexpr int kSecondRow = 5;

std::string Title(int code) { return catalogue::TitleOfCode(code); }

// The text of a PDF file, as pdftotext lays it out (pages end in a form feed).
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

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

class FindAndResultsTest : public ViewerTest {
protected:
    void SetUp() override {
        secondCode_ = catalogue::CodeOfRow(kSecondRow);
        CDatabaseWriter writer(secondCode_);
        std::string error;
        const char* const people[][2] = {{"Smyth", "Ann"},
                                         {"Smyth", "Bert"},
                                         {"Schmidt", "Carl"},
                                         {"Lee", "Dora"},
                                         {"Lehmann", "\xC9mil"}};
        for (const auto& person : people) {
            ASSERT_TRUE(writer.Add(PersonRecord{person[0], person[1], {"1861", "Private"}}, &error)) << error;
        }
        ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
        StartViewer();
    }

    // Opens Find Surname with Ctrl+F from the focused control and runs fn in it.
    void InFindSurname(QWidget* from, const std::function<void(CFindSurnameDlg&)>& fn) {
        from->setFocus();
        ModalWatcher watcher([&fn](QWidget* modal) {
            auto* dialog = qobject_cast<CFindSurnameDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            fn(*dialog);
        });
        QTest::keyClick(from, Qt::Key_F, Qt::ControlModifier);
        QApplication::processEvents();
        EXPECT_TRUE(watcher.Fired());
    }

    // The dialog's list as "title|SURNAME|count" lines.
    static std::vector<std::string> Matches(const CFindSurnameDlg& dialog) {
        std::vector<std::string> rows;
        const CSurnameMatchModel& model = *dialog.Model();
        for (int row = 0; row < model.rowCount(); ++row) {
            const ListedSurname* match = model.Match(row);
            rows.push_back(Title(match->code) + "|" + match->surname + "|" + std::to_string(match->count));
            for (int column = 0; column < CSurnameMatchModel::kColumnCount; ++column) {
                EXPECT_FALSE(model.data(model.index(row, column), Qt::DisplayRole).toString().isEmpty());
            }
        }
        return rows;
    }

    static void Choose(CFindSurnameDlg& dialog, MatchMode mode, CFindSurnameDlg::Scope scope) {
        dialog.ModeBox()->setCurrentIndex(dialog.ModeBox()->findData(static_cast<int>(mode)));
        dialog.ScopeBox()->setCurrentIndex(dialog.ScopeBox()->findData(static_cast<int>(scope)));
    }

    // What the print dialog would print goes into a PDF file instead.
    void PrintTo(const std::string& pdf) {
        View()->SetPrintDialogRunner([pdf](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        });
    }

    QString Clipboard() const { return QApplication::clipboard()->text(); }

    int secondCode_ = 0;
};

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
            if (!keep) {
                // (Offscreen, a dialog opened from a test is not made the active window by itself.)
                QApplication::setActiveWindow(&dialog);
                QTest::keyClick(dialog.TextField(), Qt::Key_F, Qt::AltModifier);
                // A mnemonic clicks its button after a short press animation.
                for (int wait = 0; wait < 250 && filter->isChecked(); ++wait) QTest::qWait(20);
            }
            EXPECT_EQ(filter->isChecked(), keep);
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
    View()->RunMenuCommand(MenuCommand::ExportResults);
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
    const std::vector<std::string> finders = {"&Find Surname" + dots + "|Ctrl+F|on",
                                              "Find in Recor&ds" + dots + "|Ctrl+Shift+F|on"};
    // The result list's entries, all but the finders off before a search and on with a row selected.
    auto listEntries = [&dots](bool on) {
        const std::string state = on ? "on" : "off";
        return std::vector<std::string>{"&Find Surname" + dots + "|Ctrl+F|on",
                                        "Find in Recor&ds" + dots + "|Ctrl+Shift+F|on",
                                        std::string(on ? "&Copy row" : "&Copy rows") + "|Ctrl+C|" + state,
                                        "Copy &record||" + state,
                                        "Copy c&itation|Ctrl+Shift+C|" + state,
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
              (std::vector<std::string>{"Match name &variants||on", finders[0], finders[1]}));
    EXPECT_GT(firstNameMenu->actions().size(), 5);
}

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
    QString suggested;
    View()->SetSaveFileAsker([&](QWidget*, const QString& offered) {
        suggested = offered;
        return QString::fromStdString(csvPath);
    });
    View()->RunMenuCommand(MenuCommand::ExportResults);
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/SMITH.csv"))) << Utf8(suggested);

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
    testing_support::ScriptedResponder boxes;
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
    EXPECT_NE(printed.find("Page 1 of 1"), std::string::npos);
    for (const char* given : {"John Henry", "Quincy", "Samuel"})
        EXPECT_NE(printed.find(given), std::string::npos);
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

}  // namespace
}  // namespace ui_test
