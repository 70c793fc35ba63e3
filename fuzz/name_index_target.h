#pragma once
// Fuzz target of the surname index: arbitrary .tre bytes opened with either
// key width, then up to eight lookups of arbitrary keys.
//
// Input: flags byte (bit 0: long keys), key count byte (modulo 9), each key
// as a length byte (modulo field width + 1) and its bytes, then the .tre
// file. A key as long as its field has no NUL inside the field.
//
// Promises checked: no crash or out-of-bounds access (sanitizers); no exit
// and no message (errors come back as values: a bad signature at the open,
// damage at a lookup); a lookup repeated gives the same answer; an empty
// index finds nothing; a walk of every key ends, with damage as a value; the
// file is left byte for byte as it was.

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
        CNameIndex index(keyField);
        const StoreError opened = index.Open(path, "fuzz.tre");
        Check(!opened.Failed() || opened.kind == StoreErrorKind::BadIndexSignature,
              "an index that is there was refused for another reason than its signature");
        for (const std::string& key : keys) {
            if (opened.Failed()) break;
            // Exactly the field's bytes, so that a read past the field is seen.
            std::unique_ptr<char[]> field(new char[static_cast<std::size_t>(keyField)]());
            key.copy(field.get(), key.size());
            std::int32_t first = 0;
            std::int32_t count = 7;
            const StoreError error = index.Lookup(field.get(), first, count);
            Check(!error.Failed() || error.kind == StoreErrorKind::DamagedIndex,
                  "a lookup in a file that reads failed for another reason than damage");
            if (error.Failed()) Check(first == -1 && count == 0, "a damaged index still named a range");
            // The root and the upper pages come from the cache, the others
            // from the file: both must give the same answer every time.
            std::int32_t againFirst = 0;
            std::int32_t againCount = 7;
            const StoreError again = index.Lookup(field.get(), againFirst, againCount);
            Check(first == againFirst && count == againCount && error.kind == again.kind,
                  "the same lookup gave two answers");
            if (index.RootOffset() == -1) Check(first == -1 && count == 0, "an empty index found a key");
        }
        // The walk of every key: damage comes back as a value, and a walk
        // that finishes hands over keys in the index's own order.
        if (!opened.Failed()) {
            struct Keys : CIndexKeyVisitor {
                long count = 0;
                void Visit(std::string_view key, std::int32_t, std::int32_t) override {
                    Check(key.size() < CNameIndex::kMaxKeyField, "a walked key longer than its field");
                    ++count;
                }
            } walkedKeys;
            const StoreError walked = index.WalkKeys(walkedKeys);
            Check(!walked.Failed() || walked.kind == StoreErrorKind::DamagedIndex,
                  "a walk failed for another reason than damage");
            Check(index.RootOffset() != -1 || walkedKeys.count == 0, "an empty index walked a key");
        }
        index.Close();
        index.Close();
    } catch (const ProcessExit&) {
        Fail("the index ended the process: only the session may");
    }
    Check(!services.WrongFormatShown(), "the index showed a message: only the session may");

    std::string after;
    Check(ReadFile(path, after) && after == tre, "an existing index file was changed");
    std::remove(path.c_str());
    return 0;
}

}  // namespace fuzz_targets
