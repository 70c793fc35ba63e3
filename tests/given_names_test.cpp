// Given-name variants: the table compiled into the program (its groups,
// symmetric within a group and never across groups) and the first-name
// filter's variant test (variants, initials, abbreviations with and without
// the full stop, the rest of the typed text).

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "browse/names/given_name_filter.h"
#include "browse/names/given_name_table.h"

TEST(GivenNameTableTest, BuiltinTableHoldsSymmetricGroupsThatNeverMerge) {
    CGivenNameTable parsed;
    std::string error;
    ASSERT_TRUE(parsed.Parse(BuiltinGivenNameText(), &error)) << error;
    const CGivenNameTable& table = CGivenNameTable::Builtin();
    ASSERT_EQ(table.Groups().size(), parsed.Groups().size());
    std::set<std::string> names;
    for (const CGivenNameTable::Group& group : table.Groups()) {
        for (const CGivenNameTable::Name& a : group) {
            names.insert(a.text);
            for (const CGivenNameTable::Name& b : group) {
                ASSERT_TRUE(table.AreVariants(a.text, b.text)) << a.text << " " << b.text;
            }
        }
    }
    EXPECT_GE(table.Groups().size(), 300u);
    EXPECT_GE(names.size(), 1000u);

    struct Pair {
        const char* a;
        const char* b;
        bool variants;
    };
    const Pair pairs[] = {
        // Nicknames, spellings and the clerks' abbreviations, both ways.
        {"WILLIAM", "BILL", true},
        {"BILLY", "WILLIAM", true},
        {"WILL", "WILLIE", true},
        {"MARGARET", "PEGGY", true},
        {"MAGGIE", "MARGARET", true},
        {"MEG", "GRETA", true},
        {"JOHN", "JACK", true},
        {"JOHNNY", "JOHN", true},
        {"CATHERINE", "KATHRYN", true},
        {"KATHERINE", "CATH", true},
        {"WILLIAM", "WM", true},
        {"WILLM", "WILLIAM", true},
        {"JOHN", "JNO", true},
        {"JAMES", "JAS", true},
        {"THOMAS", "THOS", true},
        {"CHARLES", "CHAS", true},
        {"GEORGE", "GEO", true},
        {"SAMUEL", "SAML", true},
        {"BENJAMIN", "BENJ", true},
        {"RICHARD", "RICHD", true},
        {"ROBERT", "ROBT", true},
        {"EDWARD", "EDW", true},
        {"JOSEPH", "JOS", true},
        {"DANIEL", "DANL", true},
        {"NATHANIEL", "NATHL", true},
        {"ALEXANDER", "ALEXR", true},
        {"MARGARET", "MARGT", true},
        {"ELIZABETH", "ELIZ", true},
        {"CHRISTOPHER", "XPHER", true},
        {"HENRY", "HY", true},
        // A shared nickname joins neither group to the other.
        {"AL", "ALBERT", true},
        {"AL", "ALFRED", true},
        {"ALBERT", "ALFRED", false},
        {"JOS", "JOSIAH", true},
        {"JOSEPH", "JOSIAH", false},
        {"NELL", "HELEN", true},
        {"HELEN", "ELEANOR", false},
        {"FRAN", "FRANCES", true},
        {"FRANCIS", "FRANCES", false},
        // Near in spelling, different names.
        {"JOHN", "JOAN", false},
        {"WILLIAM", "WILBUR", false},
        {"HENRY", "HARVEY", false},
        {"NATHAN", "NATHANIEL", false},
        {"LOUIS", "LOUISA", false},
        {"JOSEPH", "JOSEPHINE", false},
        {"BILL", "BILBO", false},
        {"SMITH", "SMITH", true},  // a name not in the table is itself only
    };
    for (const Pair& pair : pairs) {
        EXPECT_EQ(table.AreVariants(pair.a, pair.b), pair.variants) << pair.a << " " << pair.b;
        EXPECT_EQ(table.AreVariants(pair.b, pair.a), pair.variants) << pair.b << " " << pair.a;
    }
    EXPECT_EQ(table.VariantsOf("SMITH"), std::vector<std::string>{"SMITH"});
}

TEST(GivenNameTableTest, ParseNamesTheFaultyLine) {
    const struct {
        const char* text;
        const char* error;  // nullptr: accepted
    } cases[] = {
        {"# comment\n\nWILLIAM | BILL | WM\n", nullptr},
        {"JOHN\n", nullptr},
        {"JOHN | JACK\nMARY | POLLY | MY | X\n", "line 2: more than three fields"},
        {"JOHN | Jack\n", "line 1: a name holds 'a'; only A to Z"},
        {"\nJOHN. | JACK\n", "line 2: a name holds '.'; only A to Z"},
        {"| JACK | JNO\n", "line 1: the line names no given name first"},
    };
    for (const auto& c : cases) {
        CGivenNameTable table;
        std::string error;
        EXPECT_EQ(table.Parse(c.text, &error), c.error == nullptr) << c.text;
        if (c.error != nullptr) {
            EXPECT_EQ(error, c.error);
        }
    }
}

TEST(GivenNameFilterTest, VariantsInitialsAbbreviationsAndTheRestOfTheTypedText) {
    const struct {
        const char* typed;
        const char* given;
        bool matches;
    } cases[] = {
        {"BILL", "William Henry", true},
        {"WILLIAM", "Bill", true},
        {"WILLIAM", "Wm", true},
        {"WILLIAM", "Wm.", true},  // the full stop of an abbreviation
        {"WM.", "William", true},
        {"WM", "Willm. Henry", true},
        {"JNO", "John", true},
        {"THOMAS", "Thos.", true},
        {"PEGGY", "MARGARET ANN", true},
        {"MARGARET", "Greta", true},
        // The initial alone, with or without its full stop.
        {"WILLIAM", "W.", true},
        {"WILLIAM", "W H", true},
        {"BILL", "B.", true},
        {"WILLIAM", "Wh.", false},
        {"WILLIAM", "B.", false},  // another name's initial
        // Near names are not variants; the first given name decides.
        {"JOHN", "Joan", false},
        {"WILLIAM", "Wilbur", false},
        {"HENRY", "Harvey", false},
        {"ALBERT", "Alfred", false},
        {"AL", "Alfred", true},
        {"BILL", "Henry William", false},
        // The rest typed must begin the rest of the given names.
        {"BILL H", "William Henry", true},
        {"BILL  HENRY   ", "William  Henry", true},
        {"BILL HENRY", "William H.", false},
        {"BILL H", "William Ambrose", false},
        {"BILL H", "William", false},
        {"WM. J. H", "William J. Harrison", true},
        // Letters read as the surname matching reads them.
        {"ANN", "\xc4nne", true},     // Änne
        {"ANN", "  Anne", true},      // blanks before the first name
        {"ANN", "Ann-Marie", false},  // ANNMARIE is no name of the table
        {"-", "William", false},      // nothing typed with a letter
        {"BILL", "", false},
    };
    for (const auto& c : cases) {
        const CGivenNameFilter filter(c.typed, CGivenNameTable::Builtin());
        EXPECT_EQ(filter.Matches(c.given, std::strlen(c.given)), c.matches) << c.typed << " / " << c.given;
    }
    // Given names end at the name width when they hold no NUL.
    const CGivenNameFilter bill("BILL", CGivenNameTable::Builtin());
    EXPECT_TRUE(bill.Matches("WILLIAMSON", 7));
    EXPECT_FALSE(bill.Matches("WILLIAMSON", 8));
}
