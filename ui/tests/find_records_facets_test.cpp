// Find in Records' facets: the counts of each answer beside the list, the
// years the databases cover when nothing is typed, and a click on a
// database, a span of years or a value narrowing the query.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "store/catalogue.h"
#include "store/database_writer.h"
#include "support/test_support.h"
#include "ui/facets/facet_bars.h"
#include "ui/facets/facets_panel.h"
#include "ui/facets/years_histogram.h"
#include "ui/find_records/find_records_dlg.h"
#include "ui/find_records/found_people_model.h"
#include "ui/tests/viewer_fixture.h"

namespace ui_test {
namespace {

class FindRecordsFacetsTest : public ViewerTest {
protected:
    FindRecordsFacetsTest() : cacheHome_("XDG_CACHE_HOME", root_.File("cache").c_str()) {}

    void SetUp() override {
        std::string error;
        // Two databases: the medals (list row 1) and another that also holds a 20th Maine man.
        medals_ = catalogue::CodeOfRow(1);
        other_ = catalogue::CodeOfRow(0);
        CDatabaseWriter medals(medals_);
        for (const PersonRecord& person : {
                 PersonRecord{"Chamberlain",
                              "Joshua L.",
                              {"Colonel, 20th Maine Infantry", "2 July 1863", "Brunswick"}},
                 PersonRecord{
                     "Tozier", "Andrew J.", {"Sergeant, 20th Maine Infantry", "2 July 1863", "Plymouth"}},
                 PersonRecord{
                     "Smith", "Quincy", {"Sergeant, 20th Maine Infantry", "1 May 1864 and 1863", "Bangor"}},
                 PersonRecord{"O'Brien", "Henry", {"Corporal, 1st Minnesota", "3 July 1863", "Winona"}},
             })
            ASSERT_TRUE(medals.Add(person, &error)) << error;
        ASSERT_TRUE(medals.Write(dataDir_, 0, &error)) << error;
        CDatabaseWriter other(other_);
        ASSERT_TRUE(other.Add(PersonRecord{"Gerrish", "Theodore", {"20th Maine, 1862"}}, &error)) << error;
        ASSERT_TRUE(other.Write(dataDir_, 0, &error)) << error;
        StartViewer();
    }

    static bool Until(const std::function<bool()>& done) {
        for (int i = 0; i < 2000 && !done(); ++i) QTest::qWait(5);
        return done();
    }

    // The query asked, its answer and its facets shown.
    static void Ask(CFindRecordsDlg& dialog, const char* text, CFindRecordsDlg::Scope scope) {
        dialog.ScopeBox()->setCurrentIndex(dialog.ScopeBox()->findData(static_cast<int>(scope)));
        dialog.TextField()->setText(QString::fromLatin1(text));
        dialog.Refresh();
        ASSERT_TRUE(Until([&dialog]() {
            return dialog.Answered() && dialog.IndexingLine()->isHidden() && dialog.FacetsAnswered();
        }));
    }

    static std::vector<std::string> Bars(const CFacetBars& bars) {
        std::vector<std::string> shown;
        for (int i = 0; i < bars.Count(); ++i)
            shown.push_back(bars.BarAt(i).label.toStdString() + " " + std::to_string(bars.BarAt(i).count));
        return shown;
    }

    static std::vector<std::string> Years(const CYearsHistogram& years) {
        std::vector<std::string> shown;
        for (int i = 0; i < years.Count(); ++i)
            if (years.BinAt(i).count > 0) shown.push_back(years.ItemName(i).toStdString());
        return shown;
    }

