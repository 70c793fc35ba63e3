// libFuzzer entry of the word index target (see word_index_target.h).

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/word_index_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One scratch folder per fuzzing process: the database and its index are made once.
    static const fuzz_support::ScratchFolder folder("word_index");
    return fuzz_targets::RunWordIndex(data, size, folder.Path());
}
