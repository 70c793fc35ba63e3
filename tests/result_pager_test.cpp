// The result pager: direct paging of a .cor range, the first-name filter
// through history.buf, rows and summaries (history.buf failing:
// result_pager_scratch_test.cpp).

#include "result_pager_fixture.h"

using namespace result_pager_test;

namespace {

// A database of kLead "Other" entries, count "Person i" entries and two
// trailing "Other" entries; person i's record is r<i>.
class DirectPagingTest : public ::testing::TestWithParam<bool> {
protected:
    void Build(int count) {
        for (int i = 0; i < kLead; ++i) files_.AddPerson("Other", F("o") + "\n");
        for (int i = 0; i < count; ++i) {
            files_.AddPerson("Person " + std::to_string(i), F("r" + std::to_string(i)) + "\n");
        }
        for (int i = 0; i < 2; ++i) files_.AddPerson("Other", F("o") + "\n");
        ASSERT_TRUE(files_.WriteAndOpen(kCode));
        pager_ = std::make_unique<CResultPager>(&files_.Db());
        pager_->SetPageSize(GetParam());
        pager_->Reset();
        pager_->SetRange(kLead, count);
        char surname[] = "smith";
        pager_->SetSurname(surname);
        pager_->ListRange();
    }
    int P() const { return GetParam() ? 8 : 10; }
    void ExpectPage(int first, int rows, bool prev, bool next) {
        EXPECT_EQ(PageNames(*pager_), Numbered("Person ", first, rows));
        EXPECT_EQ(pager_->HasPrev(), prev);
        EXPECT_EQ(pager_->HasNext(), next);
    }

