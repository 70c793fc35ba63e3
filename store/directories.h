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
    // replaces both directories. A missing file or key gives "/" for the
    // data directory and the default installation directory (below).
    void LoadDirectories();

    // Sets both from raw values by the same trailing-slash rule; used by
    // LoadDirectories and by tools that take the directories as options.
    // A null or empty installation directory means the default one:
    // $XDG_DATA_HOME/chronara/ when XDG_DATA_HOME is an absolute folder,
    // else $HOME/.local/share/chronara/ when HOME is; when neither is, it is
    // "" and PrepareInstallDir refuses it, so nothing is ever written to "/"
    // or to a folder relative to wherever the program was started.
    void SetInstallDir(const char* value);
    void SetDataDir(const char* value);

    // Creates the default installation directory and its missing parents
    // (mode 0700, as the XDG rules ask; HOME itself is never created). Does
    // nothing and succeeds for any other installation directory. On failure
    // errno tells why and error (when not null) says so in words.
    bool PrepareInstallDir(std::string* error) const;

    const char* InstallDir() const { return installDir_.c_str(); }
    bool InstallDirIsDefault() const { return installDirIsDefault_; }
    // Empty when the value with its '/' did not fit the 260-byte buffer:
    // such a data directory is refused (the data disk is then never found).
    const char* DataDir() const { return dataDir_; }
    bool DataDirFits() const { return dataDir_[0] != '\0'; }

private:
    std::string installDir_;
    bool installDirIsDefault_ = false;
    // Length of the leading part of a default installDir_ that must exist
    // already: HOME's own folder, or "/" below XDG_DATA_HOME.
    std::size_t existingPrefix_ = 0;
    char dataDir_[kDataDirSize];
};
