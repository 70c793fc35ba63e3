#pragma once
// The installation directory and the data directory, read from corvane.ini.
//
// Both always end in '/'. The application object owns one CDirectories for
// the life of the process; the record database and the pager read it.

#include <cstddef>
#include <string>

inline constexpr const char kProfileFileName[] = "corvane.ini";
inline constexpr const char kProfileSection[] = "Tavora7m";
inline constexpr const char kInstallDirKey[] = "TavoraDir";
inline constexpr const char kDataDirKey[] = "ChronaraPath";

class CDirectories {
public:
    static constexpr std::size_t kDataDirSize = 260;  // 259 characters and the NUL
    static constexpr std::size_t kWorkBufferSize = 260;

    CDirectories();

    // Reads both keys from corvane.ini (found by the profile service) and
    // replaces both directories. A missing file or key gives "/".
    void LoadDirectories();

    // Sets both from raw values by the same trailing-slash rule; used by
    // LoadDirectories and by tools that take the directories as options.
    void SetInstallDir(const char* value);
    void SetDataDir(const char* value);

    const char* InstallDir() const { return installDir_.c_str(); }
    // Empty when the value with its '/' did not fit the 260-byte buffer:
    // such a data directory is refused (the data disk is then never found).
    const char* DataDir() const { return dataDir_; }
    bool DataDirFits() const { return dataDir_[0] != '\0'; }

private:
    std::string installDir_;
    char dataDir_[kDataDirSize];
};
