#include "store/content_hash.h"

#include <xxhash.h>

std::uint64_t ContentHash(const void* data, std::size_t size, std::uint64_t seed) {
    return XXH3_64bits_withSeed(data, size, seed);
}
