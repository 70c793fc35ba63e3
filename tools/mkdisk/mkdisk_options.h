#pragma once
// The command line of chronara-mkdisk.

#include <string>
#include <vector>

struct MkdiskOptions {
    std::string outDir;
    int nameWidth = 0;  // 0: the smallest width that fits each database
    bool help = false;
    bool version = false;
    std::vector<std::string> sources;
};

// Parses argv[1..argc). On a usage error returns false with *error set.
// With --help or --version nothing else is required.
bool ParseMkdiskOptions(int argc, const char* const* argv, MkdiskOptions& options, std::string* error);
