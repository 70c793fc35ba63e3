#pragma once
// The signed 32-bit little-endian integers of the database files.

#include <cstdint>

inline std::int32_t LoadInt32(const unsigned char* bytes) {
    std::uint32_t value = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                          (static_cast<std::uint32_t>(bytes[2]) << 16) |
                          (static_cast<std::uint32_t>(bytes[3]) << 24);
    return static_cast<std::int32_t>(value);
}

inline void StoreInt32(unsigned char* bytes, std::int32_t value) {
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    bytes[0] = static_cast<unsigned char>(bits & 0xFF);
    bytes[1] = static_cast<unsigned char>((bits >> 8) & 0xFF);
    bytes[2] = static_cast<unsigned char>((bits >> 16) & 0xFF);
    bytes[3] = static_cast<unsigned char>((bits >> 24) & 0xFF);
}
