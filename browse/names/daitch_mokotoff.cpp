#include "browse/names/daitch_mokotoff.h"

#include <array>

#include "browse/names/name_letters.h"

namespace {

// Where a letter group stands, which chooses its code.
enum Context : int { kAtStart = 0, kBeforeVowel = 1, kElsewhere = 2 };

// One row of the coding chart: the letters, their code in each context
// ("" where they are not coded) and, for the letters that sound two ways,
// their second coding (null where there is none).
struct Rule {
    const char* letters;
    const char* codes[3];
    const char* second[3];
};

// Gary Mokotoff's chart as published by Avotaynu and JewishGen, grouped by
// first letter and longest first within a group, so that the first row that
// matches is the longest. The chart's Polish and Romanian letters (Ą, Ę, Ţ)
// are not in Windows-1252 and not here.
constexpr Rule kRules[] = {
    {"AI", {"0", "1", ""}, {}},
    {"AJ", {"0", "1", ""}, {}},
    {"AY", {"0", "1", ""}, {}},
    {"AU", {"0", "7", ""}, {}},
    {"A", {"0", "", ""}, {}},
    {"B", {"7", "7", "7"}, {}},
    {"CHS", {"5", "54", "54"}, {}},
    {"CSZ", {"4", "4", "4"}, {}},
    {"CZS", {"4", "4", "4"}, {}},
    {"CH", {"5", "5", "5"}, {"4", "4", "4"}},     // KH or TCH
    {"CK", {"5", "5", "5"}, {"45", "45", "45"}},  // K or TSK
    {"CZ", {"4", "4", "4"}, {}},
    {"CS", {"4", "4", "4"}, {}},
    {"C", {"5", "5", "5"}, {"4", "4", "4"}},  // K or TZ
    {"DRZ", {"4", "4", "4"}, {}},
    {"DRS", {"4", "4", "4"}, {}},
    {"DSH", {"4", "4", "4"}, {}},
    {"DSZ", {"4", "4", "4"}, {}},
    {"DZH", {"4", "4", "4"}, {}},
    {"DZS", {"4", "4", "4"}, {}},
    {"DS", {"4", "4", "4"}, {}},
    {"DZ", {"4", "4", "4"}, {}},
    {"DT", {"3", "3", "3"}, {}},
    {"D", {"3", "3", "3"}, {}},
    {"EI", {"0", "1", ""}, {}},
    {"EJ", {"0", "1", ""}, {}},
    {"EY", {"0", "1", ""}, {}},
    {"EU", {"1", "1", ""}, {}},
    {"E", {"0", "", ""}, {}},
    {"FB", {"7", "7", "7"}, {}},
    {"F", {"7", "7", "7"}, {}},
    {"G", {"5", "5", "5"}, {}},
    {"H", {"5", "5", ""}, {}},
    {"IA", {"1", "", ""}, {}},
    {"IE", {"1", "", ""}, {}},
    {"IO", {"1", "", ""}, {}},
    {"IU", {"1", "", ""}, {}},
    {"I", {"0", "", ""}, {}},
    {"J", {"1", "", ""}, {"4", "4", "4"}},  // Y or DZH
    {"KH", {"5", "5", "5"}, {}},
    {"KS", {"5", "54", "54"}, {}},
    {"K", {"5", "5", "5"}, {}},
    {"L", {"8", "8", "8"}, {}},
    {"MN", {"66", "66", "66"}, {}},  // M and N coded apart, unlike other neighbours of one code
    {"M", {"6", "6", "6"}, {}},
    {"NM", {"66", "66", "66"}, {}},
    {"N", {"6", "6", "6"}, {}},
    {"OI", {"0", "1", ""}, {}},
    {"OJ", {"0", "1", ""}, {}},
    {"OY", {"0", "1", ""}, {}},
    {"O", {"0", "", ""}, {}},
    {"PF", {"7", "7", "7"}, {}},
    {"PH", {"7", "7", "7"}, {}},
    {"P", {"7", "7", "7"}, {}},
    {"Q", {"5", "5", "5"}, {}},
    {"RS", {"94", "94", "94"}, {"4", "4", "4"}},  // RTSH or ZH
    {"RZ", {"94", "94", "94"}, {"4", "4", "4"}},
    {"R", {"9", "9", "9"}, {}},
    {"SCHTSCH", {"2", "4", "4"}, {}},
    {"SCHTSH", {"2", "4", "4"}, {}},
    {"SCHTCH", {"2", "4", "4"}, {}},
    {"SHTCH", {"2", "4", "4"}, {}},
    {"SHTSH", {"2", "4", "4"}, {}},
    {"STSCH", {"2", "4", "4"}, {}},
    {"SCHT", {"2", "43", "43"}, {}},
    {"SCHD", {"2", "43", "43"}, {}},
    {"SHCH", {"2", "4", "4"}, {}},
    {"STCH", {"2", "4", "4"}, {}},
    {"STRZ", {"2", "4", "4"}, {}},
    {"STRS", {"2", "4", "4"}, {}},
    {"STSH", {"2", "4", "4"}, {}},
    {"SZCZ", {"2", "4", "4"}, {}},
    {"SZCS", {"2", "4", "4"}, {}},
    {"SCH", {"4", "4", "4"}, {}},
    {"SHT", {"2", "43", "43"}, {}},
    {"SZT", {"2", "43", "43"}, {}},
    {"SHD", {"2", "43", "43"}, {}},
    {"SZD", {"2", "43", "43"}, {}},
    {"SH", {"4", "4", "4"}, {}},
    {"SC", {"2", "4", "4"}, {}},
    {"ST", {"2", "43", "43"}, {}},
    {"SD", {"2", "43", "43"}, {}},
    {"SZ", {"4", "4", "4"}, {}},
    {"S", {"4", "4", "4"}, {}},
    {"TTSCH", {"4", "4", "4"}, {}},
    {"TSCH", {"4", "4", "4"}, {}},
    {"TTCH", {"4", "4", "4"}, {}},
    {"TTSZ", {"4", "4", "4"}, {}},
    {"TCH", {"4", "4", "4"}, {}},
    {"TRZ", {"4", "4", "4"}, {}},
    {"TRS", {"4", "4", "4"}, {}},
    {"TSH", {"4", "4", "4"}, {}},
    {"TTS", {"4", "4", "4"}, {}},
    {"TTZ", {"4", "4", "4"}, {}},
    {"TZS", {"4", "4", "4"}, {}},
    {"TSZ", {"4", "4", "4"}, {}},
    {"TH", {"3", "3", "3"}, {}},
    {"TS", {"4", "4", "4"}, {}},
    {"TC", {"4", "4", "4"}, {}},
    {"TZ", {"4", "4", "4"}, {}},
    {"T", {"3", "3", "3"}, {}},
    {"UI", {"0", "1", ""}, {}},
    {"UJ", {"0", "1", ""}, {}},
    {"UY", {"0", "1", ""}, {}},
    {"UE", {"0", "", ""}, {}},
    {"U", {"0", "", ""}, {}},
    {"V", {"7", "7", "7"}, {}},
    {"W", {"7", "7", "7"}, {}},
    {"X", {"5", "54", "54"}, {}},
    {"Y", {"1", "", ""}, {}},
    {"ZHDZH", {"2", "4", "4"}, {}},
    {"ZDZH", {"2", "4", "4"}, {}},
    {"ZSCH", {"4", "4", "4"}, {}},
    {"ZDZ", {"2", "4", "4"}, {}},
    {"ZHD", {"2", "43", "43"}, {}},
    {"ZSH", {"4", "4", "4"}, {}},
    {"ZD", {"2", "43", "43"}, {}},
    {"ZH", {"4", "4", "4"}, {}},
    {"ZS", {"4", "4", "4"}, {}},
    {"Z", {"4", "4", "4"}, {}},
};
constexpr std::size_t kRuleCount = sizeof kRules / sizeof kRules[0];

constexpr std::size_t Length(const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}

// The rows of each first letter: kRules[begin] up to kRules[end].
struct RuleRange {
    std::size_t begin;
    std::size_t end;
};

constexpr std::array<RuleRange, 26> BuildRuleIndex() {
    std::array<RuleRange, 26> index{};
    for (std::size_t i = 0; i < kRuleCount; ++i) {
        RuleRange& range = index[static_cast<std::size_t>(kRules[i].letters[0] - 'A')];
        if (range.end == 0) range.begin = i;
        range.end = i + 1;
    }
    return index;
}
constexpr std::array<RuleRange, 26> kRuleIndex = BuildRuleIndex();

// The matching relies on it: each letter's rows are together, longest first,
// and end with the letter alone, so that some row always matches.
constexpr bool RulesAreOrdered() {
    for (std::size_t letter = 0; letter < 26; ++letter) {
        const RuleRange range = kRuleIndex[letter];
        if (range.end == 0) return false;
        for (std::size_t i = range.begin; i < range.end; ++i) {
            if (static_cast<std::size_t>(kRules[i].letters[0] - 'A') != letter) return false;
            if (i + 1 < range.end && Length(kRules[i].letters) < Length(kRules[i + 1].letters)) return false;
        }
        if (Length(kRules[range.end - 1].letters) != 1) return false;
    }
    return true;
}
static_assert(RulesAreOrdered(), "kRules must be grouped by first letter, longest first");

// The first digits (as bits) that a name can start with, by its first letter
// and its second (index 26 when the second is not known): those of the start
// codes of the rows that can match there, second codings included.
using StartDigitTable = std::array<std::array<unsigned, 27>, 26>;

constexpr StartDigitTable BuildStartDigits() {
    StartDigitTable digits{};
    for (const Rule& rule : kRules) {
        unsigned bits = 0;
        for (const char* code : {rule.codes[kAtStart], rule.second[kAtStart]}) {
            if (code != nullptr && code[0] != '\0') bits |= 1u << (code[0] - '0');
        }
        std::array<unsigned, 27>& row = digits[static_cast<std::size_t>(rule.letters[0] - 'A')];
        if (rule.letters[1] == '\0') {
            for (unsigned& cell : row) cell |= bits;
        } else {
            row[static_cast<std::size_t>(rule.letters[1] - 'A')] |= bits;
            row[26] |= bits;
        }
    }
    return digits;
}
constexpr StartDigitTable kStartDigits = BuildStartDigits();

// The letters of a name, read from it only as far as the coding looks: most
// index keys part from the typed codes after a group or two.
class CLetterWindow {
public:
    explicit CLetterWindow(std::string_view name) : reader_(name) {}

