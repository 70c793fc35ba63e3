#include "browse/names/surname_match.h"

#include <cstring>

#include "store/ascii.h"

namespace {

struct ModeName {
    MatchMode mode;
    const char* name;
};

constexpr ModeName kModeNames[] = {{MatchMode::Exact, "exact"},       {MatchMode::Prefix, "prefix"},
                                   {MatchMode::Pattern, "pattern"},   {MatchMode::Soundex, "soundex"},
                                   {MatchMode::DaitchMokotoff, "dm"}, {MatchMode::Close, "close"}};

bool StartsWithUpper(std::string_view key, std::string_view upperPrefix) {
    if (key.size() < upperPrefix.size()) return false;
    for (std::size_t i = 0; i < upperPrefix.size(); ++i) {
        if (AsciiUpper(key[i]) != upperPrefix[i]) return false;
    }
    return true;
}

// The whole key against an upper-cased pattern. On a mismatch the last '*'
// takes one byte more and the rest is tried again, so the work is at most
// the product of the two lengths, never exponential.
bool MatchesPattern(std::string_view upperPattern, std::string_view key) {
    constexpr std::size_t kNoStar = std::string_view::npos;
    std::size_t p = 0;
    std::size_t k = 0;
    std::size_t star = kNoStar;
    std::size_t starKey = 0;
    while (k < key.size()) {
        if (p < upperPattern.size() && upperPattern[p] == '*') {
            star = p++;
            starKey = k;
        } else if (p < upperPattern.size() &&
                   (upperPattern[p] == '?' || upperPattern[p] == AsciiUpper(key[k]))) {
            ++p;
            ++k;
        } else if (star != kNoStar) {
            p = star + 1;
            k = ++starKey;
        } else {
            return false;
        }
    }
    while (p < upperPattern.size() && upperPattern[p] == '*') ++p;
    return p == upperPattern.size();
}

}  // namespace

bool ParseMatchMode(std::string_view name, MatchMode& mode) {
    for (const ModeName& entry : kModeNames) {
        if (name == entry.name) {
            mode = entry.mode;
            return true;
        }
    }
    return false;
}

const char* MatchModeName(MatchMode mode) {
    for (const ModeName& entry : kModeNames) {
        if (entry.mode == mode) return entry.name;
    }
    return "";
}

CSurnameMatcher::CSurnameMatcher(MatchMode mode, std::string_view typed)
    : mode_(mode),
      soundex_(mode == MatchMode::Soundex ? typed : std::string_view()),
      dm_(mode == MatchMode::DaitchMokotoff ? typed : std::string_view()),
      close_(mode == MatchMode::Close ? typed : std::string_view()) {
    switch (mode_) {
        case MatchMode::Exact: {
            // The search takes the text as a C string: a NUL ends it.
            const std::string_view text = typed.substr(0, typed.find('\0'));
            formsKey_ = text.size() <= kMaxKeySurname;
            if (!formsKey_) break;
            for (int code = catalogue::kFirstCode; code <= catalogue::kLastCode; ++code) {
                char* key = keys_[code];
                if (!text.empty()) std::memcpy(key, text.data(), text.size());
                key[text.size()] = '\0';
                MakeIndexKey(code, key);
                keyLengths_[code] = std::strlen(key);
            }
            break;
        }
        case MatchMode::Prefix:
        case MatchMode::Pattern:
            upper_.assign(typed.begin(), typed.end());
            for (char& c : upper_) c = AsciiUpper(c);
            break;
        case MatchMode::Soundex:
        case MatchMode::DaitchMokotoff:
        case MatchMode::Close:
            break;  // the queries are made above
    }
}

bool CSurnameMatcher::MatchesExact(std::string_view storedKey, int code) const {
    if (!formsKey_ || code < catalogue::kFirstCode || code > catalogue::kLastCode) return false;
    return storedKey == std::string_view(keys_[code], keyLengths_[code]);
}

bool CSurnameMatcher::Matches(std::string_view storedKey, int code) const {
    switch (mode_) {
        case MatchMode::Exact:
            return MatchesExact(storedKey, code);
        case MatchMode::Prefix:
            // The padded key decides, unless the text ends in blanks that the padding would supply.
            return StartsWithUpper(storedKey, upper_) && (upper_.empty() || upper_.back() != ' ' ||
                                                          WithoutPadding(storedKey).size() >= upper_.size());
        case MatchMode::Pattern:
            return MatchesPattern(upper_, WithoutPadding(storedKey));
        case MatchMode::Soundex:
            // Padding blanks are no letters: the codes pass over them anyway.
            return soundex_.SharesCode(storedKey);
        case MatchMode::DaitchMokotoff:
            return dm_.SharesCode(storedKey);
        case MatchMode::Close:
            return close_.Distance(storedKey) >= 0;
    }
    return false;
}

int CSurnameMatcher::Distance(std::string_view storedKey, int code) const {
    if (mode_ == MatchMode::Close) return close_.Distance(storedKey);
    return Matches(storedKey, code) ? 0 : -1;
}

bool CSurnameMatcher::CanMatch() const {
    switch (mode_) {
        case MatchMode::Exact:
            return formsKey_;
        case MatchMode::Prefix:
        case MatchMode::Pattern:
            return true;
        case MatchMode::Soundex:
            return soundex_.HasCodes();
        case MatchMode::DaitchMokotoff:
            return dm_.HasCodes();
        case MatchMode::Close:
            return close_.CanMatch();
    }
    return false;
}

void CSurnameMatcher::MarkLeadingBytes(bool* allowed) const {
    auto row = [allowed](unsigned char first) {
        for (int second = 0; second < 256; ++second) allowed[first * 256 + second] = true;
    };
    auto both = [&row](char c) {
        row(static_cast<unsigned char>(c));
        // Keys are matched with a-z and A-Z equal.
        if (c >= 'A' && c <= 'Z') row(static_cast<unsigned char>(c - 'A' + 'a'));
    };
    switch (mode_) {
        case MatchMode::Exact:
            if (!formsKey_) return;
            for (int code = catalogue::kFirstCode; code <= catalogue::kLastCode; ++code) {
                const auto first = static_cast<unsigned char>(keys_[code][0]);
                const auto second = first == 0 ? 0 : static_cast<unsigned char>(keys_[code][1]);
                allowed[first * 256 + second] = true;
            }
            return;
        case MatchMode::Prefix:
        case MatchMode::Pattern:
            if (!upper_.empty() && upper_[0] != '*' && upper_[0] != '?') {
                both(upper_[0]);
                return;
            }
            break;
        case MatchMode::Soundex:
            for (int first = 0; first < 256; ++first) {
                if (!soundex_.MayBeginWith(static_cast<unsigned char>(first))) continue;
                for (int second = 0; second < 256; ++second) {
                    if (soundex_.MayBeginWith(static_cast<unsigned char>(first),
                                              static_cast<unsigned char>(second))) {
                        allowed[first * 256 + second] = true;
                    }
                }
            }
            return;
        case MatchMode::Close:
            close_.MarkLeadingBytes(allowed);
            return;
        case MatchMode::DaitchMokotoff:
            break;
    }
    for (int pair = 0; pair < 65536; ++pair) allowed[pair] = true;
}
