#include "browse/names/american_soundex.h"

#include "browse/names/name_letters.h"

using name_letters::CLetterReader;

namespace {

// Code of each letter A-Z: a digit; '0' for A E I O U Y, which part two
// letters of the same code; '-' for H and W, which do not.
constexpr char kLetterCode[26] = {'0', '1', '2', '3', '0', '1', '2', '-', '0', '2', '2', '4', '5',
                                  '5', '0', '1', '2', '6', '2', '3', '0', '1', '-', '2', '0', '2'};

constexpr char CodeOf(char letter) { return kLetterCode[letter - 'A']; }

constexpr std::uint32_t Pack(char letter, const char digits[3]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(letter)) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(digits[0])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(digits[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(digits[2]));
}

constexpr char FirstLetterOf(std::uint32_t code) { return static_cast<char>(code >> 24); }

constexpr char DigitOf(std::uint32_t code, int index) {
    return static_cast<char>(code >> (16 - 8 * index) & 0xFF);
}

// The code of a name whose first letter, first, the reader has just given.
// With wanted, 0 as soon as the digits so far show that the code is none of
// wanted's: most names that start with the right letter end there.
std::uint32_t CodeFrom(char first, CLetterReader& reader, const SoundexCodeSet* wanted = nullptr) {
    unsigned candidates = 0;  // bit i: wanted->codes[i] may still be the code
    if (wanted != nullptr) {
        for (int i = 0; i < wanted->count; ++i) {
            if (FirstLetterOf(wanted->codes[i]) == first) candidates |= 1u << i;
        }
        if (candidates == 0) return 0;
    }
    char digits[3] = {'0', '0', '0'};
    int count = 0;
    char previous = CodeOf(first);  // the first letter's code is not repeated after it
    while (count < 3) {
        const char letter = reader.Next();
        if (letter == '\0') break;
        const char code = CodeOf(letter);
        if (code == '-') continue;  // H and W leave previous as it is
        if (code != '0' && code != previous) {
            if (wanted != nullptr) {
                for (int i = 0; i < wanted->count; ++i) {
                    if (DigitOf(wanted->codes[i], count) != code) candidates &= ~(1u << i);
                }
                if (candidates == 0) return 0;
            }
            digits[count++] = code;
        }
        previous = code;
    }
    return Pack(first, digits);
}

bool IsApostrophe(char byte) { return byte == '\'' || byte == '\x92'; }  // ' and the typographic one

bool IsPrefixWord(const char* word, std::size_t length) {
    static constexpr const char* kPrefixes[] = {"VAN", "VON", "CON", "DE", "DI", "DU", "LA", "LE", "DELA"};
    for (const char* prefix : kPrefixes) {
        std::size_t i = 0;
        while (i < length && prefix[i] == word[i]) ++i;
        if (i == length && prefix[i] == '\0') return true;
    }
    return false;
}

constexpr std::size_t kNoPrefix = std::string_view::npos;

// Where name goes on after a prefix that is coded both ways, or kNoPrefix.
// Leading blanks are passed over; the prefix word is compared by its letters,
// so "DÉ" is "DE". Called for many index keys, so the bytes are looked at
// only as far as a prefix can reach.
std::size_t RestAfterPrefix(std::string_view name) {
    std::size_t start = 0;
    while (start < name.size() && name[start] == ' ') ++start;
    // A prefix word has at most four letters: its blank, or the apostrophe of D', comes within five bytes.
    const std::size_t limit = name.size() - start < 5 ? name.size() : start + 5;
    std::size_t end = start;
    while (end < limit && name[end] != ' ' && !IsApostrophe(name[end])) ++end;
    if (end == limit) return kNoPrefix;
    if (IsApostrophe(name[end])) {
        const bool isD = end == start + 1 && name_letters::LettersOf(name[start]).first == 'D';
        return isD && name_letters::HasLetter(name.substr(end + 1)) ? end + 1 : kNoPrefix;
    }
    char word[4];
    const std::size_t length = end - start;
    for (std::size_t i = 0; i < length; ++i) {
        const name_letters::Letters letters = name_letters::LettersOf(name[start + i]);
        if (letters.first == '\0' || letters.second != '\0') return kNoPrefix;  // no prefix has these
        word[i] = letters.first;
    }
    if (!IsPrefixWord(word, length)) return kNoPrefix;
    return name_letters::HasLetter(name.substr(end + 1)) ? end + 1 : kNoPrefix;
}

// Every prefix starts with one of these.
bool CanHavePrefix(char firstLetter) {
    return firstLetter == 'C' || firstLetter == 'D' || firstLetter == 'L' || firstLetter == 'V';
}

// Codes the name after its prefix, which the caller has found to hold a letter.
std::uint32_t CodeOfRest(std::string_view name, std::size_t rest, const SoundexCodeSet* wanted = nullptr) {
    CLetterReader reader(name.substr(rest));
    const char first = reader.Next();
    return CodeFrom(first, reader, wanted);
}

}  // namespace

