// libFuzzer entry of the search target (see search_target.h).

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/search_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One scratch folder per fuzzing process, made on the first input.
    static const fuzz_support::ScratchFolder folder("search");
    return fuzz_targets::RunSearch(data, size, folder.Path());
}
