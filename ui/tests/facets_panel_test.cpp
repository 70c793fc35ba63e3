// The facets beside Find in Records' list: the years' bars as they fit, and
// the panel driven by the keys and the mouse, its bars heard by screen
// readers with their counts.

#include <gtest/gtest.h>

#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
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

TEST(YearBinsTest, TheBarsHoldTheBulkOfTheYearsAndTheStrayOnesAreCountedAtTheEnds) {
    using year_bins::Outside;
    const struct {
        std::vector<facets::YearCount> years;
        int maxBins;
        int from, to;  // the years of the first and last bars
        std::int64_t inside;
        Outside earlier, later;
    } cases[] = {
        {{}, 10, 0, 0, 0, {}, {}},
        {{{1863, 4}}, 1, 1863, 1863, 4, {}, {}},
        {{{1861, 3}, {1862, 1}, {1864, 7}}, 20, 1861, 1864, 11, {}, {}},
        // Low, high, both: at most 5% (rounded up) left out.
        {{{1066, 1}, {1861, 10}, {1862, 10}, {1863, 10}}, 20, 1861, 1863, 30, {1, 1066, 1066}, {}},
        {{{1861, 10}, {1863, 10}, {2050, 1}}, 20, 1861, 1863, 20, {}, {1, 2050, 2050}},
        {{{1066, 1}, {1389, 1}, {1861, 20}, {1865, 20}, {2050, 1}},
         20,
         1861,
         1865,
         40,
         {2, 1066, 1389},
         {1, 2050, 2050}},
        // "20th maine" on the sample disk: the stray 1389 apart, 1828 kept.
        {{{1389, 1}, {1828, 1}, {1863, 3}, {1865, 1}}, 60, 1828, 1865, 5, {1, 1389, 1389}, {}},
        // Widened to whole decades: 1860 is back among the bars, 1809 is not.
        {{{1860, 1}, {1861, 20}, {1869, 20}}, 5, 1860, 1869, 41, {}, {}},
        {{{1809, 1}, {1861, 20}, {1869, 20}}, 5, 1860, 1869, 40, {1, 1809, 1809}, {}},
        // Years apart that would not double the span stay bars.
        {{{1851, 1}, {1861, 20}, {1869, 20}}, 5, 1850, 1869, 41, {}, {}},
        // Two years far apart, as many people each: both stay bars.
        {{{1066, 1}, {1863, 1}}, 4, 1000, 1899, 2, {}, {}},
        {{{1066, 50}, {1863, 50}}, 4, 1000, 1899, 100, {}, {}},
        // Every year fits a bar of its own: nothing left out.
        {{{1066, 1}, {1861, 100}}, 1000, 1066, 1861, 101, {}, {}},
    };
    for (const auto& c : cases) {
        const year_bins::Layout layout = year_bins::LayOut(c.years, c.maxBins);
        const std::string which = c.years.empty() ? "none" : std::to_string(c.years.front().year);
        std::int64_t inside = 0;
        for (const Bin& bin : layout.bins) inside += bin.count;
        EXPECT_EQ(inside, c.inside) << which;
        EXPECT_LE(static_cast<int>(layout.bins.size()), std::max(c.maxBins, 10)) << which;
        if (!layout.bins.empty()) {
            EXPECT_EQ(layout.bins.front().from, c.from) << which;
            EXPECT_EQ(layout.bins.back().to, c.to) << which;
        }
        EXPECT_EQ(layout.earlier, c.earlier) << which;
        EXPECT_EQ(layout.later, c.later) << which;
    }
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

namespace ui_test {
namespace {

TEST_F(FacetsPanelTest, TheYearsRangeStaysMarkedAcrossNewCountsAndTheStrayYearsAreButtons) {
    QSignalSpy years(&panel_, &CFacetsPanel::yearsChosen);
    CYearsHistogram* histogram = panel_.Years();
    auto marked = [histogram]() {
        std::vector<std::string> names;
        for (int i = 0; i < histogram->Count(); ++i)
            if (histogram->InRange(i)) names.push_back(histogram->ItemName(i).toStdString());
        return names;
    };
    panel_.Databases()->setFocus();
    panel_.SetYearsRange(true, 1862, 1864);
    EXPECT_FALSE(histogram->hasFocus());
    EXPECT_EQ(marked(), (std::vector<std::string>{"1862, 1 person, in the years range",
                                                  "1863, 0 people, in the years range",
                                                  "1864, 7 people, in the years range"}));
    // The keys start from the range.
    EXPECT_EQ(histogram->SpanFirst(), 1);
    EXPECT_EQ(histogram->SpanLast(), 3);
    EXPECT_FALSE(panel_.EarlierYears()->isVisible());
    EXPECT_FALSE(panel_.LaterYears()->isVisible());

    // New counts, a stray year among them: the range stays, 1389 is a button.
    facets::FacetCounts counts;
    counts.years = {{1389, 1}, {1828, 1}, {1863, 3}, {1865, 1}};
    panel_.SetYearsRange(true, 1863, 1865);
    panel_.SetCounts(counts);
    EXPECT_EQ(histogram->BinAt(0).from, 1828);
    EXPECT_EQ(marked(), (std::vector<std::string>{"1863, 3 people, in the years range",
                                                  "1864, 0 people, in the years range",
                                                  "1865, 1 person, in the years range"}));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(histogram);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->child(35)->text(QAccessible::Name), QStringLiteral("1863, 3 people, in the years range"));
    QPushButton* earlier = panel_.EarlierYears();
    ASSERT_TRUE(earlier->isVisible());
    EXPECT_FALSE(panel_.LaterYears()->isVisible());
    EXPECT_EQ(earlier->text(), QStringLiteral("1 earlier (1389)"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(earlier)->text(QAccessible::Name),
              QStringLiteral("1 person earlier than the bars, 1389"));
    // A Tab stop after the bars; Space sets the range to its years.
    histogram->setFocus();
    QTest::keyClick(histogram, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), earlier);
    QTest::keyClick(earlier, Qt::Key_Space);
    ASSERT_EQ(years.count(), 1);
    EXPECT_EQ(years.at(0), (QList<QVariant>{1389, 1389}));
}

}  // namespace
}  // namespace ui_test
