#pragma once
// Fuzz target of the INI reader: arbitrary INI text, section, key, default
// and output size, read from memory and, as corvane.ini, by the directories.
//
// Input: output size (two bytes, modulo 1100), flags byte (bit 0: no
// section, bit 1: no key, bit 2: no default), section, key and default
// (length byte each, up to 255), then the INI text.
//
// Promises checked: nothing written outside the output buffer (it is exactly
// size bytes on the heap); the result is NUL-terminated, its length is what
// the call returned, and at most size - 1; both directories end in '/', and
// the data directory fits its 260-byte buffer or is refused as empty.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/profile.h"
#include "store/directories.h"

namespace fuzz_targets {

inline constexpr std::size_t kMaxProfileOutput = 1100;

// Sets an environment variable for the call and restores it afterwards, so
// that the regression test leaves its process as it found it.
class EnvOverride {
public:
    EnvOverride(const char* name, const std::string& value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvOverride() {
        if (had_) {
            ::setenv(name_.c_str(), old_.c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

private:
    std::string name_;
    bool had_ = false;
    std::string old_;
};

inline void CheckDirectory(const char* dir, std::size_t limit) {
    using fuzz_support::Check;
    const std::size_t length = std::strlen(dir);
    Check(length < limit, "directory longer than its buffer");
    if (length > 0) Check(dir[length - 1] == '/', "directory without its trailing '/'");
}

inline int RunProfile(const std::uint8_t* data, std::size_t size, const std::string& folder) {
    using namespace fuzz_support;
    ByteReader input(data, size);
    std::size_t outSize = input.Byte();
    outSize = (outSize | (static_cast<std::size_t>(input.Byte()) << 8)) % kMaxProfileOutput;
    const std::uint8_t flags = input.Byte();
    const std::string section = input.Text(255);
    const std::string key = input.Text(255);
    const std::string defaultValue = input.Text(255);
    const std::string content = input.Rest();

    // Exactly outSize bytes, so that one byte too many is an overflow.
    std::unique_ptr<char[]> out(new char[outSize == 0 ? 1 : outSize]);
    char* const buffer = outSize == 0 ? nullptr : out.get();
    const std::size_t length = platform::ReadProfileText(
        content, (flags & 1) != 0 ? nullptr : section.c_str(), (flags & 2) != 0 ? nullptr : key.c_str(),
        (flags & 4) != 0 ? nullptr : defaultValue.c_str(), buffer, outSize);
    if (outSize == 0) {
        Check(length == 0, "a zero-size read reported characters");
    } else {
        Check(length < outSize, "more characters than the buffer holds");
        Check(std::memchr(buffer, '\0', outSize) == buffer + length, "result length and NUL disagree");
    }

    // The same text as the private INI file, through the directories.
    if (!WriteFile(folder + "/" + kProfileFileName, content)) Fail("cannot write the INI file");
    {
        EnvOverride home("XDG_CONFIG_HOME", folder);
        CDirectories dirs;
        dirs.LoadDirectories();
        CheckDirectory(dirs.InstallDir(), static_cast<std::size_t>(-1));
        // Empty only when it is the default and no folder for it is known.
        Check(dirs.InstallDir()[0] != '\0' || dirs.InstallDirIsDefault(), "empty installation directory");
        Check(!dirs.InstallDirIsDefault() || std::strcmp(dirs.InstallDir(), "/") != 0,
              "the root as the default installation directory");
        CheckDirectory(dirs.DataDir(), CDirectories::kDataDirSize);
        Check(dirs.DataDirFits() == (dirs.DataDir()[0] != '\0'), "data directory fit misreported");
    }
    std::remove((folder + "/" + kProfileFileName).c_str());
    return 0;
}

}  // namespace fuzz_targets
