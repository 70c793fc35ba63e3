#include "store/index_key.h"

#include <cstdio>
#include <cstring>

#include "store/catalogue.h"

std::size_t IndexKeyLength(int code, std::size_t surnameLength) {
    const bool pad = surnameLength <= 16 || (surnameLength <= 21 && code > 8);
    const std::size_t width = static_cast<std::size_t>(catalogue::PaddedKeyWidth(code));
    return pad && surnameLength < width ? width : surnameLength;
}

void MakeIndexKey(int code, char* text) {
    char copy[kMaxKeySurname + 1];
    std::size_t length = std::strlen(text);
    if (length > kMaxKeySurname) length = kMaxKeySurname;  // callers refuse longer ones first
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    if (length <= 16 || (length <= 21 && code > 8)) {
        if (catalogue::UsesLongKeys(code)) {
            std::snprintf(text, 24, "%-22s", copy);
        } else {
            std::snprintf(text, 24, "%-17s", copy);
        }
    } else {
        std::memcpy(text, copy, length + 1);
    }
    for (char* p = text; *p != '\0'; ++p) {
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
    }
}
