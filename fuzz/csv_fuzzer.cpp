// libFuzzer entry of the CSV target (see csv_target.h).

#include <cstddef>
#include <cstdint>

#include "fuzz/csv_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The CSV reader works in memory: no scratch folder.
    return fuzz_targets::RunCsv(data, size, std::string());
}
