#include "tools/mkdisk/mkdisk_options.h"

#include <cstring>

namespace {

// "--name=value" or "--name value": the value, or false when it is missing.
bool TakeValue(const char* option, int argc, const char* const* argv, int& i, std::string& value) {
    const char* arg = argv[i];
    const std::size_t length = std::strlen(option);
    if (arg[length] == '=') {
        value = arg + length + 1;
        return true;
    }
    if (i + 1 >= argc) return false;
    value = argv[++i];
    return true;
}

bool IsOption(const char* arg, const char* option) {
    const std::size_t length = std::strlen(option);
    return std::strncmp(arg, option, length) == 0 && (arg[length] == '\0' || arg[length] == '=');
}

// A name width of 1 to 255 written in digits.
bool ParseNameWidth(const std::string& value, int& width, std::string* error) {
    bool digits = !value.empty() && value.size() <= 3;
    for (char c : value) {
        if (c < '0' || c > '9') digits = false;
    }
    width = digits ? std::stoi(value) : 0;
    if (!digits || width < 1 || width > 255) {
        *error = "--name-width must be a number from 1 to 255, not \"" + value + "\"";
        return false;
    }
    return true;
}

// The options that every run needs.
bool CheckComplete(const MkdiskOptions& options, bool outGiven, std::string* error) {
    if (!outGiven) {
        *error = "--out DIR is required";
        return false;
    }
    if (options.sources.empty()) {
        *error = "no SOURCE given: name at least one <stem>.csv";
        return false;
    }
    return true;
}

}  // namespace

bool ParseMkdiskOptions(int argc, const char* const* argv, MkdiskOptions& options, std::string* error) {
    bool outGiven = false;
    bool widthGiven = false;
    bool onlySources = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (onlySources || arg[0] != '-' || std::strcmp(arg, "-") == 0) {
            options.sources.emplace_back(arg);
        } else if (std::strcmp(arg, "--") == 0) {
            onlySources = true;
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            options.help = true;
        } else if (std::strcmp(arg, "--version") == 0) {
            options.version = true;
        } else if (IsOption(arg, "--out")) {
            if (outGiven) {
                *error = "--out is given twice";
                return false;
            }
            if (!TakeValue("--out", argc, argv, i, options.outDir) || options.outDir.empty()) {
                *error = "--out needs a folder";
                return false;
            }
            outGiven = true;
        } else if (IsOption(arg, "--name-width")) {
            std::string value;
            if (widthGiven) {
                *error = "--name-width is given twice";
                return false;
            }
            if (!TakeValue("--name-width", argc, argv, i, value)) {
                *error = "--name-width needs a number from 1 to 255";
                return false;
            }
            if (!ParseNameWidth(value, options.nameWidth, error)) return false;
            widthGiven = true;
        } else {
            *error = std::string("unknown option ") + arg;
            return false;
        }
    }
    return options.help || options.version || CheckComplete(options, outGiven, error);
}
