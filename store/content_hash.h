#pragma once
// A fast 64-bit hash of bytes, for telling whether stored bytes are the
// bytes that were written (the word index's sections and blocks, the
// head and tail of a data file). Not for security: it finds damage, not
// forgery. It is XXH3 (64 bits) of the system's xxHash library: the word
// index keeps its values, so a change of hash is a new index format.

#include <cstddef>
#include <cstdint>

std::uint64_t ContentHash(const void* data, std::size_t size, std::uint64_t seed = 0);

// The low 32 bits, where a block keeps a short check.
inline std::uint32_t ContentHash32(const void* data, std::size_t size) {
    return static_cast<std::uint32_t>(ContentHash(data, size));
}
