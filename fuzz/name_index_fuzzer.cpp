// libFuzzer entry of the name index target (see name_index_target.h).

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/name_index_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One scratch folder per fuzzing process, made on the first input.
    static const fuzz_support::ScratchFolder folder("name_index");
    return fuzz_targets::RunNameIndex(data, size, folder.Path());
}
