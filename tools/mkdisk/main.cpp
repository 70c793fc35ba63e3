// chronara-mkdisk: builds a data disk from one CSV file per database.

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "chronara_version.h"
#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/database_about.h"
#include "store/database_writer.h"
#include "tools/mkdisk/mkdisk_help.h"
#include "tools/mkdisk/mkdisk_options.h"
#include "tools/mkdisk/mkdisk_source.h"
#include "tools/mkdisk/mkdisk_staging.h"

namespace {

constexpr int kExitWritten = 0;
constexpr int kExitFailed = 2;

struct Database {
    std::string path;
    std::unique_ptr<CDatabaseWriter> writer;
    // The headings of the header row and the provenance of the .about file.
    DatabaseAbout about;
    long longestLine = 0;
    DatabaseSummary summary;
};

void Report(const std::string& message) { std::fprintf(stderr, "chronara-mkdisk: %s\n", message.c_str()); }

bool WriteMarker(const std::string& folder, std::string* error) {
    const std::string path = folder + "/" + kMarkerFileName;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot create " + path;
        return false;
    }
    const char text[] = "Chronara data disk\n";
    const bool written = std::fputs(text, file) >= 0;
    if (std::fclose(file) != 0 || !written) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

// Reports every error and that nothing was written; the failure status.
int Fail(const std::vector<std::string>& errors) {
    for (const std::string& error : errors) Report(error);
    Report("nothing was written");
    return kExitFailed;
}

// Reads every source into a writer of its own; false after any error.
bool LoadSources(const MkdiskOptions& options, std::vector<Database>& databases,
                 std::vector<std::string>& errors) {
    bool seen[catalogue::kLastCode + 1] = {};
    for (const std::string& path : options.sources) {
        std::string error;
        const int code = CodeOfSourcePath(path, &error);
        if (code == 0) {
            errors.push_back(error);
            continue;
        }
        if (seen[code]) {
            errors.push_back(path + ": database " + catalogue::StemOf(code) + " is given more than once");
            continue;
        }
        seen[code] = true;
        Database database;
        database.path = path;
        database.writer = std::make_unique<CDatabaseWriter>(code);
        const bool loaded =
            LoadSource(path, *database.writer, database.about.headings, errors, &database.longestLine);
        if (!LoadAbout(AboutPathOf(path), database.about.provenance, errors) || !loaded) continue;
        const int needed = database.writer->SmallestNameWidth();
        if (options.nameWidth != 0 && options.nameWidth < needed) {
            errors.push_back(path + ":" + std::to_string(database.longestLine) + ": --name-width " +
                             std::to_string(options.nameWidth) + " is too small: these given names need " +
                             std::to_string(needed) + " bytes with their NUL");
            continue;
        }
        databases.push_back(std::move(database));
    }
    return errors.empty();
}

// Writes every database (its files, its headings and its provenance) and
// the marker into a staging folder, then puts them in place at once.
bool WriteDisk(const MkdiskOptions& options, std::vector<Database>& databases, std::string* error) {
    CStagingFolder staging;
    if (!staging.Create(options.outDir, error)) return false;
    std::vector<std::string> names;
    for (Database& database : databases) {
        if (!database.writer->Write(staging.Path(), options.nameWidth, error, &database.summary)) {
            *error = database.path + ": " + *error;
            return false;
        }
        if (!WriteDatabaseAbout(staging.Path(), database.writer->Code(), database.about, *error)) {
            *error = database.path + ": " + *error;
            return false;
        }
        const std::string stem = catalogue::StemOf(database.writer->Code());
        for (const char* extension :
             {".ext", ".cor", ".tre", disk_format::kHeadingsExtension, disk_format::kProvenanceExtension}) {
            names.push_back(stem + extension);
        }
    }
    if (!WriteMarker(staging.Path(), error)) return false;
    names.push_back(kMarkerFileName);
    return staging.Commit(names, error);
}

int Run(const MkdiskOptions& options) {
    std::vector<std::string> errors;
    std::vector<Database> databases;
    if (!LoadSources(options, databases, errors)) return Fail(errors);
    std::string error;
    if (!WriteDisk(options, databases, &error)) return Fail({error});

    for (const Database& database : databases) {
        const DatabaseSummary& s = database.summary;
        std::printf(
            "%s: %ld people, %ld surnames, largest surname range %ld, tree height %d, name width %d\n",
            catalogue::StemOf(database.writer->Code()), s.people, s.surnames, s.largestRange, s.treeHeight,
            s.nameWidth);
    }
    return std::fflush(stdout) == 0 ? kExitWritten : kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    MkdiskOptions options;
    std::string error;
    if (!ParseMkdiskOptions(argc, argv, options, &error)) {
        std::fprintf(stderr, "chronara-mkdisk: %s\nTry 'chronara-mkdisk --help'.\n", error.c_str());
        return kExitFailed;
    }
    if (options.help) {
        PrintMkdiskHelp(stdout);
        return std::fflush(stdout) == 0 ? kExitWritten : kExitFailed;
    }
    if (options.version) {
        std::printf("chronara-mkdisk %s\n", kChronaraVersion);
        return std::fflush(stdout) == 0 ? kExitWritten : kExitFailed;
    }
    try {
        return Run(options);
    } catch (const std::exception& failure) {
        Report(std::string("stopped: ") + failure.what() + "; nothing was written");
        return kExitFailed;
    }
}
