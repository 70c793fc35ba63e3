#include "store/search_query.h"

#include <cstring>

#include "store/ascii.h"

// Zeroed rather than left unset, so that a query searched before it is
// filled holds empty texts instead of garbage.
CSearchQuery::CSearchQuery() : firstNameFlag_(0), row_(-1), firstName_{}, surname_{} {}

bool CSearchQuery::SetSurname(const char* text) {
    const std::size_t length = std::strlen(text);
    if (length > kMaxText) return false;
    std::memcpy(surname_, text, length + 1);
    firstNameFlag_ = 0;
    return true;
}

void CSearchQuery::SetDatabaseRow(int row) { row_ = static_cast<std::int8_t>(row); }

bool CSearchQuery::SetFirstName(const char* text) {
    const std::size_t length = std::strlen(text);
    if (length > kMaxText) return false;
    for (std::size_t p = 0; p < kMaxText; ++p) firstName_[p] = p < length ? AsciiUpper(text[p]) : ' ';
    firstName_[kMaxText] = '\0';
    firstNameFlag_ = 1;
    return true;
}