SoundexCodeSet AmericanSoundexOf(std::string_view name) {
    SoundexCodeSet set{{0, 0}, 0};
    CLetterReader reader(name);
    const char first = reader.Next();
    if (first == '\0') return set;
    set.codes[set.count++] = CodeFrom(first, reader);
    const std::size_t rest = RestAfterPrefix(name);
    if (rest != kNoPrefix) {
        const std::uint32_t withoutPrefix = CodeOfRest(name, rest);
        if (withoutPrefix != set.codes[0]) set.codes[set.count++] = withoutPrefix;
    }
    return set;
}

CAmericanSoundexQuery::CAmericanSoundexQuery(std::string_view typed) : codes_(AmericanSoundexOf(typed)) {
    for (int byte = 0; byte < 256; ++byte) {
        const char first = name_letters::LettersOf(static_cast<char>(byte)).first;
        bool startsCode = first == '\0';
        for (int i = 0; i < codes_.count; ++i)
            startsCode = startsCode || FirstLetterOf(codes_.codes[i]) == first;
        unsigned char bits = 0;
        if (codes_.count > 0 && startsCode) bits |= kMayStartCode;
        if (codes_.count > 0 && CanHavePrefix(first)) bits |= kMayStartPrefix;
        start_[byte] = bits;
    }
}

bool CAmericanSoundexQuery::MayBeginWith(unsigned char first, unsigned char second) const {
    if ((start_[first] & kMayStartCode) != 0) return true;
    if ((start_[first] & kMayStartPrefix) == 0) return false;
    const name_letters::Letters letters = name_letters::LettersOf(static_cast<char>(first));
    const char next =
        letters.second != '\0' ? letters.second : name_letters::LettersOf(static_cast<char>(second)).first;
    // A byte that is no letter (D', a blank, a sign) is left to the whole test.
    if (next == '\0') return true;
    switch (letters.first) {
        case 'V':  // Van, Von
            return next == 'A' || next == 'O';
        case 'C':  // Con
            return next == 'O';
        case 'D':  // De, Dela, Di, Du
            return next == 'E' || next == 'I' || next == 'U';
        case 'L':  // La, Le
            return next == 'A' || next == 'E';
        default:
            return true;
    }
}

bool CAmericanSoundexQuery::CodeIsShared(std::string_view name) const {
    CLetterReader reader(name);
    const char first = reader.Next();
    if (first == '\0') return false;
    if (codes_.Contains(CodeFrom(first, reader, &codes_))) return true;
    if (!CanHavePrefix(first)) return false;
    const std::size_t rest = RestAfterPrefix(name);
    return rest != kNoPrefix && codes_.Contains(CodeOfRest(name, rest, &codes_));
}

std::vector<std::string> AmericanSoundexCodes(std::string_view name) {
    const SoundexCodeSet set = AmericanSoundexOf(name);
    std::vector<std::string> codes;
    for (int i = 0; i < set.count; ++i) {
        const std::uint32_t code = set.codes[i];
        codes.push_back({static_cast<char>(code >> 24), static_cast<char>(code >> 16 & 0xFF),
                         static_cast<char>(code >> 8 & 0xFF), static_cast<char>(code & 0xFF)});
    }
    return codes;
}
