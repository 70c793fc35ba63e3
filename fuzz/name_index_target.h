#pragma once
// Fuzz target of the surname index: arbitrary .tre bytes opened with either
// key width, then up to eight lookups of arbitrary keys.
//
// Input: flags byte (bit 0: long keys), key count byte (modulo 9), each key
// as a length byte (modulo field width + 1) and its bytes, then the .tre
// file. A key as long as its field has no NUL inside the field.
//
// Promises checked: no crash or out-of-bounds access (sanitizers); an exit
// only with status 1 and only after "wrong file format!"; a lookup repeated
// gives the same answer; an empty index finds nothing; the file is left byte
// for byte as it was.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "store/catalogue.h"
#include "store/name_index.h"

namespace fuzz_targets {

inline constexpr int kMaxLookups = 8;

inline int RunNameIndex(const std::uint8_t* data, std::size_t size, const std::string& folder) {
    using namespace fuzz_support;
    ByteReader input(data, size);
    const int keyField = (input.Byte() & 1) != 0 ? catalogue::kLongKeyField : catalogue::kShortKeyField;
    const int lookups = input.Byte() % (kMaxLookups + 1);
    std::vector<std::string> keys;
    for (int i = 0; i < lookups; ++i) keys.push_back(input.Text(static_cast<std::size_t>(keyField)));
    const std::string tre = input.Rest();

    const std::string path = folder + "/fuzz.tre";
    if (!WriteFile(path, tre)) Fail("cannot write the .tre file");

    QuietServices services;
    try {
        CNameIndex index(path.c_str(), keyField);
        for (const std::string& key : keys) {
            // Exactly the field's bytes, so that a read past the field is seen.
            std::unique_ptr<char[]> field(new char[static_cast<std::size_t>(keyField)]());
            key.copy(field.get(), key.size());
            std::int32_t first = 0;
            std::int32_t count = 7;
            index.Lookup(field.get(), first, count);
            // The root page comes from the cache, deeper pages from the file:
            // both must give the same answer every time.
            std::int32_t againFirst = 0;
            std::int32_t againCount = 7;
            index.Lookup(field.get(), againFirst, againCount);
            Check(first == againFirst && count == againCount, "the same lookup gave two answers");
            if (index.RootOffset() == -1) Check(first == -1 && count == 0, "an empty index found a key");
        }
        index.Close();
        index.Close();
    } catch (const ProcessExit& exit) {
        Check(exit.status == 1, "the index may end the process only with status 1");
        Check(services.WrongFormatShown(), "the process ended without \"wrong file format!\"");
    }

    std::string after;
    Check(ReadFile(path, after) && after == tre, "an existing index file was changed");
    std::remove(path.c_str());
    return 0;
}

}  // namespace fuzz_targets