    testing_support::ScopedEnv cacheHome_;
    int medals_ = 0;
    int other_ = 0;
};

TEST_F(FindRecordsFacetsTest, EachAnswerIsCountedByDatabaseYearAndValueAndAClickNarrowsTheQuery) {
    DatabaseList()->setCurrentIndex(1);
    const std::string medals = catalogue::NameOfCode(medals_);
    const std::string other = catalogue::NameOfCode(other_);
    Surname()->setFocus();
    ModalWatcher watcher([&](QWidget* modal) {
        auto* dialog = qobject_cast<CFindRecordsDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        CFacetsPanel* panel = dialog->FacetsPanel();
        ASSERT_NE(panel, nullptr);

        // "20th Maine" across all databases, by database and by year (a
        // person once for each year they hold).
        Ask(*dialog, "\"20th maine\"", CFindRecordsDlg::Scope::AllDatabases);
        EXPECT_EQ(Bars(*panel->Databases()), (std::vector<std::string>{other + " 1", medals + " 3"}));
        EXPECT_EQ(Years(*panel->Years()),
                  (std::vector<std::string>{"1862, 1 person", "1863, 3 people", "1864, 1 person"}));

        // A field's values, once it is picked.
        panel->ValuesFieldBox()->setCurrentIndex(panel->ValuesFieldBox()->findText("Rank and Organization"));
        ASSERT_TRUE(Until([dialog]() { return dialog->FacetsAnswered(); }));
        EXPECT_EQ(Bars(*panel->Values()), (std::vector<std::string>{"Sergeant, 20th Maine Infantry 2",
                                                                    "Colonel, 20th Maine Infantry 1"}));

        // A value clicked searches that field for it.
        QTest::mouseClick(panel->Values(), Qt::LeftButton, Qt::NoModifier,
                          panel->Values()->ItemRect(0).center());
        ASSERT_TRUE(Until([dialog]() { return dialog->Answered() && dialog->FacetsAnswered(); }));
        EXPECT_EQ(dialog->FieldBox()->currentText(), QStringLiteral("Rank and Organization"));
        EXPECT_EQ(dialog->TextField()->text(), QStringLiteral("\"Sergeant, 20th Maine Infantry\""));
        EXPECT_EQ(Bars(*panel->Databases()), (std::vector<std::string>{medals + " 2"}));

        // A span of years dragged with the keys sets the years range.
        dialog->TextField()->setText(QStringLiteral("\"20th maine\""));
        dialog->FieldBox()->setCurrentIndex(0);
        Ask(*dialog, "\"20th maine\"", CFindRecordsDlg::Scope::AllDatabases);
        CYearsHistogram* years = panel->Years();
        years->setFocus();
        QTest::keyClick(years, Qt::Key_Home);
        QTest::keyClick(years, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(years, Qt::Key_Return);
        ASSERT_TRUE(Until([dialog]() { return dialog->Answered() && dialog->FacetsAnswered(); }));
        EXPECT_EQ(dialog->YearsFrom()->text(), QStringLiteral("1862"));
        EXPECT_EQ(dialog->YearsTo()->text(), QStringLiteral("1863"));
        // The range asked stays marked on the new counts, focus elsewhere.
        dialog->TextField()->setFocus();
        std::vector<std::string> marked;
        for (int i = 0; i < years->Count(); ++i)
            if (years->InRange(i) && years->BinAt(i).count > 0)
                marked.push_back(years->ItemName(i).toStdString());
        EXPECT_EQ(marked, (std::vector<std::string>{"1862, 1 person, in the years range",
                                                    "1863, 3 people, in the years range"}));

        // A database clicked is looked in alone.
        QTest::mouseClick(panel->Databases(), Qt::LeftButton, Qt::NoModifier,
                          panel->Databases()->ItemRect(0).center());
        ASSERT_TRUE(Until([dialog]() { return dialog->Answered() && dialog->FacetsAnswered(); }));
        EXPECT_EQ(dialog->ScopeBox()->currentText(), QString::fromStdString("Only " + other));
        EXPECT_EQ(Bars(*panel->Databases()), (std::vector<std::string>{other + " 1"}));

        // Nothing typed: the years the database covers.
        dialog->YearsFrom()->clear();
        dialog->YearsTo()->clear();
        dialog->TextField()->clear();
        dialog->Refresh();
        ASSERT_TRUE(Until([dialog]() { return dialog->FacetsAnswered(); }));
        EXPECT_EQ(Years(*panel->Years()), (std::vector<std::string>{"1862, 1 person"}));
        dialog->reject();
    });
    QTest::keyClick(Surname(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_TRUE(watcher.Fired());
}

TEST_F(FindRecordsFacetsTest, MatchAbbreviationsWidensTheQueryAndItsCountsAndIsKeptWhileTheProgramRuns) {
    // A third database whose clerks wrote the state and the rank short.
    const int volunteers = catalogue::CodeOfRow(2);
    ASSERT_NE(volunteers, medals_);
    ASSERT_NE(volunteers, other_);
    {
        std::string error;
        CDatabaseWriter writer(volunteers);
        for (const PersonRecord& person : {
                 PersonRecord{"Gallagher", "Patrick", {"Sergeant, 1st Pa. Reserves", "30 June 1862"}},
                 PersonRecord{"Miller", "John", {"Private, 83rd Pennsylvania", "1862"}},
                 PersonRecord{"Keller", "Hans", {"Sgt., 11th Penna. Cavalry", "1864"}},
                 PersonRecord{"Moore", "Ann", {"Nurse, Philadelphia", "1863"}},
             })
            ASSERT_TRUE(writer.Add(person, &error)) << error;
        ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
    }
    DatabaseList()->setCurrentIndex(2);
    const std::string title = catalogue::NameOfCode(volunteers);
    const struct {
        const char* text;
        bool abbreviations;
        int people;
    } cases[] = {
        {"pennsylvania", false, 1}, {"pennsylvania", true, 3}, {"pa", false, 1}, {"pa", true, 3},
        {"sergeant", false, 1},     {"sergeant", true, 2},     {"sgt", true, 2}, {"philadelphia", true, 1},
    };
    auto run = [&](const std::function<void(CFindRecordsDlg&)>& fn) {
        Surname()->setFocus();
        ModalWatcher watcher([&fn](QWidget* modal) {
            auto* dialog = qobject_cast<CFindRecordsDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            fn(*dialog);
            dialog->reject();
        });
        QTest::keyClick(Surname(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        QApplication::processEvents();
        EXPECT_TRUE(watcher.Fired());
    };
    run([&](CFindRecordsDlg& dialog) {
        EXPECT_FALSE(dialog.AbbreviationsBox()->isChecked());
        for (const auto& c : cases) {
            dialog.AbbreviationsBox()->setChecked(c.abbreviations);
            Ask(dialog, c.text, CFindRecordsDlg::Scope::ChosenDatabase);
            EXPECT_EQ(dialog.Model()->Count(), c.people) << c.text << " " << c.abbreviations;
            // The facets count the people the list holds.
            EXPECT_EQ(Bars(*dialog.FacetsPanel()->Databases()),
                      (std::vector<std::string>{title + " " + std::to_string(c.people)}))
                << c.text << " " << c.abbreviations;
        }
        // Every key of the dialog is one control's: Alt+Y would go to the years
        // histogram rather than the years range if both had it.
        std::vector<QChar> keys;
        auto keyOf = [&keys](const QString& text) {
            const qsizetype at = text.indexOf(QLatin1Char('&'));
            if (at >= 0 && at + 1 < text.size()) keys.push_back(text.at(at + 1).toLower());
        };
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            if (label->buddy() != nullptr) keyOf(label->text());
        for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) keyOf(button->text());
        std::sort(keys.begin(), keys.end());
        EXPECT_TRUE(std::adjacent_find(keys.begin(), keys.end()) == keys.end())
            << QString(keys.data(), static_cast<int>(keys.size())).toStdString();
        EXPECT_GE(keys.size(), 10U);
        // Its key, as every control of the dialog has (the box is clicked a moment later).
        QCheckBox* box = dialog.AbbreviationsBox();
        QTest::keyClick(&dialog, Qt::Key_A, Qt::AltModifier);
        EXPECT_TRUE(Until([box]() { return !box->isChecked(); }));
        QTest::keyClick(&dialog, Qt::Key_A, Qt::AltModifier);
        EXPECT_TRUE(Until([box]() { return box->isChecked(); }));
        Ask(dialog, "pennsylvania", CFindRecordsDlg::Scope::ChosenDatabase);
    });
    // Opened again, the dialog asks as it was left.
    run([&](CFindRecordsDlg& dialog) {
        EXPECT_TRUE(dialog.AbbreviationsBox()->isChecked());
        ASSERT_TRUE(dialog.WaitForAnswer());
        EXPECT_EQ(dialog.Model()->Count(), 3);
    });
}

}  // namespace
}  // namespace ui_test
