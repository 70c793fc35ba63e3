// The facets beside Find in Records' list: the years' bars as they fit, and
// the panel driven by the keys and the mouse, its bars heard by screen
// readers with their counts.

#include <gtest/gtest.h>

#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include "store/catalogue.h"
#include "ui/facets/facet_bars.h"
#include "ui/facets/facets_panel.h"
#include "ui/facets/year_bins.h"
#include "ui/facets/years_histogram.h"

namespace ui_test {
namespace {

using year_bins::Bin;

TEST(YearBinsTest, AYearABarWhileTheyFitElseADecadeOrMoreGapsIncluded) {
    const struct {
        std::vector<facets::YearCount> years;
        int maxBins;
        std::vector<Bin> bins;
    } cases[] = {
        {{}, 10, {}},
        {{{1863, 4}}, 1, {{1863, 1863, 4}}},
        {{{1861, 2}, {1863, 5}}, 3, {{1861, 1861, 2}, {1862, 1862, 0}, {1863, 1863, 5}}},
        // Three years in two bars: decades, which start on a multiple of ten.
        {{{1859, 1}, {1860, 2}, {1861, 3}}, 2, {{1850, 1859, 1}, {1860, 1869, 5}}},
        {{{1801, 1}, {1899, 2}}, 4, {{1800, 1824, 1}, {1825, 1849, 0}, {1850, 1874, 0}, {1875, 1899, 2}}},
        // Beyond a bar a century, a bar a century all the same.
        {{{1000, 1}, {1250, 1}}, 2, {{1000, 1099, 1}, {1100, 1199, 0}, {1200, 1299, 1}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(year_bins::BinYears(c.years, c.maxBins), c.bins) << c.maxBins;
    }
    EXPECT_EQ(year_bins::Name({1863, 1863, 1}), "1863");
    EXPECT_EQ(year_bins::Name({1860, 1869, 1}), "1860 to 1869");
}

class FacetsPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel_.resize(400, 600);
        panel_.SetFields({QStringLiteral("Rank"), QStringLiteral("State")});
        facets::FacetCounts counts;
        codes_ = {catalogue::CodeOfRow(0), catalogue::CodeOfRow(3)};
        counts.databases = {{codes_[0], 12}, {codes_[1], 1}};
        counts.years = {{1861, 3}, {1862, 1}, {1864, 7}};
        counts.values = {{"Private", 9}, {"Sergeant", 2}, {"Lt.", 1}};
        panel_.SetCounts(counts);
        panel_.show();
        QApplication::setActiveWindow(&panel_);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel_));
    }

    CFacetsPanel panel_{nullptr};
    std::vector<int> codes_;
};

