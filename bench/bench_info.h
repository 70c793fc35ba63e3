#pragma once
// What the generator chose for one benchmark database, kept beside its
// files in bench.info (one "key=value" line each) so that the benchmarks
// search exactly the names the generator checked.

#include <set>
#include <string>

namespace bench {

inline constexpr const char kInfoFileName[] = "bench.info";
inline constexpr const char kSqliteFileName[] = "people.sqlite";
inline constexpr const char kInstallFolderName[] = "install";

struct DiskInfo {
    long people = 0;
    long surnames = 0;
    int treeHeight = 0;
    int nameWidth = 0;
    double zipfExponent = 0;
    std::string common;  // the most common surname
    long commonCount = 0;
    std::string rare;  // a surname of a few people, on the deepest level of the tree
    long rareCount = 0;
    std::string absent;       // a surname nobody has
    std::string longSurname;  // the surname whose first person has the long record
    long longRecordBytes = 0;
    long fewHits = 0;   // hits of kFewHitsPrefix in the common surname's range
    long manyHits = 0;  // hits of kManyHitsPrefix
};

bool SaveInfo(const std::string& path, const DiskInfo& info, std::string* error);
bool LoadInfo(const std::string& path, DiskInfo& info, std::string* error);

// Adds the sizes of a comma-separated list ("1000000,4000000") to sizes.
void AddSizes(const std::string& list, std::set<long>& sizes);

}  // namespace bench
