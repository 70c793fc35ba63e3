#include "tools/mkdisk/mkdisk_staging.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

std::string Reason(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

CStagingFolder::~CStagingFolder() {
    if (!staging_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(staging_, ignored);
    }
}

bool CStagingFolder::Create(const std::string& outDir, std::string* error) {
    outDir_ = outDir;
    while (outDir_.size() > 1 && outDir_.back() == '/') outDir_.pop_back();
    const std::size_t slash = outDir_.find_last_of('/');
    const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : outDir_.substr(0, slash);
    const std::string name = slash == std::string::npos ? outDir_ : outDir_.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        *error = "--out " + outDir + ": name the output folder itself";
        return false;
    }

    struct stat info {};
    if (::stat(outDir_.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode)) {
            *error = outDir + " exists and is not a folder";
            return false;
        }
        if (::access(outDir_.c_str(), W_OK | X_OK) != 0) {
            *error = Reason("cannot write into " + outDir);
            return false;
        }
        outExists_ = true;
    } else if (errno != ENOENT) {
        *error = Reason(outDir);
        return false;
    } else if (::stat(parent.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        *error = "the folder " + parent + " that is to hold " + outDir + " does not exist";
        return false;
    }

    std::string pattern = (parent == "/" ? "" : parent) + "/." + name + ".mkdisk-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        *error = Reason("cannot create a temporary folder beside " + outDir);
        return false;
    }
    staging_ = pattern;
    return true;
}

bool CStagingFolder::Commit(const std::vector<std::string>& names, std::string* error) {
    if (!outExists_) {
        // mkdtemp made the folder private; give it the permissions a new folder gets.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(staging_.c_str(), 0777 & ~mask);
        if (std::rename(staging_.c_str(), outDir_.c_str()) != 0) {
            *error = Reason("cannot move the new files to " + outDir_);
            return false;
        }
        staging_.clear();
        return true;
    }

    // A folder in the way would be moved aside and then removed with the
    // temporary folder: refuse it before anything moves.
    for (const std::string& name : names) {
        const std::string target = outDir_ + "/" + name;
        struct stat info {};
        if (::lstat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            *error = target + " is a folder; only files are replaced";
            return false;
        }
    }

    struct Move {
        std::string name;
        bool replaced;  // a file of that name was there and waits in the staging folder
    };
    std::vector<Move> done;
    bool failed = false;
    for (const std::string& name : names) {
        const std::string target = outDir_ + "/" + name;
        const std::string fresh = staging_ + "/" + name;
        const std::string previous = staging_ + "/" + name + ".previous";
        struct stat info {};
        const bool exists = ::lstat(target.c_str(), &info) == 0;
        if (exists && std::rename(target.c_str(), previous.c_str()) != 0) {
            *error = Reason("cannot replace " + target);
            failed = true;
            break;
        }
        if (std::rename(fresh.c_str(), target.c_str()) != 0) {
            *error = Reason("cannot move " + name + " into " + outDir_);
            if (exists) std::rename(previous.c_str(), target.c_str());
            failed = true;
            break;
        }
        done.push_back({name, exists});
    }
    if (!failed) return true;
    // Undo in reverse order so that the output folder is as it was.
    for (auto move = done.rbegin(); move != done.rend(); ++move) {
        const std::string target = outDir_ + "/" + move->name;
        std::rename(target.c_str(), (staging_ + "/" + move->name).c_str());
        if (move->replaced) std::rename((staging_ + "/" + move->name + ".previous").c_str(), target.c_str());
    }
    return false;
}
