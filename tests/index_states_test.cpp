// The rules that say which databases a query searches while word indexes
// are made beside it: which are looked at on the disk, which wait, which
// were declined, and how the end of a making moves a database on.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "browse/record_search/index_states.h"

namespace {

FindOutcome Ended(FindStatus status, bool scanned = false) {
    FindOutcome outcome;
    outcome.status = status;
    if (scanned) outcome.scanned.push_back(1);
    return outcome;
}

TEST(IndexStatesTest, EachMakingEndMovesTheDatabaseOnForTheNextQuery) {
    using Codes = std::vector<int>;
    struct Case {
        const char* what;
        // After a first query of 1, 2 and 3 that found 2 ready and began making 1 and 3.
        std::function<void(CIndexStates&)> then;
        Codes ready;  // of those looked at by the next query
        Codes lookedAt, searched, waiting, declined, toMake;
    };
    const Case cases[] = {
        {"still making", [](CIndexStates&) {}, {}, {}, {2}, {1, 3}, {}, {}},
        {"made", [](CIndexStates& s) { s.Made(1, Ended(FindStatus::Done)); }, {}, {}, {1, 2}, {3}, {}, {}},
        {"none can be kept: read record by record",
         [](CIndexStates& s) { s.Made(1, Ended(FindStatus::Done, true)); },
         {},
         {},
         {1, 2},
         {3},
         {},
         {}},
        {"cancelled while made",
         [](CIndexStates& s) { s.Made(3, Ended(FindStatus::Cancelled)); },
         {},
         {},
         {2},
         {1},
         {3},
         {}},
        {"cancelled before begun",
         [](CIndexStates& s) {
             s.Decline({1, 3});
         },
         {},
         {},
         {2},
         {},
         {1, 3},
         {}},
        {"declined, then asked for again: looked at afresh",
         [](CIndexStates& s) {
             s.Decline({1, 3});
             s.ReconsiderDeclined();
         },
         {3},
         {1, 3},
         {2, 3},
         {1},
         {},
         {1}},
        {"no disk while made: looked at again",
         [](CIndexStates& s) { s.Made(1, Ended(FindStatus::NoDisk)); },
         {1},
         {1},
         {1, 2},
         {3},
         {},
         {}},
        {"files failed: the query says so",
         [](CIndexStates& s) { s.Made(1, Ended(FindStatus::Failed)); },
         {},
         {},
         {1, 2},
         {3},
         {},
         {}},
        {"usage error",
         [](CIndexStates& s) { s.Made(3, Ended(FindStatus::UsageError)); },
         {},
         {},
         {2, 3},
         {1},
         {},
         {}},
    };
    for (const Case& c : cases) {
        CIndexStates states;
        const Codes asked = {1, 2, 3};
        ASSERT_EQ(states.ToLookAt(asked), asked);
        const IndexPlan first = states.PlanQuery(asked, {2});
        ASSERT_EQ(first.searched, Codes{2});
        ASSERT_EQ(first.waiting, (Codes{1, 3}));
        ASSERT_EQ(first.toMake, (Codes{1, 3}));
        c.then(states);
        EXPECT_EQ(states.ToLookAt(asked), c.lookedAt) << c.what;
        const IndexPlan next = states.PlanQuery(asked, c.ready);
        EXPECT_EQ(next.searched, c.searched) << c.what;
        EXPECT_EQ(next.waiting, c.waiting) << c.what;
        EXPECT_EQ(next.declined, c.declined) << c.what;
        EXPECT_EQ(next.toMake, c.toMake) << c.what;
    }
}

TEST(IndexStatesTest, APlanKeepsTheOrderAskedAndLeavesOtherDatabasesAlone) {
    CIndexStates states;
    const IndexPlan plan = states.PlanQuery({5, 2, 7}, {7});
    EXPECT_EQ(plan.searched, std::vector<int>{7});
    EXPECT_EQ(plan.waiting, (std::vector<int>{5, 2}));
    EXPECT_EQ(states.Of(9), IndexState::Unknown);
    // A making declined before it began is not begun again by the next query.
    states.Decline({2});
    EXPECT_EQ(states.PlanQuery({2, 5}, {}).toMake, std::vector<int>{});
    EXPECT_EQ(states.Of(5), IndexState::Making);
}

}  // namespace
