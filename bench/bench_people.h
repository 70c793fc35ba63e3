#pragma once
// The people of the benchmark databases: a deterministic, realistic-looking
// population of war-grave records (database code 11). Surnames follow a
// Zipf-Mandelbrot law over a pool of a million names, tuned so that the
// most common surname holds 1% of the people; given names follow the frequencies of the
// era. The same seed and size always give the same people, byte for byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/database_writer.h"

namespace bench {

inline constexpr int kBenchCode = 11;  // "ww2_kor", long keys
inline constexpr int kBenchRow = 12;   // its row in the database list
inline constexpr std::size_t kPoolSize = 1000000;
inline constexpr double kTopShare = 0.01;  // share of the most common surname

// A small deterministic generator (splitmix64): the standard library's
// distributions differ between implementations, this does not.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [0, n).
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }

private:
    std::uint64_t state_;
};

class Population {
public:
    // Draws the surname of every person; cheap next to Person().
    explicit Population(std::size_t people);

    std::size_t People() const { return ranks_.size(); }
    // The pool rank (0 = most common) of person i's surname.
    std::uint32_t Rank(std::size_t i) const { return ranks_[i]; }
    const std::string& Surname(std::uint32_t rank) const { return pool_[rank]; }
    std::size_t CountOf(std::uint32_t rank) const { return counts_[rank]; }
    std::size_t PoolSize() const { return pool_.size(); }
    double Exponent() const { return exponent_; }

    // A surname that no pool entry has: never found in any of the databases.
    std::string AbsentSurname() const;

    // Person i in full; longRecord makes the record about 4,000 bytes.
    PersonRecord Person(std::size_t i, bool longRecord) const;

private:
    std::vector<std::string> pool_;
    std::vector<std::uint32_t> ranks_;
    std::vector<std::uint32_t> counts_;
    double exponent_ = 0;
};

// The given-name prefixes of the first-name filter benchmarks: one kept by
// about one person in two thousand, one by about one in eight.
inline constexpr const char kFewHitsPrefix[] = "THAD";
inline constexpr const char kManyHitsPrefix[] = "J";

// a-z upper-cased, every other byte kept, as the index keys and the filter do.
std::string UpperCased(std::string text);

// True when the given names pass the pager's filter for a prefix of letters.
bool PassesPrefix(const std::string& givenNames, const char* prefix);

}  // namespace bench
