// libFuzzer entry of the profile target (see profile_target.h).

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/profile_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One scratch folder per fuzzing process, made on the first input.
    static const fuzz_support::ScratchFolder folder("profile");
    return fuzz_targets::RunProfile(data, size, folder.Path());
}
