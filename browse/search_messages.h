#pragma once
// The texts that tell the user what went wrong in a search, a page turn or
// More Info, and the box that shows them.

#include <string>

#include "store/store_error.h"

namespace search_messages {

// The message for an error; empty for StoreErrorKind::None.
std::string MessageOf(const StoreError& error);

// The warning that a damaged index named entries past the end of the entry
// file of stem, and that only those the file holds are shown.
std::string RangeCutWarning(const char* stem);

// Shows text in a box with an OK button and the exclamation icon, captioned
// with the application title.
void Show(const std::string& text);

}  // namespace search_messages
