#include "store/search_query.h"

#include <cstdio>
#include <cstring>

#include "platform/message_box.h"
#include "store/ascii.h"

// Zeroed rather than left unset, so that a query searched before it is
// filled holds empty texts instead of garbage.
CSearchQuery::CSearchQuery() : firstNameFlag_(0), row_(-1), firstName_{}, surname_{} {}

void CSearchQuery::SetSurname(const char* text) {
    const std::size_t length = std::strlen(text);
    if (length > kMaxText) {
        ReportError("last name is too long");
        return;
    }
    std::memcpy(surname_, text, length + 1);
    firstNameFlag_ = 0;
}

void CSearchQuery::SetDatabaseRow(int row) { row_ = static_cast<std::int8_t>(row); }

void CSearchQuery::SetFirstName(const char* text) {
    const std::size_t length = std::strlen(text);
    if (length > kMaxText) {
        ReportError("first name is too long");
        return;
    }
    for (std::size_t p = 0; p < kMaxText; ++p) firstName_[p] = p < length ? AsciiUpper(text[p]) : ' ';
    firstName_[kMaxText] = '\0';
    firstNameFlag_ = 1;
}

void CSearchQuery::ReportError(const char* message) {
    char text[256];
    std::snprintf(text, sizeof text, "query error: %s.\n", message);
    platform::ShowMessageBox(text, platform::kAppTitle, platform::MessageButtons::Ok,
                             platform::MessageIcon::Exclamation);
}
