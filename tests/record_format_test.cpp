// Summaries, full texts and the More Info title, byte for byte.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "browse/record_text/more_info_title.h"
#include "browse/record_text/record_format.h"
#include "browse_test_files.h"

using browse_test::F;

namespace {

const std::string kCRLF = "\r\n";
const std::string kPara = "\r\n\r\n";

// Reads the raw summary of every record through the record database and
// builds its displayed summary, as the pager does for a row.
class SummaryTest : public ::testing::Test {
protected:
    struct Result {
        std::string raw;
        std::string shown;
        int firstByte;
    };

    Result Summarize(int code, const std::string& record, const std::string& after = "") {
        browse_test::TestDatabase files;
        const std::int32_t offset = files.AddRecord(record);
        files.AddRecord(after);
        files.AddEntry(offset, "X");
        EXPECT_TRUE(files.WriteAndOpen(code));
        return SummarizeAt(files, code, offset);
    }

    static Result SummarizeAt(browse_test::TestDatabase& files, int code, std::int32_t offset) {
        // Canary bytes after the 35 that a raw summary may use.
        char raw[record_format::kRawSummarySize];
        std::memset(raw, '#', sizeof raw);
        int firstByte = -1;
        files.Db().ReadSummary(offset, raw, firstByte);
        for (std::size_t i = 35; i < sizeof raw; ++i) EXPECT_EQ(raw[i], '#');
        char shown[record_format::kSummarySize];
        record_format::BuildDisplayedSummary(code, raw, firstByte, shown);
        return {raw, shown, firstByte};
    }
};

TEST_F(SummaryTest, WorkedExamples) {
    struct Case {
        int code;
        std::string record;
        std::string raw;
        std::string shown;
    };
    const std::string letters30 = "abcdefghijklmnopqrstuvwxyzABCD";
    const std::string letters29 = letters30.substr(0, 29);
    const std::vector<Case> cases = {
        {11, F("J") + F("Ohio") + F("PFC") + F("7th Inf") + "\n", "J\xFF Ohio\xFF PFC\xFF ...",
         "J, Ohio, PFC, ..."},
        {11, F("J") + F("Ohio") + F("PFC   ") + "\n", "J\xFF Ohio\xFF PFC\xFF ", "J, Ohio, PFC"},
        {11, F("J") + F("Ohio") + F("  ") + "\n", "J\xFF Ohio\xFF \n", "J, Ohio,  "},
        {11, F("   ") + F("Ohio") + F("PFC") + "\n", "Ohio\xFF PFC\xFF \n", "Ohio, PFC,  "},
        {1, F("Mar. 12, 1818, Ky.") + F("Jun. 4, 1880") + F("Lawyer") + F("Judge") + "\n",
         "Mar. 12, 1818, Ky.\xFF Jun. 4, 18...", "Mar. 12, 1818, Ky., Jun. 4, 18..."},
        {11, F(letters30) + "\n", letters30 + "...", letters30 + "..."},
        {11, F(letters29) + "\n", letters29 + "\xFF ", letters29},
        {3, F("3") + F("1st") + "\n", "3\xFF 1st\xFF \n", "survived: yes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        const Result result = Summarize(c.code, c.record, F("NEXT") + "\n");
        EXPECT_EQ(result.raw, c.raw);
        EXPECT_EQ(result.shown, c.shown);
    }
}

TEST_F(SummaryTest, BlankFieldsAnywhereAreDroppedAndDoNotCount) {
    const Result result =
        Summarize(11, F("") + F("J") + F("   ") + F("Ohio") + F("") + F("  PFC  ") + F("Cav") + "\n");
    // Leading blanks stay, trailing ones go; the fourth non-blank field is not read.
    EXPECT_EQ(result.raw, "J\xFF Ohio\xFF   PFC\xFF ...");
    EXPECT_EQ(result.shown, "J, Ohio,   PFC, ...");
}

TEST_F(SummaryTest, FieldCutAtThirtyBytesKeepsItsBlanks) {
    // 24 characters, separator, then a field whose blanks reach byte 30.
    const Result result = Summarize(11, F("abcdefghijklmnopqrstuvwx") + F("ab   cdef") + "\n");
    EXPECT_EQ(result.raw, "abcdefghijklmnopqrstuvwx\xFF ab  ...");
    EXPECT_EQ(result.shown, "abcdefghijklmnopqrstuvwx, ab  ...");
}

TEST_F(SummaryTest, RecordCutOffByTheEndOfTheFile) {
    // No line feed and no closing 0xFF: the end of the file ends the summary.
    const Result result = Summarize(11, F("J") + "Ohio");
    EXPECT_EQ(result.raw, "J\xFF Ohio...");
    EXPECT_EQ(result.shown, "J, Ohio...");
}

TEST_F(SummaryTest, OffsetAtOrPastTheEndOfTheFile) {
    browse_test::TestDatabase files;
    const std::int32_t end = files.AddRecord(F("J") + "\n") + 3;
    ASSERT_TRUE(files.WriteAndOpen(3));
    for (std::int32_t offset : {end, end + 1000, -5}) {
        SCOPED_TRACE(offset);
        const Result result = SummarizeAt(files, 3, offset);
        EXPECT_EQ(result.raw, "...");
        EXPECT_EQ(result.firstByte, -1);
        EXPECT_EQ(result.shown, "survived: no");
    }
    char shown[record_format::kSummarySize];
    record_format::BuildDisplayedSummary(11, "...", -1, shown);
    EXPECT_STREQ(shown, "...");
}

TEST_F(SummaryTest, PassengerSurvivalFollowsTheRecordsFirstByte) {
    // A blank first field puts the second field's '3' first in the raw
    // summary; the row still reads the record's own first byte, as More Info does.
    const std::string record = F(" ") + F("3rd") + "\n";
    const Result result = Summarize(3, record);
    EXPECT_EQ(result.raw[0], '3');
    EXPECT_EQ(result.firstByte, ' ');
    EXPECT_EQ(result.shown, "survived: no");

    char text[record_format::kTextSize];
    record_format::BuildFullText(3, record.c_str(), text, sizeof text);
    EXPECT_STREQ(text, "Survived: \r\nNo");

    EXPECT_EQ(Summarize(3, F("3") + "\n").shown, "survived: yes");
    EXPECT_EQ(Summarize(3, F("1") + "\n").shown, "survived: no");
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string FullText(int code, const std::string& record) {
    char text[record_format::kTextSize];
    const std::size_t length = record_format::BuildFullText(code, record.c_str(), text, sizeof text);
    EXPECT_EQ(length, std::strlen(text));
    return text;
}

TEST(FullTextTest, JoinedFieldsOfTheMemorial) {
    const std::string tail = F("1st Cav Div") + F("Dayton") + F("OH") + "\n";
    EXPECT_EQ(FullText(12, F("Allen") + F("Sgt") + F("E5") + tail),
              "Middle Name: " + kCRLF + "Allen, Sgt, E5" + kPara + "Organization: " + kCRLF + "1st Cav Div" +
                  kPara + "City: " + kCRLF + "Dayton" + kPara + "State: " + kCRLF + "OH");
    // A skipped joined field ends the paragraph.
    EXPECT_TRUE(StartsWith(
        FullText(12, F("Allen") + F("Sgt") + F(" ") + tail),
        "Middle Name: " + kCRLF + "Allen, Sgt" + kPara + "Organization: " + kCRLF + "1st Cav Div" + kPara));
    // A joined field after a skipped one still opens with ", ".
    EXPECT_TRUE(StartsWith(FullText(12, F(" ") + F("Sgt") + F("E5") + tail),
                           ", Sgt, E5" + kPara + "Organization: " + kCRLF));
}

TEST(FullTextTest, GeneralsWithWrapAndSkippedFields) {
    std::string longText;
    for (int i = 0; i < 20; ++i) longText += "abcd ";
    longText.pop_back();
    longText += "z";  // 100 characters, blanks at 5, 10, ..., 95
    const std::string text =
        FullText(1, F("Mar. 12, 1818") + F("Jun. 4, 1880") + F(" ") + F(longText) + F("Judge") + "\n");
    // The first blank at or after the 61st character is the 65th.
    EXPECT_EQ(text, "Born: " + kCRLF + "Mar. 12, 1818" + kPara + "Died: " + kCRLF + "Jun. 4, 1880" + kPara +
                        "War service: " + kCRLF + longText.substr(0, 64) + kCRLF + longText.substr(64) +
                        kPara + "Postwar career: " + kCRLF + "Judge");

    // An empty field keeps its heading; a blank last field is skipped.
    EXPECT_EQ(FullText(1, F("a") + F("b") + F("c") + F("") + F(" ") + "\n"),
              "Born: " + kCRLF + "a" + kPara + "Died: " + kCRLF + "b" + kPara +
                  "Prewar profession: " + kCRLF + "c" + kPara + "War service: " + kCRLF + kPara);
}

TEST(FullTextTest, WrapColumns) {
    const std::string sixty(60, 'x');
    // Behind a heading: 60 characters are never broken, nor a run without a blank after it.
    EXPECT_EQ(FullText(1, F(sixty) + "\n"), "Born: " + kCRLF + sixty);
    EXPECT_EQ(FullText(1, F(sixty + "yyz") + "\n"), "Born: " + kCRLF + sixty + "yyz");
    EXPECT_EQ(FullText(1, F(sixty + "yy z") + "\n"), "Born: " + kCRLF + sixty + "yy" + kCRLF + " z");
    EXPECT_EQ(FullText(1, F(sixty + " z") + "\n"), "Born: " + kCRLF + sixty + kCRLF + " z");
    // Behind a joining label the count starts at 2: the break comes after 58.
    const std::string fiftyEight(58, 'y');
    EXPECT_EQ(FullText(12, F("A") + F(fiftyEight + " b") + "\n"),
              "Middle Name: " + kCRLF + "A, " + fiftyEight + kCRLF + " b");
    EXPECT_EQ(FullText(12, F("A") + F(std::string(57, 'y') + " b") + "\n"),
              "Middle Name: " + kCRLF + "A, " + std::string(57, 'y') + " b");
}

TEST(FullTextTest, RollOfHonorReferencesAndFootnote) {
    const std::string head = F("J") + F("12345") + F("3 45 46 ") + F("7 9  ");
    std::string blanks;
    for (int i = 0; i < 11; ++i) blanks += F(" ");
    const std::string refs = "Middle Initial: " + kCRLF + "J" + kPara + "References: " + kCRLF +
                             "Volume: 12 Page: 345, Volume: 3 Page: 45,46, Volume: 7 Page: 9";
    EXPECT_EQ(FullText(9, head + blanks + "\n"), refs + kPara + record_format::kFootnote);
    EXPECT_EQ(std::strlen(record_format::kFootnote), 127u);
    EXPECT_EQ(FullText(9, F("J") + F("12345") + "\n"),
              "Middle Initial: " + kCRLF + "J" + kPara + "References: " + kCRLF + "Volume: 12 Page: 345");
    // Fourteen fields: no footnote, and no paragraph end after the last joined reference.
    EXPECT_EQ(FullText(9, head + blanks.substr(2) + "\n"), refs);
    // Only the References field written: the footnote follows it directly.
    std::string onlyRefs = F("J") + F("12345");
    for (int i = 0; i < 13; ++i) onlyRefs += F(" ");
    EXPECT_EQ(FullText(9, onlyRefs + "\n"), "Middle Initial: " + kCRLF + "J" + kPara + "References: " +
                                                kCRLF + "Volume: 12 Page: 345" + record_format::kFootnote);
}

TEST(FullTextTest, RollReferenceForms) {
    const std::string prefix = "Middle Initial: " + kCRLF + "J" + kPara + "References: " + kCRLF;
    auto reference = [&](const std::string& field) {
        const std::string text = FullText(9, F("J") + F(field) + "\n");
        EXPECT_EQ(text.substr(0, prefix.size()), prefix);
        return text.substr(prefix.size());
    };
    EXPECT_EQ(reference("123"), "Volume: 12 Page: 3");
    EXPECT_EQ(reference("1 3"), "Volume: 1 Page: 3");
    EXPECT_EQ(reference("1234"), "Volume: 12 Page: 34");
    EXPECT_EQ(reference("12345678"), "Volume: 12 Page: 345,678");
    // Blanks at 2, 4, 5, 7 and 8 are dropped; at 3 and 6 they are written.
    EXPECT_EQ(reference("A B  C  "), "Volume: A Page: B,C");
    EXPECT_EQ(reference("12 45678"), "Volume: 12 Page:  45,678");
    EXPECT_EQ(reference("12345 78"), "Volume: 12 Page: 345, 78");
    EXPECT_EQ(reference("123456"), "Volume: 12 Page: 345,6");
    // Other lengths are written as they stand, and nothing past the field is read.
    EXPECT_EQ(reference("12"), "12");
    EXPECT_EQ(reference("7"), "7");
    EXPECT_EQ(reference("123456789"), "123456789");
    EXPECT_EQ(FullText(9, F("J") + F("12") + F("9") + "\n"), prefix + "12, 9");
    EXPECT_EQ(reference(""), "");
}

TEST(FullTextTest, PassengerListShowsOnlySurvival) {
    EXPECT_EQ(FullText(3, F("3") + F("1st") + "\n"), "Survived: " + kCRLF + "Yes");
    EXPECT_EQ(FullText(3, F("2") + F("1st") + "\n"), "Survived: " + kCRLF + "No");
    EXPECT_EQ(FullText(3, ""), "Survived: " + kCRLF + "No");
}

TEST(FullTextTest, EmptyRecordsAndUnknownCodes) {
    EXPECT_EQ(FullText(1, ""), "");
    EXPECT_EQ(FullText(9, ""), "");
    EXPECT_EQ(FullText(0, F("a") + F("b") + "\n"), "");
    EXPECT_EQ(FullText(-1, F("a") + "\n"), "");
    EXPECT_EQ(FullText(15, F("a") + "\n"), "");
}

TEST(FullTextTest, UnclosedLastFieldStopsAtTheEndOfTheRecord) {
    const std::string expected = "Middle Name: " + kCRLF + "Allen, Sgt";
    EXPECT_EQ(FullText(12, F("Allen") + "Sgt"), expected);
    EXPECT_EQ(FullText(12, F("Allen") + "Sgt\n"), expected);
    EXPECT_EQ(FullText(12, F("Allen") + F("Sgt")), expected);
}

TEST(FullTextTest, FieldsBeyondTheLabelTableAreNotShown) {
    // Prisoners of war use 17 slots; fields 17 to 24 have no label.
    std::string record;
    for (int i = 0; i < 25; ++i) record += F("f" + std::to_string(i));
    const std::string text = FullText(10, record + "\n");
    EXPECT_NE(text.find("Closed: " + kCRLF + "f16" + kPara), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 7), "f16" + kPara);
    EXPECT_EQ(text.find("f17"), std::string::npos);
    EXPECT_EQ(text.find("f20"), std::string::npos);

    // The roll stops at its end mark: no label made of it, nor the fields behind it.
    std::string roll = F("J");
    for (int i = 1; i < 15; ++i) roll += F("12345");
    roll += F("99999") + F("88888");
    const std::string rollText = FullText(9, roll + "\n");
    EXPECT_EQ(rollText.find('\xFF'), std::string::npos);
    EXPECT_EQ(rollText.find("99"), std::string::npos);
    EXPECT_EQ(rollText.substr(rollText.size() - 127), record_format::kFootnote);
}

TEST(FullTextTest, LongTextIsCutAtTheBuffer) {
    // 17 fields of 280 characters with blanks: the labels and line breaks
    // carry the text past 4999 characters.
    std::string field;
    while (field.size() < 280) field += "word ";
    field.resize(280);
    std::string record;
    for (int i = 0; i < 17; ++i) record += F(field);
    record += "\n";
    ASSERT_LT(record.size(), 5000u);
    std::vector<char> out(record_format::kTextSize + 64, '#');
    const std::size_t length =
        record_format::BuildFullText(10, record.c_str(), out.data(), record_format::kTextSize);
    EXPECT_EQ(length, record_format::kTextSize - 1);
    EXPECT_EQ(out[record_format::kTextSize - 1], '\0');
    for (std::size_t i = record_format::kTextSize; i < out.size(); ++i) ASSERT_EQ(out[i], '#');
    EXPECT_EQ(std::string(out.data(), 18), "Middle Initial: " + kCRLF);

    // A tiny buffer takes what fits.
    char small[8];
    EXPECT_EQ(record_format::BuildFullText(10, record.c_str(), small, sizeof small), 7u);
    EXPECT_STREQ(small, "Middle ");
}

TEST(LabelTableTest, TablesMatchTheirDatabases) {
    ASSERT_NE(record_format::LabelTableOf(0), nullptr);
    EXPECT_EQ(record_format::LabelTableOf(15), nullptr);
    EXPECT_EQ(record_format::LabelTableOf(-1), nullptr);
    for (int k = 0; k < record_format::kSlotCount; ++k) {
        EXPECT_EQ((*record_format::LabelTableOf(0))[k][0], '\0');
        // The two generals' tables and the three Medal of Honor tables agree.
        EXPECT_STREQ((*record_format::LabelTableOf(1))[k], (*record_format::LabelTableOf(4))[k]);
        EXPECT_STREQ((*record_format::LabelTableOf(5))[k], (*record_format::LabelTableOf(6))[k]);
        EXPECT_STREQ((*record_format::LabelTableOf(5))[k], (*record_format::LabelTableOf(7))[k]);
    }
    const auto& roll = *record_format::LabelTableOf(9);
    for (int k = 2; k <= 14; ++k) EXPECT_STREQ(roll[k], ",");
    EXPECT_STREQ(roll[15], "\xFF");
    EXPECT_EQ(roll[16][0], '\0');
    EXPECT_STREQ((*record_format::LabelTableOf(10))[16], "Closed: ");
    EXPECT_STREQ((*record_format::LabelTableOf(14))[6], "Microfilm Reference");
    EXPECT_EQ((*record_format::LabelTableOf(2))[3][0], '\0');
    EXPECT_STREQ((*record_format::LabelTableOf(2))[8], "Date of Issue: ");
    EXPECT_STREQ((*record_format::LabelTableOf(7))[7], "Born: ");
}

std::string Title(const std::string& row) {
    char out[kTitleWorkSize + 2];
    BuildMoreInfoTitle(row.c_str(), out, sizeof out);
    return out;
}

TEST(MoreInfoTitleTest, PiecesAndTrimming) {
    EXPECT_EQ(Title("SMITH\tJohn Henry    \tJ, Ohio, PFC"), "SMITH, John Henry");
    EXPECT_EQ(Title("SMITH   \t  John  \tx"), "SMITH,   John");
    // An empty given-names column: the summary is the second piece.
    EXPECT_EQ(Title("SMITH\t\tJ, Ohio,  "), "SMITH, J, Ohio,");
    EXPECT_EQ(Title("SMITH"), "SMITH,");
    EXPECT_EQ(Title(""), ",");
    EXPECT_EQ(Title("\t\tSMITH\tJo"), "SMITH, Jo");
}

TEST(MoreInfoTitleTest, LongRowIsCutAtTheWorkingCopy) {
    const std::string names(300, 'n');
    const std::string title = Title("SMITH\t" + names + "\tsummary");
    // 255 characters of row text: SMITH, the tab and 249 letters.
    EXPECT_EQ(title, "SMITH, " + std::string(249, 'n'));
    char small[6];
    BuildMoreInfoTitle("SMITH\tJohn\tx", small, sizeof small);
    EXPECT_STREQ(small, "SMITH");
}

}  // namespace
