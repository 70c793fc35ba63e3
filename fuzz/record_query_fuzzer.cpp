// libFuzzer entry of the record query target (see record_query_target.h).

#include <cstddef>
#include <cstdint>

#include "fuzz/record_query_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz_targets::RunRecordQuery(data, size, std::string());
}