    // True when the name has a letter at index (reading up to it); letters
    // past kMaxLetters are not read.
    bool Has(std::size_t index) {
        while (count_ <= index && !ended_) {
            const char letter = count_ < DmCodeSet::kMaxLetters ? reader_.Next() : '\0';
            if (letter == '\0') {
                ended_ = true;
            } else {
                letters_[count_++] = letter;
            }
        }
        return index < count_;
    }
    // A letter that Has found.
    char operator[](std::size_t index) const { return letters_[index]; }

private:
    name_letters::CLetterReader reader_;
    char letters_[DmCodeSet::kMaxLetters];
    std::size_t count_ = 0;
    bool ended_ = false;
};

bool IsVowel(char letter) {
    return letter == 'A' || letter == 'E' || letter == 'I' || letter == 'O' || letter == 'U';
}

// The longest row that matches the window's letters from at on (there is a
// letter at at); sets length to its letters.
const Rule& RuleAt(CLetterWindow& window, std::size_t at, std::size_t& length) {
    const RuleRange range = kRuleIndex[static_cast<std::size_t>(window[at] - 'A')];
    for (std::size_t i = range.begin; i < range.end; ++i) {
        const char* pattern = kRules[i].letters;
        std::size_t k = 1;  // the first letter matches by the index
        while (pattern[k] != '\0' && window.Has(at + k) && window[at + k] == pattern[k]) ++k;
        if (pattern[k] == '\0') {
            length = k;
            return kRules[i];
        }
    }
    length = 1;  // not reached: every group ends with the letter alone
    return kRules[range.end - 1];
}

// A code of one group, its one or two digits packed; 0 when not coded.
std::uint16_t PackCode(const char* code) {
    if (code[0] == '\0') return 0;
    return static_cast<std::uint16_t>(static_cast<unsigned char>(code[0]) << 8 |
                                      static_cast<unsigned char>(code[1]));
}

// One way of reading the name so far: its code so far padded with zeros,
// the place value of its next digit (1000000 / 10^digits, 1 when full) and
// the code of the group just before (0 when that group was not coded).
struct Branch {
    std::uint32_t code;
    std::uint32_t step;
    std::uint16_t last;

