#include "store/catalogue.h"

#include <cstring>

namespace catalogue {
namespace {

// Indexed by database code; code 0 is never selected.
const char* const kStems[kLastCode + 1] = {
    "numa",  "congen",  "civmoh",  "titan",   "unigen", "vnmmoh", "ww1moh", "ww2moh",
    "w1812", "honorol", "ww2_pow", "ww2_kor", "v_mem",  "pcc",    "rev",
};

}  // namespace

const char* const kListTexts[kRowCount + 1] = {
    "Confederate Generals",
    "Civil War Medal of Honor",
    "Revolutionary War",
    "Titanic Passenger List",
    "U.K. Wills",
    "Union Generals",
    "Vietnam Medal of Honor",
    "Vietnam Memorial",
    "War of 1812",
    "WWI Medal of Honor",
    "WWII Medal of Honor",
    "WWII Prisoners of War",
    "WWII and Korea: Graves and Monuments",
    "",
};

const std::uint8_t kRowTable[kRowCount + 1] = {1, 2, 14, 3, 13, 4, 5, 12, 8, 6, 7, 10, 11, 0};

const char* StemOf(int code) { return (code >= kFirstCode && code <= kLastCode) ? kStems[code] : nullptr; }

int CodeOfStem(const char* stem) {
    if (stem == nullptr) return 0;
    for (int code = kFirstCode; code <= kLastCode; ++code) {
        if (std::strcmp(kStems[code], stem) == 0) return code;
    }
    return 0;
}

int CodeOfRow(int row) { return (row >= 0 && row < kRowCount) ? kRowTable[row] : 0; }

int RowOfCode(int code) {
    for (int row = 0; row < kRowCount; ++row) {
        if (kRowTable[row] == code) return row;
    }
    return -1;
}

const char* ListText(int row) { return (row >= 0 && row < kRowCount) ? kListTexts[row] : nullptr; }

bool UsesLongKeys(int code) { return code >= 7 || code == 2; }

std::vector<int> EveryDatabase() {
    std::vector<int> codes;
    for (int row = 0; row < kRowCount; ++row) codes.push_back(CodeOfRow(row));
    return codes;
}

std::vector<int> EveryDatabaseOfDisk() {
    std::vector<int> codes = EveryDatabase();
    for (int code = kFirstCode; code <= kLastCode; ++code) {
        if (RowOfCode(code) < 0) codes.push_back(code);
    }
    return codes;
}

}  // namespace catalogue
