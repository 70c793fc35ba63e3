// Find in Records' list of people found: the whole result from the start
// (End, Page Down and the scroll bar reach the last person), sorted by a
// heading's click or its key in the core, columns as wide as what they
// show, and the buttons on a person enabled only with a person selected.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "store/database_writer.h"
#include "ui/find_records/find_records_dlg.h"
#include "ui/find_records/found_people_model.h"
#include "ui/tests/viewer_fixture.h"

namespace ui_test {
namespace {

constexpr int kMedals = 2;  // civmoh, list row 1
constexpr int kPeople = 300;

class FoundPeopleListTest : public ViewerTest {
protected:
    FoundPeopleListTest() : cacheHome_("XDG_CACHE_HOME", root_.File("cache").c_str()) {}

    void SetUp() override {
        // Surnames and given names that the order found does not sort.
        CDatabaseWriter writer(kMedals);
        std::string error;
        for (int i = 0; i < kPeople; ++i) {
            const std::string surname =
                std::string(1, static_cast<char>('A' + (i * 7) % 26)) + "son" + std::to_string(i % 5);
            const std::string given = std::string(1, static_cast<char>('Z' - (i * 11) % 26)) + "ill";
            ASSERT_TRUE(
                writer.Add({surname, given, {"Private, 20th Maine Infantry", "1863", "Bangor"}}, &error))
                << error;
        }
        ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
        StartViewer();
        DatabaseList()->setCurrentIndex(1);
    }

