#include "browse/names/given_name_filter.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "browse/names/name_letters.h"
#include "store/ascii.h"

namespace {

// The first word of text (after its leading blanks) and what follows it, its
// own leading blanks skipped.
struct Words {
    std::string_view first;
    std::string_view rest;
};

Words Split(std::string_view text) {
    const std::size_t start = std::min(text.find_first_not_of(' '), text.size());
    const std::size_t end = std::min(text.find(' ', start), text.size());
    const std::size_t next = std::min(text.find_first_not_of(' ', end), text.size());
    return {text.substr(start, end - start), text.substr(next)};
}

}  // namespace

CGivenNameFilter::CGivenNameFilter(const char* typed, const CGivenNameTable& table) {
    std::string_view text(typed != nullptr ? typed : "");
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    const Words words = Split(text);
    char letters[kMaxWordLetters];
    const std::size_t count = name_letters::CopyLetters(words.first, letters, sizeof letters);
    if (count == 0) return;  // no letter, no variant and no initial
    initial_ = letters[0];
    if (count < sizeof letters) variants_ = table.VariantsOf(std::string_view(letters, count));
    rest_.assign(words.rest.begin(), words.rest.end());
    for (char& c : rest_) c = AsciiUpper(c);
}

bool CGivenNameFilter::Matches(const char* givenNames, std::size_t width) const {
    if (initial_ == '\0') return false;
    const Words words = Split(std::string_view(givenNames, strnlen(givenNames, width)));
    char letters[kMaxWordLetters];
    const std::size_t count = name_letters::CopyLetters(words.first, letters, sizeof letters);
    if (count == 0 || count == sizeof letters) return false;
    const std::string_view word(letters, count);
    const bool initial = count == 1 && letters[0] == initial_;
    if (!initial && !std::binary_search(variants_.begin(), variants_.end(), word)) return false;
    if (rest_.size() > words.rest.size()) return false;
    for (std::size_t i = 0; i < rest_.size(); ++i) {
        if (AsciiUpper(words.rest[i]) != rest_[i]) return false;
    }
    return true;
}