    ScriptedResponder boxes_;
    browse_test::TestDatabase files_;
    std::unique_ptr<CResultPager> pager_;
};

TEST_P(DirectPagingTest, EmptyRange) {
    Build(0);
    EXPECT_EQ(pager_->RowsOnPage(), 0);
    EXPECT_EQ(pager_->RecordCount(), 0);
    EXPECT_FALSE(pager_->HasPrev());
    EXPECT_FALSE(pager_->HasNext());
}

TEST_P(DirectPagingTest, ShortRange) {
    Build(3);
    ExpectPage(0, 3, false, false);
    EXPECT_EQ(pager_->RecordCount(), 3);
}

TEST_P(DirectPagingTest, ExactlyOnePage) {
    Build(P());
    ExpectPage(0, P(), false, false);
}

TEST_P(DirectPagingTest, OnePageAndOne) {
    Build(P() + 1);
    ExpectPage(0, P(), false, true);
    pager_->NextPage();
    EXPECT_TRUE(pager_->HasNext() == false);
    ExpectPage(P(), 1, true, false);
    pager_->PrevPage();
    ExpectPage(0, P(), false, true);
    EXPECT_EQ(pager_->RecordCount(), P() + 1);
}

TEST_P(DirectPagingTest, TwentyFiveEntries) {
    Build(25);
    EXPECT_EQ(pager_->RecordCount(), 25);
    int shown = 0;
    int pages = 1;
    ExpectPage(0, P(), false, true);
    while (pager_->HasNext()) {
        shown += pager_->RowsOnPage();
        pager_->NextPage();
        ++pages;
        const int rows = 25 - shown < P() ? 25 - shown : P();
        ExpectPage(shown, rows, true, shown + rows < 25);
    }
    EXPECT_EQ(pages, GetParam() ? 4 : 3);
    // Back from the last page: the full page before it.
    pager_->PrevPage();
    ExpectPage(shown - P(), P(), shown - P() > 0, true);
    if (!GetParam()) {
        EXPECT_EQ(PageNames(*pager_).front(), "Person 10");
        EXPECT_EQ(PageNames(*pager_).back(), "Person 19");
    }
    // Prev from the first page stays on it.
    while (pager_->HasPrev()) pager_->PrevPage();
    pager_->PrevPage();
    ExpectPage(0, P(), false, true);
}

TEST_P(DirectPagingTest, RowsCarrySurnameGivenNamesAndSummary) {
    Build(P() + 2);
    EXPECT_EQ(RowText(*pager_, 0), "SMITH\tPerson 0\tr0,  ");
    pager_->NextPage();
    // Summaries are rebuilt for the page turned to.
    EXPECT_EQ(RowText(*pager_, 1),
              "SMITH\tPerson " + std::to_string(P() + 1) + "\tr" + std::to_string(P() + 1) + ",  ");
    EXPECT_EQ(RowText(*pager_, 2), "");
    EXPECT_EQ(RowText(*pager_, -1), "");
    EXPECT_STREQ(pager_->GetFullText(1).text, ("Middle Initial: \r\nr" + std::to_string(P() + 1)).c_str());
    EXPECT_STREQ(pager_->GetFullText(2).text, "");
    EXPECT_STREQ(pager_->GetFullText(-1).text, "");
}

INSTANTIATE_TEST_SUITE_P(LargeText, DirectPagingTest, ::testing::Bool());

TEST_F(PagerTest, SurnameIsUpperCasedInPlaceAndCut) {
    Open();
    char typed[] = "mc'donald-smith";
    pager_->SetSurname(typed);
    EXPECT_STREQ(typed, "MC'DONALD-SMITH");
    EXPECT_STREQ(pager_->Surname(), "MC'DONALD-SMITH");
    std::string longName(40, 'a');
    pager_->SetSurname(longName.data());
    EXPECT_EQ(std::string(pager_->Surname()), std::string(29, 'A'));
}

TEST_F(PagerTest, ResetEmptiesEverything) {
    files_.AddPerson("A", F("a") + "\n");
    Open();
    pager_->SetRange(0, 1);
    pager_->ListRange();
    ASSERT_EQ(pager_->RowsOnPage(), 1);
    pager_->Reset();
    EXPECT_EQ(pager_->RowsOnPage(), 0);
    EXPECT_EQ(pager_->RecordCount(), 0);
    EXPECT_FALSE(pager_->HasPrev());
    EXPECT_FALSE(pager_->HasNext());
    EXPECT_TRUE(pager_->IsDirectMode());
}

class FirstNameTest : public PagerTest {
protected:
    void SetUp() override {
        for (const char* name : {"JOHN", "john henry", "Jo Ann", "JOSEPH", "MARY ANN", "Mary", " Spacey", "",
                                 "J. R.", "JOANNA", "Bob"}) {
            files_.AddPerson(name, F(std::string("rec ") + name) + "\n");
        }
        Open();
    }
};

TEST_F(FirstNameTest, LeadingLettersDecideCaseBlind) {
    const std::vector<std::string> jo = {"JOHN", "john henry", "Jo Ann", "JOSEPH", "JOANNA"};
    for (const char* typed : {"jo", "JO", "Jo-Ann"}) {
        SCOPED_TRACE(typed);
        Filter(typed);
        EXPECT_FALSE(pager_->IsDirectMode());
        EXPECT_EQ(PageNames(*pager_), jo);
        EXPECT_EQ(pager_->RecordCount(), 5);
        EXPECT_FALSE(pager_->HasPrev());
        EXPECT_FALSE(pager_->HasNext());
    }
    Filter("J. R.");
    EXPECT_EQ(PageNames(*pager_),
              (std::vector<std::string>{"JOHN", "john henry", "Jo Ann", "JOSEPH", "J. R.", "JOANNA"}));
    Filter("Mary Ann");
    EXPECT_EQ(PageNames(*pager_), (std::vector<std::string>{"MARY ANN", "Mary"}));
    // A leading blank compares only itself: names that begin with a blank or are empty.
    Filter(" x");
    EXPECT_EQ(PageNames(*pager_), (std::vector<std::string>{" Spacey", ""}));
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(FirstNameTest, HitsKeepTheirStoredTextAndGetSummaries) {
    Filter("jo");
    EXPECT_EQ(RowText(*pager_, 1), "JONES\tjohn henry\trec john henry,  ");
    EXPECT_STREQ(pager_->GetFullText(2).text, "Middle Initial: \r\nrec Jo Ann");
    const std::string bytes = testing_support::ReadFileBytes(HistoryPath());
    ASSERT_EQ(bytes.size(), 5u * 300u);
    EXPECT_EQ(bytes.substr(304, 11), std::string("john henry\0", 11));
}

TEST_F(FirstNameTest, NothingMatches) {
    Filter("Zed");
    EXPECT_FALSE(pager_->IsDirectMode());
    EXPECT_EQ(pager_->RowsOnPage(), 0);
    EXPECT_EQ(pager_->RecordCount(), 0);
    EXPECT_FALSE(pager_->HasPrev());
    EXPECT_FALSE(pager_->HasNext());
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(FirstNameTest, VariantsSetAfterASearchLeaveItsHitsAsFound) {
    // The setting changed between a search and its export (a window's
    // option, kept by the session) must not change the hits walked again,
    // nor lose a row's entry: the pager walks them as its filter took them.
    const struct {
        const char* typed;
        bool variants;
        std::vector<std::string> names;
    } cases[] = {
        {"Robert", true, {"Bob"}},
        {"Jack", true, {"JOHN", "john henry", "J. R."}},
        {"Bob", false, {"Bob"}},
        {"J", false, {"JOHN", "john henry", "Jo Ann", "JOSEPH", "J. R.", "JOANNA"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Filter(c.typed, c.variants);
        EXPECT_EQ(PageNames(*pager_), c.names);
        EXPECT_EQ(pager_->FilterKeptVariants(), c.variants);
        std::vector<ExportedHit> hits;
        ASSERT_FALSE(pager_->CollectHits(hits).Failed());
        std::vector<std::string> collected;
        for (const ExportedHit& hit : hits) collected.push_back(hit.givenNames);
        EXPECT_EQ(collected, c.names);
        FoundPerson person;
        ASSERT_FALSE(pager_->PersonOfRow(0, person).Failed());
        EXPECT_GE(person.entry, 0);
    }
}

TEST_F(FirstNameTest, PlainSearchAfterFirstNameSearch) {
    Filter("jo");
    ASSERT_EQ(pager_->RecordCount(), 5);
    pager_->Reset();
    EXPECT_EQ(testing_support::ReadFileBytes(HistoryPath()).size(), 0u);
    pager_->SetRange(0, 11);
    pager_->ListRange();
    EXPECT_TRUE(pager_->IsDirectMode());
    EXPECT_EQ(pager_->RecordCount(), 11);
    EXPECT_EQ(pager_->RowsOnPage(), 10);
}

TEST_F(PagerTest, TypedNameLongerThanTheNameWidth) {
    // Width 6: "JOSEPHINE" is stored as "JOSEPH"; all six characters must agree.
    for (const char* name : {"JOSEPH", "JOSE", "JOSEPHINE", "Josephus", "JOSEPI"}) {
        files_.AddPerson(name, F(name) + "\n");
    }
    Open(kCode, 6);
    Filter("Josephine");
    EXPECT_EQ(PageNames(*pager_), (std::vector<std::string>{"JOSEPH", "JOSEPH", "Joseph"}));
}

TEST_F(PagerTest, FilterMatchingOneOrTwoPages) {
    // Eleven hits among other names.
    for (int i = 0; i < 11; ++i) {
        files_.AddPerson("Other", F("o") + "\n");
        files_.AddPerson("Ann " + std::to_string(i), F("a" + std::to_string(i)) + "\n");
    }
    Open();
    Filter("ann");
    EXPECT_EQ(pager_->RecordCount(), 11);
    EXPECT_EQ(PageNames(*pager_), Numbered("Ann ", 0, 10));
    EXPECT_FALSE(pager_->HasPrev());
    EXPECT_TRUE(pager_->HasNext());
    EXPECT_FALSE(pager_->NextPage().Failed());
    EXPECT_EQ(PageNames(*pager_), Numbered("Ann ", 10, 1));
    EXPECT_EQ(RowText(*pager_, 0), "JONES\tAnn 10\ta10,  ");
    EXPECT_TRUE(pager_->HasPrev());
    EXPECT_FALSE(pager_->HasNext());
    pager_->PrevPage();
    EXPECT_EQ(PageNames(*pager_), Numbered("Ann ", 0, 10));
    EXPECT_FALSE(pager_->HasPrev());
    EXPECT_TRUE(pager_->HasNext());

    // Exactly one page of hits (eight rows with large text).
    pager_->SetPageSize(true);
    Filter("ann");
    EXPECT_EQ(pager_->RowsOnPage(), 8);
    pager_->NextPage();
    EXPECT_EQ(PageNames(*pager_), Numbered("Ann ", 8, 3));
    pager_->SetPageSize(false);
    Filter("Ann 1");  // "ANN" only: the digit ends the letters
    EXPECT_EQ(pager_->RecordCount(), 11);
}

TEST_F(PagerTest, FilterMatchingExactlyOnePage) {
    for (int i = 0; i < 10; ++i) files_.AddPerson("Ann", F("a") + "\n");
    files_.AddPerson("Bob", F("b") + "\n");
    Open();
    Filter("an");
    EXPECT_EQ(pager_->RowsOnPage(), 10);
    EXPECT_FALSE(pager_->HasPrev());
    EXPECT_FALSE(pager_->HasNext());
}

TEST_F(PagerTest, CollectedHitsCarryTheSummariesTheirRowsShow) {
    // Short, long, blank-field, NUL-holding records, and a last one that
    // ends with the file instead of a line feed.
    const std::vector<std::string> records = {
        F("Major") + F("1861") + "\n",
        F("A long first field of many words") + F("more") + F("and more") + F("past three") + "\n",
        F("   ") + F("after a blank field") + F("x") + "\n",
        F(std::string("nul\0inside", 10)) + F("second") + "\n",
        F("") + "\n",
        F("ends with the file") + F("b"),
    };
    for (std::size_t i = 0; i < records.size(); ++i) files_.AddPerson("P" + std::to_string(i), records[i]);
    for (const bool filtered : {false, true}) {
        Open();
        std::vector<std::string> shown;
        if (filtered) {
            Filter("P");
        } else {
            pager_->SetRange(0, static_cast<std::int32_t>(records.size()));
            pager_->ListRange();
        }
        for (;;) {
            for (int i = 0; i < pager_->RowsOnPage(); ++i) shown.push_back(pager_->Row(i).summary);
            if (!pager_->HasNext()) break;
            pager_->NextPage();
        }
        std::vector<ExportedHit> hits;
        ASSERT_FALSE(pager_->CollectHits(hits).Failed());
        std::vector<std::string> collected;
        for (const ExportedHit& hit : hits) collected.push_back(hit.summary);
        EXPECT_EQ(collected, shown) << (filtered ? "filtered" : "direct");
        EXPECT_EQ(collected.size(), records.size());
    }
}

TEST_F(PagerTest, HitsAndRowsKnowTheirEntryNumbers) {
    // Entry i holds "Ann i" or "Bob i" and the record r<i>; the range starts
    // at entry 3, and Bob keeps every other entry of it.
    for (int i = 0; i < 25; ++i) {
        files_.AddPerson((i % 2 == 1 ? "Bob " : "Ann ") + std::to_string(i),
                         F("r" + std::to_string(i)) + "\n");
    }
    for (const bool filtered : {false, true}) {
        Open();
        pager_->SetRange(3, 20);
        char surname[] = "jones";
        pager_->SetSurname(surname);
        std::vector<std::int32_t> expected;
        for (int i = 3; i < 23; ++i) {
            if (!filtered || i % 2 == 1) expected.push_back(i);
        }
        if (filtered) {
            CSearchQuery query;
            query.SetSurname("Jones");
            query.SetFirstName("b");
            pager_->FilterByFirstName(query.FirstName(), false);
        } else {
            pager_->ListRange();
        }
        const char* mode = filtered ? "filtered" : "direct";
        std::vector<ExportedHit> hits;
        ASSERT_FALSE(pager_->CollectHits(hits).Failed());
        std::vector<std::int32_t> collected;
        for (const ExportedHit& hit : hits) {
            collected.push_back(hit.entry);
            EXPECT_EQ(hit.code, kCode);
            EXPECT_EQ(hit.fields, std::vector<std::string>{"r" + std::to_string(hit.entry)}) << mode;
        }
        EXPECT_EQ(collected, expected) << mode;
        std::vector<std::int32_t> visited;
        ASSERT_FALSE(pager_
                         ->ForEachPerson([&](const FoundPerson& person) {
                             visited.push_back(person.entry);
                             return visited.size() < 3;
                         })
                         .Failed());
        EXPECT_EQ(visited, std::vector<std::int32_t>(expected.begin(), expected.begin() + 3)) << mode;

        // The rows of the second page, and none past them.
        pager_->NextPage();
        for (int row = 0; row < pager_->RowsOnPage(); ++row) {
            FoundPerson person;
            ASSERT_FALSE(pager_->PersonOfRow(row, person).Failed());
            const std::int32_t entry = expected[static_cast<std::size_t>(10 + row)];
            EXPECT_EQ(person.entry, entry) << mode << " row " << row;
            EXPECT_EQ(person.givenNames, pager_->Row(row).givenNames);
            EXPECT_EQ(person.surname, "JONES");
            EXPECT_EQ(person.text, "Middle Initial: \r\nr" + std::to_string(entry)) << mode;
        }
        FoundPerson none;
        EXPECT_FALSE(pager_->PersonOfRow(pager_->RowsOnPage(), none).Failed());
        EXPECT_EQ(none.code, 0);
    }
}

TEST_F(PagerTest, PassengerRowsTestTheRecordsFirstByte) {
    files_.AddPerson("A", F("3") + F("1st") + "\n");
    files_.AddPerson("B", F(" ") + F("3rd") + "\n");
    files_.AddPerson("C", F("1") + F("3rd") + "\n");
    Open(3);
    pager_->SetRange(0, 3);
    pager_->ListRange();
    EXPECT_STREQ(pager_->Row(0).summary, "survived: yes");
    EXPECT_STREQ(pager_->Row(1).summary, "survived: no");
    EXPECT_STREQ(pager_->Row(2).summary, "survived: no");
    EXPECT_STREQ(pager_->GetFullText(0).text, "Survived: \r\nYes");
    EXPECT_STREQ(pager_->GetFullText(1).text, "Survived: \r\nNo");
}

TEST_F(PagerTest, LongestRecordGivesATextCutAtTheBuffer) {
    std::string field;
    while (field.size() < 280) field += "word ";
    field.resize(280);
    std::string record;
    for (int i = 0; i < 17; ++i) record += F(field);
    files_.AddPerson("A", record + std::string(4999 - record.size() - 1, 'x') + "\n");
    Open(10);
    pager_->SetRange(0, 1);
    pager_->ListRange();
    const std::string text = pager_->GetFullText(0).text;
    EXPECT_EQ(text.size(), 4999u);
}

TEST(PagerSearchTest, SearchRunsEndToEnd) {
    ScriptedResponder boxes;
    browse_test::TestDatabase files;
    CDatabaseWriter writer(kCode);
    std::string error;
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(writer.Add(
            {"Smith", i % 2 == 0 ? "John " + std::to_string(i) : "Mary", {"M", "Ohio", "PFC"}}, &error))
            << error;
    }
    ASSERT_TRUE(writer.Add({"Smyth", "Joan", {"K", "Iowa"}}, &error)) << error;
    ASSERT_TRUE(writer.Write(files.Dir().Path(), 0, &error)) << error;

    CSearchSession session(files.Dirs());
    CResultPager& pager = session.Pager();
    using testing_support::Shown;
    EXPECT_EQ(Shown(session.SearchCode(kCode, "smith", nullptr)).status, SearchStatus::Found);
    EXPECT_EQ(pager.RecordCount(), 12);
    EXPECT_EQ(RowText(pager, 0), "SMITH\tJohn 0\tM, Ohio, PFC");
    EXPECT_TRUE(pager.HasNext());  // more entries follow the first page

    // The page shown is counted by the pager, from 0 at each search.
    EXPECT_EQ(session.PageIndex(), 0);
    EXPECT_EQ(Shown(session.TurnPage(true)).status, SearchStatus::Found);
    EXPECT_EQ(session.PageIndex(), 1);
    EXPECT_EQ(Shown(session.TurnPage(false)).status, SearchStatus::Found);
    EXPECT_EQ(session.PageIndex(), 0);
    Shown(session.TurnPage(true));

    // The session's name-variants setting reaches the searches that follow,
    // not the one shown.
    session.SetNameVariants(true);
    Shown(session.SearchCode(kCode, "smith", "jo"));
    EXPECT_EQ(session.PageIndex(), 0);
    EXPECT_EQ(pager.RecordCount(), 6);
    EXPECT_EQ(RowText(pager, 5), "SMITH\tJohn 10\tM, Ohio, PFC");
    session.SetNameVariants(false);
    EXPECT_TRUE(pager.FilterKeptVariants());

    EXPECT_EQ(Shown(session.SearchCode(kCode, "Nobody", nullptr)).status, SearchStatus::NotFound);
    EXPECT_TRUE(pager.IsDirectMode());
    EXPECT_EQ(pager.RecordCount(), 0);
    EXPECT_EQ(pager.RowsOnPage(), 0);
    EXPECT_FALSE(pager.HasPrev());
    EXPECT_FALSE(pager.HasNext());
    EXPECT_TRUE(boxes.Shown().empty());
}

}  // namespace