    void InFindRecords(const std::function<void(CFindRecordsDlg&)>& fn) {
        Surname()->setFocus();
        ModalWatcher watcher([&fn](QWidget* modal) {
            auto* dialog = qobject_cast<CFindRecordsDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            ASSERT_TRUE(dialog->WaitForAnswer());
            fn(*dialog);
        });
        QTest::keyClick(Surname(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        QApplication::processEvents();
        EXPECT_TRUE(watcher.Fired());
    }

    static bool Until(const std::function<bool()>& done) {
        for (int i = 0; i < 2000 && !done(); ++i) QTest::qWait(5);
        return done();
    }

    static void Find(CFindRecordsDlg& dialog, const char* text) {
        dialog.TextField()->setText(QString::fromLatin1(text));
        dialog.Refresh();
        ASSERT_TRUE(Until([&dialog]() { return dialog.Answered() && dialog.IndexingLine()->isHidden(); }));
    }

    // The person of row, once read for the list.
    static const CRecordFinder::Row* Read(CFindRecordsDlg& dialog, int row) {
        dialog.PeopleList()->scrollTo(dialog.Model()->index(row));
        Until([&]() {
            dialog.PeopleList()->viewport()->repaint();
            return dialog.Model()->Person(row) != nullptr;
        });
        return dialog.Model()->Person(row);
    }

    testing_support::ScopedEnv cacheHome_;
};

TEST_F(FoundPeopleListTest, TheWholeResultIsListedFromTheStartAndReachedToItsEnd) {
    InFindRecords([](CFindRecordsDlg& dialog) {
        Find(dialog, "maine");
        ASSERT_EQ(dialog.Model()->Count(), kPeople);
        QListView* list = dialog.PeopleList();
        // Every person has a row, and the scroll bar spans them all, before any is read past the first batch.
        EXPECT_EQ(dialog.Model()->rowCount(), kPeople);
        EXPECT_EQ(dialog.Model()->Person(kPeople - 1), nullptr);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(list->currentIndex().row(), kPeople - 1);
        EXPECT_EQ(list->verticalScrollBar()->value(), list->verticalScrollBar()->maximum());
        ASSERT_NE(Read(dialog, kPeople - 1), nullptr);
        QTest::keyClick(list, Qt::Key_Home);
        for (int press = 0; press < kPeople && list->currentIndex().row() < kPeople - 1; ++press)
            QTest::keyClick(list, Qt::Key_PageDown);
        EXPECT_EQ(list->currentIndex().row(), kPeople - 1);
        // Copy takes a row not read yet as it takes the others.
        list->setCurrentIndex(dialog.Model()->index(200));
        dialog.RunCommand(MenuCommand::CopyRows);
        EXPECT_TRUE(
            QApplication::clipboard()->text().endsWith(QStringLiteral("Private, 20th Maine Infantry\n")));
    });
}

TEST_F(FoundPeopleListTest, AHeadingOrItsKeySortsByThatColumnEitherWay) {
    InFindRecords([](CFindRecordsDlg& dialog) {
        Find(dialog, "maine");
        auto column = [&dialog](int which, int rows) {
            QStringList texts;
            for (int row = 0; row < rows; ++row) {
                const CRecordFinder::Row* person = Read(dialog, row);
                texts << (person == nullptr                            ? QString()
                          : which == CFoundPeopleModel::kSurnameColumn ? person->surname
                                                                       : person->givenNames);
            }
            return texts;
        };
        const QStringList found = column(CFoundPeopleModel::kSurnameColumn, kPeople);
        QHeaderView* header = dialog.PeopleList()->parentWidget()->findChild<QHeaderView*>();
        ASSERT_NE(header, nullptr);
        const struct {
            int column;
            bool byKey;
            bool descending;
        } steps[] = {{CFoundPeopleModel::kSurnameColumn, false, false},
                     {CFoundPeopleModel::kSurnameColumn, false, true},
                     {CFoundPeopleModel::kGivenColumn, true, false},
                     {CFoundPeopleModel::kGivenColumn, true, true}};
        for (const auto& step : steps) {
            if (step.byKey) {
                QTest::keyClick(dialog.TextField(), static_cast<Qt::Key>(Qt::Key_1 + step.column),
                                Qt::ControlModifier);
            } else {
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                                  QPoint(header->sectionViewportPosition(step.column) + 5, 5));
            }
            ASSERT_TRUE(dialog.WaitForAnswer());
            const QStringList sorted = column(step.column, kPeople);
            EXPECT_TRUE(std::is_sorted(
                sorted.begin(), sorted.end(),
                [&step](const QString& a, const QString& b) { return step.descending ? b < a : a < b; }))
                << step.column << " " << step.descending;
            EXPECT_EQ(header->sortIndicatorSection(), step.column);
            EXPECT_EQ(header->sortIndicatorOrder(),
                      step.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        }
        // Ctrl+0: the order found again.
        QTest::keyClick(dialog.TextField(), Qt::Key_0, Qt::ControlModifier);
        ASSERT_TRUE(dialog.WaitForAnswer());
        EXPECT_EQ(column(CFoundPeopleModel::kSurnameColumn, kPeople), found);
    });
}

TEST_F(FoundPeopleListTest, ColumnsFitWhatTheyShowAndButtonsFollowThePersonSelected) {
    InFindRecords([](CFindRecordsDlg& dialog) {
        Find(dialog, "maine");
        QHeaderView* header = dialog.PeopleList()->parentWidget()->findChild<QHeaderView*>();
        ASSERT_NE(header, nullptr);
        const QFontMetrics metrics = dialog.PeopleList()->fontMetrics();
        // The database column holds the title shown, no wider than twice it; the match takes the rest.
        const int title = metrics.horizontalAdvance(QStringLiteral("Civil War Medal of Honor"));
        EXPECT_GE(header->sectionSize(CFoundPeopleModel::kDatabaseColumn), title);
        EXPECT_LT(header->sectionSize(CFoundPeopleModel::kDatabaseColumn), 2 * title);
        EXPECT_GE(header->sectionSize(CFoundPeopleModel::kSurnameColumn),
                  metrics.horizontalAdvance(dialog.Model()->Person(0)->surname));
        EXPECT_EQ(header->length(), header->viewport()->width());
        EXPECT_GE(header->sectionSize(CFoundPeopleModel::kMatchColumn), header->length() / 3);

        EXPECT_TRUE(dialog.MoreInfoButton()->isEnabled());
        EXPECT_TRUE(dialog.ShowButton()->isEnabled());
        Find(dialog, "nobodyatall");
        EXPECT_EQ(dialog.Model()->Count(), 0);
        EXPECT_FALSE(dialog.MoreInfoButton()->isEnabled());
        EXPECT_FALSE(dialog.ShowButton()->isEnabled());
        EXPECT_TRUE(dialog.ResultsButton()->isEnabled());
        Find(dialog, "maine");
        EXPECT_TRUE(dialog.MoreInfoButton()->isEnabled());
    });
}

}  // namespace
}  // namespace ui_test
