// The CSV reader and the UTF-8 / Windows-1252 conversion.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browse/names/name_letters.h"
#include "store/cp1252.h"
#include "store/csv_reader.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

struct Parsed {
    Rows rows;
    std::vector<long> lines;
    std::string error;
    long errorLine = 0;
};

Parsed ParseAll(const std::string& text) {
    Parsed parsed;
    CCsvReader reader(text);
    std::vector<std::string> fields;
    for (int guard = 0; guard < 1000; ++guard) {
        const CCsvReader::Result result = reader.Next(fields);
        if (result == CCsvReader::Result::End) break;
        if (result == CCsvReader::Result::Error) {
            parsed.error = reader.Error();
            parsed.errorLine = reader.Line();
            EXPECT_EQ(reader.Next(fields), CCsvReader::Result::Error) << "an error must stay";
            break;
        }
        parsed.rows.push_back(fields);
        parsed.lines.push_back(reader.Line());
    }
    return parsed;
}

TEST(CsvReader, QuotedFieldsHoldCommasQuotesAndLineEnds) {
    const Parsed parsed = ParseAll(
        "a,\"b,c\",\"say \"\"hi\"\"\"\n"
        "\"two\nlines\",\"\",x\r\n"
        "\"cr\r\nlf\",,\n"
        "last,row");
    EXPECT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.rows.size(), 4u);
    EXPECT_EQ(parsed.rows[0], (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(parsed.rows[1], (std::vector<std::string>{"two\nlines", "", "x"}));
    EXPECT_EQ(parsed.rows[2], (std::vector<std::string>{"cr\r\nlf", "", ""}));
    EXPECT_EQ(parsed.rows[3], (std::vector<std::string>{"last", "row"}));
    // A row begins on the line after the last line end of the row before it.
    EXPECT_EQ(parsed.lines, (std::vector<long>{1, 2, 4, 6}));
}

TEST(CsvReader, LineEndsByteOrderMarkAndEmptyLines) {
    const Parsed crlf = ParseAll("\xEF\xBB\xBFh1,h2\r\n\r\nx,y\r\n\r\n");
    ASSERT_EQ(crlf.rows.size(), 2u);
    EXPECT_EQ(crlf.rows[0], (std::vector<std::string>{"h1", "h2"}));
    EXPECT_EQ(crlf.rows[1], (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(crlf.lines, (std::vector<long>{1, 3}));

    CCsvReader withMark("\xEF\xBB\xBF\"q\"");
    std::vector<std::string> fields;
    ASSERT_EQ(withMark.Next(fields), CCsvReader::Result::Row);
    EXPECT_TRUE(withMark.HadByteOrderMark());
    EXPECT_EQ(fields,
              (std::vector<std::string>{"q"}));  // a quote right after the mark still opens a quoted field
    EXPECT_EQ(withMark.Next(fields), CCsvReader::Result::End);

    // Only a mark at the very start is dropped; bytes are passed on undecoded.
    const Parsed inside = ParseAll("a,\xEF\xBB\xBF\xE9\xFF\n");
    ASSERT_EQ(inside.rows.size(), 1u);
    EXPECT_EQ(inside.rows[0][1], "\xEF\xBB\xBF\xE9\xFF");

    EXPECT_TRUE(ParseAll("").rows.empty());
    EXPECT_TRUE(ParseAll("\n\r\n\n").rows.empty());
    const Parsed blanks = ParseAll(" ,\n");  // a blank is content, not an empty line
    ASSERT_EQ(blanks.rows.size(), 1u);
    EXPECT_EQ(blanks.rows[0], (std::vector<std::string>{" ", ""}));
}

TEST(CsvReader, MalformedTextIsAnErrorOnTheLineOfItsRow) {
    struct Case {
        const char* text;
        long line;
        const char* reason;
    };
    const Case cases[] = {
        {"h\nab\"c\n", 2, "quote inside an unquoted field"},
        {"h\n\"ab\"c,d\n", 2, "closing quote must be followed"},
        {"h\nok\n\"never\nclosed,\n", 3, "not closed"},
        {"h\nx\ry\n", 2, "carriage return"},
        {"h\nx\r", 2, "carriage return"},
        {"\"a\"\"\n", 1, "not closed"},
    };
    for (const Case& c : cases) {
        const Parsed parsed = ParseAll(c.text);
        EXPECT_NE(parsed.error.find(c.reason), std::string::npos) << c.text << " gave: " << parsed.error;
        EXPECT_EQ(parsed.errorLine, c.line) << c.text;
    }
}

TEST(Cp1252, EveryByteConvertsToUtf8AndBack) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        std::string back;
        std::string error;
        ASSERT_TRUE(cp1252::FromUtf8(cp1252::ToUtf8(one), back, &error)) << byte << ": " << error;
        EXPECT_EQ(back, one) << byte;
        EXPECT_EQ(cp1252::ByteOfCodePoint(cp1252::CodePointOfByte(static_cast<unsigned char>(byte))), byte);
    }
    EXPECT_EQ(cp1252::ToUtf8("\x80\x8A\x9F\xE9\xFF\x81"),
              "\xE2\x82\xAC\xC5\xA0\xC5\xB8\xC3\xA9\xC3\xBF\xC2\x81");
    std::string out = "keep:";
    ASSERT_TRUE(cp1252::FromUtf8("M\xC3\xBCller \xE2\x80\x94 \xE2\x82\xAC\xE2\x84\xA2", out));
    EXPECT_EQ(out, "keep:M\xFCller \x97 \x80\x99");
}

TEST(Cp1252, CharactersWithoutAFormAndMalformedUtf8AreRefused) {
    struct Case {
        const char* utf8;
        const char* reason;
    };
    const Case cases[] = {
        {"ok \xC4\x80", "U+0100 (\xC4\x80) has no Windows-1252 form"},
        {"\xC2\x80", "U+0080"},  // the C1 control whose byte is the euro sign
        {"\xF0\x9F\x98\x80", "U+1F600"},
        {"\xC5\x81"
         "ukasz",
         "U+0141"},
        {"\xC0\x80", "malformed UTF-8"},                              // overlong NUL
        {"\xE0\x80\xAF", "malformed UTF-8"},                          // overlong slash
        {"\xED\xA0\x80", "malformed UTF-8"},                          // surrogate
        {"\xF4\x90\x80\x80", "malformed UTF-8"},                      // beyond U+10FFFF
        {"ab\xE2\x82", "malformed UTF-8 (byte 0xE2 at position 3)"},  // cut short
        {"\x80", "malformed UTF-8"},
        {"\xE9t\xE9", "malformed UTF-8"},  // Windows-1252 bytes are not UTF-8
    };
    for (const Case& c : cases) {
        std::string out = "unchanged";
        std::string error;
        EXPECT_FALSE(cp1252::FromUtf8(c.utf8, out, &error)) << c.utf8;
        EXPECT_EQ(out, "unchanged");
        EXPECT_NE(error.find(c.reason), std::string::npos) << "got: " << error;
    }
}

TEST(Cp1252, TypedLettersWithoutAFormAreSearchedAsTheirNearestLetterOrRefused) {
    const struct {
        const char* utf8;
        const char* searched;  // nullptr: refused
        const char* said;      // the folding, or the refusal's reason
    } cases[] = {
        {"Wa\xC5\x82\xC4\x99sa", "Walesa", "\xC5\x82 as l, \xC4\x99 as e"},  // Wałęsa
        {"\xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         "L\xF3"
         "dz",
         "\xC5\x81 as L, \xC5\xBA as z"},                                            // Łódź: ó is its own
        {"Erd\xC5\x91s", "Erd\xF6s", "\xC5\x91 as \xC3\xB6"},                        // ő as ö
        {"\xC5\xB0", "\xDC", "\xC5\xB0 as \xC3\x9C"},                                // Ű as Ü
        {"\xC8\x98tef\xC4\x83nescu", "Stefanescu", "\xC8\x98 as S, \xC4\x83 as a"},  // Ștefănescu
        {"\xC4\x90uki\xC4\x87", "Dukic", "\xC4\x90 as D, \xC4\x87 as c"},            // Đukić
        {"Y\xC4\xB1lmaz \xC4\xB0nan", "Yilmaz Inan", "\xC4\xB1 as i, \xC4\xB0 as I"},  // Yılmaz İnan
        {"Nguy\xE1\xBB\x85n", "Nguy\xEAn", "\xE1\xBB\x85 as \xC3\xAA"},                // ễ as ê
        {"\xC5\x81\xC5\x82", "Ll", "\xC5\x81 as L, \xC5\x82 as l"},
        {"\xC5\x82\xC5\x82", "ll", "\xC5\x82 as l"},  // said once
        {"Ste\xCC\x81phane", "St\xE9phane", ""},      // é decomposed: Windows-1252's own é
        {"a\xCC\x82\xCC\x81", "\xE2", "a\xCC\x82\xCC\x81 as \xC3\xA2"},  // ấ decomposed
        {"M\xC3\xBCller", "M\xFCller", ""},
        {"\xD0\x96uk", nullptr, "U+0416 (\xD0\x96) has no Windows-1252 form and no Windows-1252 letter"},
        {"sm\xC5\x8Bth", nullptr, "U+014B"},  // ŋ: no plain base letter
        {"\xCC\x81"
         "a",
         nullptr, "U+0301"},                  // a mark before any letter
        {"q\xCC\x83", nullptr, "U+0303"},     // q and a tilde make no letter
        {"\xE2\x80\xBD", nullptr, "U+203D"},  // a sign
        {"ab\xE2\x82", nullptr, "malformed UTF-8"},
    };
    for (const auto& c : cases) {
        std::string out = "keep:";
        std::vector<cp1252::FoldedCharacter> folded;
        std::string error;
        const bool converted = cp1252::FromTypedUtf8(c.utf8, out, &folded, &error);
        ASSERT_EQ(converted, c.searched != nullptr) << c.utf8 << ": " << error;
        if (converted) {
            EXPECT_EQ(out, std::string("keep:") + c.searched) << c.utf8;
            EXPECT_EQ(cp1252::DescribeFolding(folded), c.said) << c.utf8;
        } else {
            EXPECT_EQ(out, "keep:");
            EXPECT_TRUE(folded.empty());
            EXPECT_NE(error.find(c.said), std::string::npos) << c.utf8 << ": " << error;
        }
    }
    // One character at a time, as the viewer asks.
    EXPECT_EQ(cp1252::SearchByteOfCodePoint(0x0142), 'l');
    EXPECT_EQ(cp1252::SearchByteOfCodePoint(0x00E9), 0xE9);
    EXPECT_EQ(cp1252::SearchByteOfCodePoint(0x20AC), 0x80);
    EXPECT_EQ(cp1252::SearchByteOfCodePoint(0x1E9E), 0xDF);  // ẞ as ß
    EXPECT_EQ(cp1252::SearchByteOfCodePoint(0x0416), -1);
    EXPECT_EQ(cp1252::SearchByteOfCodePoint(0x0301), -1);
    // Every letter the table folds lands on a Windows-1252 letter.
    for (char32_t cp = 0x100; cp < 0x2000; ++cp) {
        const int byte = cp1252::SearchByteOfCodePoint(cp);
        if (byte < 0 || cp1252::ByteOfCodePoint(cp) >= 0) continue;
        const std::string letter(1, static_cast<char>(byte));
        EXPECT_TRUE(name_letters::HasLetter(letter)) << std::hex << static_cast<unsigned>(cp);
    }
}

}  // namespace