    bool Full() const { return step == 1; }
    bool SameAs(const Branch& other) const {
        // Once full, the digits are all that is left to tell branches apart.
        return code == other.code && step == other.step && (Full() || last == other.last);
    }
    // A code of wanted may still come of it: one that starts with its digits.
    bool CanEndIn(const DmCodeSet& wanted) const {
        for (int i = 0; i < wanted.count; ++i) {
            if (wanted.codes[i] >= code && wanted.codes[i] - code < step) return true;
        }
        return false;
    }

    void Append(const char* digits) {
        const std::uint16_t packed = PackCode(digits);
        if (packed != 0 && packed == last) return;  // the same sound as the group before: coded once
        for (const char* digit = digits; *digit != '\0' && !Full(); ++digit) {
            step /= 10;
            code += static_cast<std::uint32_t>(*digit - '0') * step;
        }
        last = packed;  // an uncoded group leaves 0, which parts the groups around it
    }
};

// Drops branches that read like an earlier one, and with wanted those that
// cannot end in one of its codes; returns how many are left.
int KeepDistinct(Branch* branches, int count, const DmCodeSet* wanted) {
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        bool keep = wanted == nullptr || branches[i].CanEndIn(*wanted);
        for (int j = 0; keep && j < kept; ++j) keep = !branches[j].SameAs(branches[i]);
        if (keep) branches[kept++] = branches[i];
    }
    return kept;
}

}  // namespace

