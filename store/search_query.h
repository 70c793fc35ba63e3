#pragma once
// CSearchQuery: the search request the view fills from its controls.

#include <cstddef>
#include <cstdint>

class CSearchQuery {
public:
    static constexpr std::size_t kTextSize = 256;  // 255 characters and a NUL
    static constexpr std::size_t kMaxText = kTextSize - 1;

    CSearchQuery();

    // Over 255 characters: false, and nothing changes. Otherwise copies the
    // surname and clears the first-name filter flag.
    bool SetSurname(const char* text);
    // Stored as a signed 8-bit value; -1 means nothing selected.
    void SetDatabaseRow(int row);
    // Over 255 characters: false, and nothing changes. Otherwise the first
    // name becomes text upper-cased and blank-padded to exactly 255
    // characters, and the flag is set.
    bool SetFirstName(const char* text);

    char* Surname() { return surname_; }
    const char* Surname() const { return surname_; }
    const char* FirstName() const { return firstName_; }
    bool HasFirstName() const { return firstNameFlag_ == 1; }
    std::int8_t DatabaseRow() const { return row_; }

private:
    std::int32_t firstNameFlag_;
    std::int8_t row_;
    char firstName_[kTextSize];
    char surname_[kTextSize];
};
