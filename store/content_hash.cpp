#include "store/content_hash.h"

#include <cstring>

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ULL;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5ULL;

std::uint64_t RotateLeft(std::uint64_t value, int bits) { return (value << bits) | (value >> (64 - bits)); }

std::uint64_t Load64(const unsigned char* p) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}

std::uint64_t Round(std::uint64_t lane, std::uint64_t input) {
    lane += input * kPrime2;
    return RotateLeft(lane, 31) * kPrime1;
}

std::uint64_t Merge(std::uint64_t hash, std::uint64_t lane) {
    hash ^= Round(0, lane);
    return hash * kPrime1 + kPrime4;
}

}  // namespace

std::uint64_t ContentHash(const void* data, std::size_t size, std::uint64_t seed) {
    const auto* p = static_cast<const unsigned char*>(data);
    const unsigned char* end = p + size;
    std::uint64_t hash = 0;
    if (size >= 32) {
        // Four lanes at once: the multiplications of one lane do not wait for another's.
        std::uint64_t lanes[4] = {seed + kPrime1 + kPrime2, seed + kPrime2, seed, seed - kPrime1};
        for (; end - p >= 32; p += 32) {
            for (int i = 0; i < 4; ++i) lanes[i] = Round(lanes[i], Load64(p + 8 * i));
        }
        hash = RotateLeft(lanes[0], 1) + RotateLeft(lanes[1], 7) + RotateLeft(lanes[2], 12) +
               RotateLeft(lanes[3], 18);
        for (std::uint64_t lane : lanes) hash = Merge(hash, lane);
    } else {
        hash = seed + kPrime5;
    }
    hash += static_cast<std::uint64_t>(size);
    for (; end - p >= 8; p += 8) hash = RotateLeft(hash ^ Round(0, Load64(p)), 27) * kPrime1 + kPrime4;
    for (; p < end; ++p) hash = RotateLeft(hash ^ (*p * kPrime5), 11) * kPrime1;
    hash ^= hash >> 33;
    hash *= kPrime2;
    hash ^= hash >> 29;
    hash *= kPrime3;
    hash ^= hash >> 32;
    return hash;
}
