#include "browse/names/close_spelling.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "browse/names/name_letters.h"

CCloseSpellingQuery::CCloseSpellingQuery(std::string_view typed) {
    name_letters::CLetterReader reader(typed);
    for (char letter = reader.Next(); letter != '\0'; letter = reader.Next()) {
        if (count_ == kMaxLetters) {
            count_ = 0;
            return;  // longer than any key can come near
        }
        letters_[count_++] = letter;
    }
    canMatch_ = count_ > 0;
    bound_ = count_ <= 4 ? 1 : 2;
}

int CCloseSpellingQuery::Distance(std::string_view storedKey) const {
    CCloseSpellingWalker walker(*this);
    return walker.Next(storedKey);
}

void CCloseSpellingQuery::MarkLeadingBytes(bool* allowed) const {
    if (!canMatch_) return;
    // Bytes fall into a few dozen classes by their letters; each pair of
    // classes is decided once.
    std::vector<name_letters::Letters> classes;
    int classOf[256];
    for (int byte = 0; byte < 256; ++byte) {
        const name_letters::Letters letters = name_letters::kLettersOfByte[static_cast<std::size_t>(byte)];
        std::size_t c = 0;
        while (c < classes.size() &&
               (classes[c].first != letters.first || classes[c].second != letters.second)) {
            ++c;
        }
        if (c == classes.size()) classes.push_back(letters);
        classOf[byte] = static_cast<int>(c);
    }
    const std::size_t n = classes.size();
    std::vector<char> pairAllowed(n * n);
    CCloseSpellingWalker walker(*this);
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = 0; b < n; ++b) {
            char letters[4];
            std::size_t count = 0;
            for (const name_letters::Letters& part : {classes[a], classes[b]}) {
                if (part.first != '\0') letters[count++] = part.first;
                if (part.second != '\0') letters[count++] = part.second;
            }
            pairAllowed[a * n + b] = walker.MayBeginWith(letters, count) ? 1 : 0;
        }
    }
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            const auto pair =
                static_cast<std::size_t>(classOf[first]) * n + static_cast<std::size_t>(classOf[second]);
            if (pairAllowed[pair] != 0) allowed[first * 256 + second] = true;
        }
    }
}

CCloseSpellingWalker::CCloseSpellingWalker(const CCloseSpellingQuery& query)
    : query_(query), cap_(static_cast<std::uint8_t>(query.bound_ + 1)) {
    for (std::size_t j = 0; j <= query_.count_; ++j) {
        rows_[0][j] = static_cast<std::uint8_t>(std::min<std::size_t>(j, cap_));
    }
    rowMin_[0] = 0;
}

void CCloseSpellingWalker::FillRow(std::size_t i) {
    // Only the cells within the bound of the diagonal can hold a distance
    // within the bound; the cells just outside that band are written as the
    // cap, so that the next rows read no stale value.
    const std::size_t m = query_.count_;
    const auto bound = static_cast<std::size_t>(query_.bound_);
    const std::size_t low = i > bound ? i - bound : 1;
    const std::size_t high = std::min(m, i + bound);
    std::uint8_t* row = rows_[i];
    const std::uint8_t* above = rows_[i - 1];
    row[0] = static_cast<std::uint8_t>(std::min<std::size_t>(i, cap_));
    std::uint8_t least = row[0];
    if (low > 1) row[low - 1] = cap_;
    if (high < m) row[high + 1] = cap_;
    const char letter = letters_[i - 1];
    const char* typed = query_.letters_;
    for (std::size_t j = low; j <= high; ++j) {
        int best = std::min(above[j], row[j - 1]) + 1;
        best = std::min(best, above[j - 1] + (letter == typed[j - 1] ? 0 : 1));
        if (i > 1 && j > 1 && letter == typed[j - 2] && letters_[i - 2] == typed[j - 1]) {
            best = std::min(best, rows_[i - 2][j - 2] + 1);
        }
        row[j] = static_cast<std::uint8_t>(std::min(best, static_cast<int>(cap_)));
        least = std::min(least, row[j]);
    }
    rowMin_[i] = least;
}

bool CCloseSpellingWalker::KeepShared(std::size_t shared) {
    if (valid_ > shared) valid_ = shared;
    if (deadAt_ != 0 && deadAt_ <= shared) return true;
    deadAt_ = 0;
    return false;
}

bool CCloseSpellingWalker::Extend(std::size_t count) {
    const auto bound = static_cast<std::uint8_t>(query_.bound_);
    for (std::size_t i = valid_ + 1; i <= count; ++i) {
        FillRow(i);
        valid_ = i;
        // A row beyond the bound: every later row is too. A swap reaches
        // back two rows, but never lower than the row between, which already
        // holds the cost of changing the same letter.
        if (rowMin_[i] > bound) {
            deadAt_ = i;
            return false;
        }
    }
    return true;
}

int CCloseSpellingWalker::Next(std::string_view storedKey) {
    if (!query_.canMatch_) return -1;
    // The padding blanks hold no letter: they are dropped eight at a time.
    const char* bytes = storedKey.data();
    std::size_t length = storedKey.size();
    constexpr std::uint64_t kEightBlanks = 0x2020202020202020ULL;
    for (std::uint64_t tail = 0; length >= 8; length -= 8) {
        std::memcpy(&tail, bytes + length - 8, 8);
        if (tail != kEightBlanks) break;
    }
    while (length > 0 && bytes[length - 1] == ' ') --length;
    if (length > kMaxKeyBytes) return -1;  // no stored key is this long

    // The bytes this key shares with the one before keep their letters and
    // their rows; a shared beginning already too far rejects the key unread.
    std::size_t same = 0;
    const std::size_t both = std::min(length, keyLength_);
    while (same < both && bytes[same] == key_[same]) ++same;
    std::size_t count = lettersBefore_[same];
    if (KeepShared(count)) return -1;
    for (std::size_t at = same; at < length; ++at) {
        key_[at] = bytes[at];
        const name_letters::Letters letters = name_letters::LettersOf(bytes[at]);
        if (letters.first != '\0') letters_[count++] = letters.first;
        if (letters.second != '\0') letters_[count++] = letters.second;
        lettersBefore_[at + 1] = count;
    }
    keyLength_ = length;

    const std::size_t m = query_.count_;
    const auto bound = static_cast<std::size_t>(query_.bound_);
    // Too many letters more or fewer: the rows need not be filled.
    if ((count > m ? count - m : m - count) > bound) return -1;
    if (!Extend(count)) return -1;
    const std::uint8_t distance = rows_[count][m];
    return distance <= bound ? distance : -1;
}

bool CCloseSpellingWalker::MayBeginWith(const char* letters, std::size_t count) {
    if (count == 0) return true;
    if (count > kMaxKeyLetters) return false;
    keyLength_ = 0;  // the letters no longer stand for the key last read
    std::size_t same = 0;
    const std::size_t both = std::min(valid_, count);
    while (same < both && letters_[same] == letters[same]) ++same;
    if (KeepShared(same)) return false;
    std::copy(letters + same, letters + count, letters_ + same);
    if (!Extend(count)) return false;
    // No row is ever below the one before it: a key that begins with these
    // letters ends no closer than the least of row count.
    return rowMin_[count] <= static_cast<std::uint8_t>(query_.bound_);
}
