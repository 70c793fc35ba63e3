#include "store/index_key.h"

#include <cstring>

#include "store/ascii.h"
#include "store/catalogue.h"

std::size_t IndexKeyLength(int code, std::size_t surnameLength) {
    const bool pad = surnameLength <= 16 || (surnameLength <= 21 && code > 8);
    const std::size_t width = static_cast<std::size_t>(catalogue::PaddedKeyWidth(code));
    return pad && surnameLength < width ? width : surnameLength;
}

void MakeIndexKey(int code, char* text) {
    std::size_t length = std::strlen(text);
    if (length > kMaxKeySurname) length = kMaxKeySurname;        // callers refuse longer ones first
    const std::size_t keyLength = IndexKeyLength(code, length);  // at most 23
    for (std::size_t i = 0; i < length; ++i) text[i] = AsciiUpper(text[i]);
    for (std::size_t i = length; i < keyLength; ++i) text[i] = ' ';
    text[keyLength] = '\0';
}

std::string_view WithoutPadding(std::string_view storedKey) {
    std::size_t length = storedKey.size();
    while (length > 0 && storedKey[length - 1] == ' ') --length;
    return storedKey.substr(0, length);
}