TEST_F(FacetsPanelTest, EachPartIsATabStopDrivenByItsKeysAndHeardWithItsCounts) {
    QSignalSpy database(&panel_, &CFacetsPanel::databaseChosen);
    QSignalSpy years(&panel_, &CFacetsPanel::yearsChosen);
    QSignalSpy value(&panel_, &CFacetsPanel::valueChosen);
    QSignalSpy field(&panel_, &CFacetsPanel::valuesFieldChanged);

    // The parts in Tab order.
    panel_.Databases()->setFocus();
    QWidget* const order[] = {panel_.Years(), panel_.ValuesFieldBox(), panel_.Values()};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }

    const QString db1 = QString::fromLatin1(catalogue::NameOfCode(codes_[1]));
    const struct {
        QWidget* widget;
        std::vector<int> keys;  // Qt::Key, or -Qt::Key with Shift
        QString heard;          // the focused item as screen readers hear it
        int databases, years, values;
    } cases[] = {
        {panel_.Databases(), {Qt::Key_Down}, db1 + QStringLiteral(", 1 person"), 0, 0, 0},
        {panel_.Databases(), {Qt::Key_Return}, db1 + QStringLiteral(", 1 person"), 1, 0, 0},
        // 1861 to 1864, gaps included: four bars a year.
        {panel_.Years(), {Qt::Key_Home, Qt::Key_Right}, QStringLiteral("1862, 1 person"), 1, 0, 0},
        {panel_.Years(),
         {-Qt::Key_Right, -Qt::Key_Right, Qt::Key_Space},
         QStringLiteral("1864, 7 people"),
         1,
         1,
         0},
        {panel_.Values(), {Qt::Key_End, Qt::Key_Enter}, QStringLiteral("Lt., 1 person"), 1, 1, 1},
    };
    for (const auto& c : cases) {
        c.widget->setFocus();
        for (int key : c.keys)
            QTest::keyClick(c.widget, static_cast<Qt::Key>(key < 0 ? -key : key),
                            key < 0 ? Qt::ShiftModifier : Qt::NoModifier);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(c.widget);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->role(), QAccessible::List);
        ASSERT_NE(face->focusChild(), nullptr) << c.heard.toStdString();
        EXPECT_EQ(face->focusChild()->text(QAccessible::Name), c.heard);
        EXPECT_EQ(database.count(), c.databases);
        EXPECT_EQ(years.count(), c.years);
        EXPECT_EQ(value.count(), c.values);
    }
    EXPECT_EQ(database.at(0).at(0).toInt(), codes_[1]);
    EXPECT_EQ(years.at(0).at(0).toInt(), 1862);
    EXPECT_EQ(years.at(0).at(1).toInt(), 1864);
    EXPECT_EQ(value.at(0).at(1).toString(), QStringLiteral("Lt."));
    EXPECT_TRUE(value.at(0).at(0).toString().isEmpty()) << "no field chosen yet";

    // A field chosen asks the counts again and names the values.
    panel_.ValuesFieldBox()->setCurrentIndex(2);
    EXPECT_EQ(field.count(), 1);
    EXPECT_EQ(panel_.ValuesField(), QStringLiteral("State"));
    const facets::FacetRequest request = panel_.Request();
    EXPECT_TRUE(request.databases && request.years && request.values);
    EXPECT_EQ(request.valuesField.kind, record_fields::FieldChoice::Kind::Heading);
}

TEST_F(FacetsPanelTest, AClickOrADragOnTheHistogramChoosesItsYearsAndAClickOnARowChoosesIt) {
    QSignalSpy years(&panel_, &CFacetsPanel::yearsChosen);
    QSignalSpy database(&panel_, &CFacetsPanel::databaseChosen);
    CYearsHistogram* histogram = panel_.Years();
    ASSERT_EQ(histogram->Count(), 4);
    QTest::mouseClick(histogram, Qt::LeftButton, Qt::NoModifier, histogram->ItemRect(3).center());
    ASSERT_EQ(years.count(), 1);
    EXPECT_EQ(years.at(0), (QList<QVariant>{1864, 1864}));
    // A drag from the second bar back to the first.
    QTest::mousePress(histogram, Qt::LeftButton, Qt::NoModifier, histogram->ItemRect(1).center());
    QMouseEvent move(QEvent::MouseMove, histogram->ItemRect(0).center(),
                     histogram->mapToGlobal(histogram->ItemRect(0).center()), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(histogram, &move);
    QTest::mouseRelease(histogram, Qt::LeftButton, Qt::NoModifier, histogram->ItemRect(0).center());
    ASSERT_EQ(years.count(), 2);
    EXPECT_EQ(years.at(1), (QList<QVariant>{1861, 1862}));

    QTest::mouseClick(panel_.Databases(), Qt::LeftButton, Qt::NoModifier,
                      panel_.Databases()->ItemRect(0).center());
    ASSERT_EQ(database.count(), 1);
    EXPECT_EQ(database.at(0).at(0).toInt(), codes_[0]);
    // Pressed by a screen reader, as a click.
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(panel_.Databases());
    face->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(database.count(), 2);
    EXPECT_EQ(database.at(1).at(0).toInt(), codes_[1]);
}

}  // namespace
}  // namespace ui_test
