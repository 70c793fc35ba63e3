// A main for the fuzz targets where libFuzzer is not linked (gcc builds, the
// coverage build): runs the target once on every file named on the command
// line, folders read recursively. Exits 0 when every input passed; a failed
// check aborts as it would under libFuzzer.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        if (fs::is_directory(argv[i], error)) {
            for (const auto& entry : fs::recursive_directory_iterator(argv[i], error)) {
                if (entry.is_regular_file()) files.push_back(entry.path().string());
            }
        } else {
            files.emplace_back(argv[i]);
        }
    }
    long ran = 0;
    for (const std::string& file : files) {
        std::string bytes;
        if (!fuzz_support::ReadFile(file, bytes)) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            return 2;
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++ran;
    }
    std::printf("%ld inputs replayed\n", ran);
    return 0;
}
