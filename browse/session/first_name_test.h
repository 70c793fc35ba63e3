#pragma once
// CFirstNameTest: the first-name filter of a search, on the given names of
// an entry as the entry file holds them: the leading letters of the typed
// name (a-z as A-Z, given names that end early read as blanks), or, with
// name variants, a variant of the typed first word (given_name_filter.h).
// A typed name that starts with anything but a letter compares that one
// character. The search walks its entries through it, and Find Surname
// counts through it the people a search of each surname will keep.

#include <cstddef>
#include <memory>

#include "store/disk_format.h"

class CGivenNameFilter;

class CFirstNameTest {
public:
    // firstName: NUL-terminated; nameWidth: the entry file's width of given names.
    CFirstNameTest(const char* firstName, std::size_t nameWidth, bool variants);
    ~CFirstNameTest();
    CFirstNameTest(const CFirstNameTest&) = delete;
    CFirstNameTest& operator=(const CFirstNameTest&) = delete;

    // names: an entry's given names (nameWidth bytes, or fewer ending at a NUL).
    bool Passes(const char* names) const;

private:
    std::size_t nameWidth_;
    std::size_t compared_ = 0;
    char key_[disk_format::kGivenNamesSize];
    std::unique_ptr<CGivenNameFilter> variants_;
};
