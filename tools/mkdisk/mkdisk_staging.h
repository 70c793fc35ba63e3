#pragma once
// All-or-nothing output: the files are built in a temporary folder beside
// the output folder and moved in only at the end.

#include <string>
#include <vector>

class CStagingFolder {
public:
    CStagingFolder() = default;
    // Removes the temporary folder and whatever is still in it.
    ~CStagingFolder();
    CStagingFolder(const CStagingFolder&) = delete;
    CStagingFolder& operator=(const CStagingFolder&) = delete;

    // Checks that outDir is a folder (or can become one: its parent exists)
    // and creates the temporary folder beside it.
    bool Create(const std::string& outDir, std::string* error);

    const std::string& Path() const { return staging_; }

    // Moves the named files into the output folder. When the output folder
    // does not exist the whole temporary folder becomes it. Otherwise each
    // file replaces its namesake; if one move fails, the moves already made
    // are undone and the files they replaced are put back.
    bool Commit(const std::vector<std::string>& names, std::string* error);

private:
    std::string outDir_;
    std::string staging_;
    bool outExists_ = false;
};