void DaitchMokotoffOf(std::string_view name, DmCodeSet& codes, const DmCodeSet* wanted) {
    codes.count = 0;
    CLetterWindow window(name);
    if (!window.Has(0)) return;

    Branch branches[DmCodeSet::kCapacity];
    branches[0] = {0, 1000000, 0};
    int branchCount = 1;
    for (std::size_t at = 0; window.Has(at);) {
        std::size_t length = 0;
        const Rule& rule = RuleAt(window, at, length);
        const std::size_t next = at + length;
        const Context context = at == 0                                     ? kAtStart
                                : window.Has(next) && IsVowel(window[next]) ? kBeforeVowel
                                                                            : kElsewhere;
        int total = branchCount;
        if (rule.second[context] != nullptr) {
            // Each branch so far splits in two; past the capacity the second coding is left out.
            for (int i = 0; i < branchCount && total < DmCodeSet::kCapacity; ++i) {
                branches[total] = branches[i];
                branches[total++].Append(rule.second[context]);
            }
        }
        for (int i = 0; i < branchCount; ++i) branches[i].Append(rule.codes[context]);
        branchCount = KeepDistinct(branches, total, wanted);
        if (branchCount == 0) return;

        bool allFull = true;
        for (int i = 0; i < branchCount && allFull; ++i) allFull = branches[i].Full();
        if (allFull) break;
        at = next;
    }
    for (int i = 0; i < branchCount; ++i) {
        const std::uint32_t code = branches[i].code;
        if ((wanted == nullptr || wanted->Contains(code)) && !codes.Contains(code)) {
            codes.codes[codes.count++] = code;
        }
    }
}

CDaitchMokotoffQuery::CDaitchMokotoffQuery(std::string_view typed) {
    DaitchMokotoffOf(typed, codes_);
    unsigned typedFirstDigits = 0;
    for (int i = 0; i < codes_.count; ++i) typedFirstDigits |= 1u << (codes_.codes[i] / 100000);
    for (std::size_t first = 0; first < 26; ++first) {
        for (std::size_t second = 0; second < 27; ++second) {
            mayStart_[first][second] = (kStartDigits[first][second] & typedFirstDigits) != 0;
        }
    }
}

bool CDaitchMokotoffQuery::CodeIsShared(std::string_view name) const {
    DmCodeSet shared;
    DaitchMokotoffOf(name, shared, &codes_);
    return shared.count > 0;
}

std::vector<std::string> DaitchMokotoffCodes(std::string_view name) {
    DmCodeSet set;
    DaitchMokotoffOf(name, set);
    std::vector<std::string> codes;
    for (int i = 0; i < set.count; ++i) {
        char text[7];
        std::uint32_t value = set.codes[i];
        for (int digit = 5; digit >= 0; --digit) {
            text[digit] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
        text[6] = '\0';
        codes.emplace_back(text);
    }
    return codes;
}
