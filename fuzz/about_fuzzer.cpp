// libFuzzer entry of the target of a database's headings and provenance (see about_target.h).

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/about_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One scratch folder per fuzzing process, made on the first input.
    static const fuzz_support::ScratchFolder folder("about");
    return fuzz_targets::RunAbout(data, size, folder.Path());
}
