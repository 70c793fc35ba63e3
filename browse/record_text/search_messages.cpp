#include "browse/record_text/search_messages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "store/catalogue.h"
#include "store/data_file.h"

namespace search_messages {
namespace {

// The system's words for errno, and ours for a file cut while in use.
std::string ReasonOf(int errorNumber) {
    if (errorNumber == kFileCutShort) return "the file is shorter than it was when it was opened";
    if (errorNumber == 0) return "unknown error";
    return std::strerror(errorNumber);
}

// A title the catalogue does not hold (a code it does not know) is empty.
std::string TitleOf(int code) {
    const char* title = catalogue::TitleOfCode(code);
    return title != nullptr ? title : "";
}

std::string Titles(const std::vector<int>& codes) {
    std::string titles;
    for (int code : codes) {
        if (!titles.empty()) titles += ", ";
        titles += TitleOf(code);
    }
    return titles;
}

}  // namespace

std::string MessageOf(const StoreError& error) {
    switch (error.kind) {
        case StoreErrorKind::None:
            return std::string();
        case StoreErrorKind::PathTooLong:
            return "The data directory path is too long.";
        case StoreErrorKind::RecordFileMissing:
            return "ext";
        case StoreErrorKind::EntryFileMissing:
            return "cor";
        case StoreErrorKind::BadNameWidth:
            return "The entry file " + error.file + " is damaged: its name width must be 1 to 255.";
        case StoreErrorKind::DamagedDescription:
            return "The file " + error.file + " of the data disk is damaged" +
                   (error.errorNumber > 0 ? " (line " + std::to_string(error.errorNumber) + ")" : "") + ".";
        case StoreErrorKind::IndexMissing:
            return "The index file " + error.file + " is missing from the data disk.";
        case StoreErrorKind::OpenFailed:
            return "Could not open " + error.file + ": " + ReasonOf(error.errorNumber) + ".";
        case StoreErrorKind::ReadFailed:
            return "Could not read " + error.file + ": " + ReasonOf(error.errorNumber) + ".";
        case StoreErrorKind::BadIndexSignature:
        case StoreErrorKind::DamagedIndex:
            return "wrong file format!";
        case StoreErrorKind::ScratchNotWritten:
            return "The first-name search could not be done: could not write " + error.file + ".";
        case StoreErrorKind::ScratchIncomplete:
            return "The first-name search is incomplete: could not write " + error.file + ".";
        case StoreErrorKind::ScratchNotPlainFile:
            return "The first-name search could not be done: " + error.file + " is not a plain file.";
    }
    return "wrong file format!";
}

namespace {

// How the details call a database file of the kind that failed.
std::string FileOfKind(const StoreError& error) {
    switch (error.kind) {
        case StoreErrorKind::RecordFileMissing:
            return "The record file " + error.file;
        case StoreErrorKind::EntryFileMissing:
            return "The entry file " + error.file;
        case StoreErrorKind::IndexMissing:
            return "The index file " + error.file;
        default:
            return error.file;
    }
}

}  // namespace

std::string DetailsOf(const StoreError& error, const char* dataDir) {
    const std::string folder = dataDir != nullptr ? dataDir : "";
    switch (error.kind) {
        case StoreErrorKind::RecordFileMissing:
        case StoreErrorKind::EntryFileMissing:
        case StoreErrorKind::IndexMissing:
            return FileOfKind(error) + " could not be opened in the data folder " + folder + ": " +
                   (error.errorNumber == EISDIR ? "a folder stands at its name." : "it is not there.");
        case StoreErrorKind::PathTooLong:
            return folder.empty()
                       ? "The data folder's path is longer than 259 characters."
                       : "The data folder " + folder + " and a file name are longer than 259 characters.";
        default:
            return std::string();
    }
}

std::string InsertDiskDetails(const char* dataDir, const DiskAbsenceReason& reason) {
    const std::string folder = dataDir != nullptr ? dataDir : "";
    const std::string marker = disk_format::kMarkerFileName;
    switch (reason.why) {
        case DiskAbsence::None:
            return std::string();
        case DiskAbsence::PathTooLong:
            return folder.empty()
                       ? "The data folder's path is longer than 259 characters."
                       : "The path of " + marker + " in the data folder " + folder + " is too long.";
        case DiskAbsence::FolderMissing:
            if (reason.errorNumber == ENOENT || reason.errorNumber == ENOTDIR) {
                return "The data folder " + folder + " does not exist.";
            }
            return "The data folder " + folder + " could not be reached: " + ReasonOf(reason.errorNumber) +
                   ".";
        case DiskAbsence::NotAFolder:
            return "The data folder " + folder + " is not a folder.";
        case DiskAbsence::MarkerMissing:
            return "The data folder " + folder + " holds no " + marker + ", the file that marks a data disk.";
        case DiskAbsence::MarkerUnreadable:
            return marker + " in the data folder " + folder +
                   " could not be opened: " + ReasonOf(reason.errorNumber) + ".";
    }
    return std::string();
}

std::string RangeCutWarning(const char* stem) {
    char text[320];
    std::snprintf(text, sizeof text,
                  "The index %.200s.tre names entries that the entry file does not hold; "
                  "only those it holds are shown.",
                  stem);
    return text;
}

std::string QueryError(const char* what) { return std::string("query error: ") + what + ".\n"; }

std::string EnterSurname() { return "Please enter a surname."; }

std::string HelpFileNotOpened(const std::string& path) {
    return "Help is not available: the help file " + path + " could not be opened.";
}

std::string HelpPathTooLong(const char* fileName) {
    return std::string("Help is not available: the path of the help file ") + fileName + " is too long.";
}

std::string RefusedOnDataDisk(const std::string& fileName) {
    return "Chronara writes nothing on the data disk. Choose a folder of your own for " + fileName + ".";
}

std::string ResultsNotWritten(const std::string& path, const std::string& reason) {
    return "The results could not be written to " + path + ": " + reason + ".";
}

std::string PeopleSaved(long count, const std::string& path) {
    if (count < 0) return "Saved to " + path + ".";
    return std::to_string(count) + (count == 1 ? " person" : " people") + " saved to " + path + ".";
}

std::string NotPrinted(const std::string& documentName) { return documentName + " could not be printed."; }

std::string NoDataDiskWhileTyping() {
    return "No data disk: Chronara cannot find the data disk. Insert or mount it; the list follows as you "
           "type.";
}

std::string NotOnDisk(const std::vector<int>& codes) { return "Not on this disk: " + Titles(codes) + "."; }

std::string SkippedNote(const char* name) {
    return std::string("note: ") + name + " is skipped: its files are not on the data disk";
}

std::string SkippedIndexNote(const char* name, const char* stem) {
    return std::string("note: ") + name + " is skipped: its index " + stem + ".tre is not on the data disk";
}

std::string YearsNotRange(const std::string& why) { return "The years are not a range: " + why + "."; }

std::string QueryNotWellFormed(const std::string& why) {
    return "The query is not well formed: " + why + ".";
}

std::string SearchedRecordByRecord(const std::vector<int>& codes) {
    return "Searched record by record, as no word index can be kept in the cache folder: " + Titles(codes) +
           ".";
}

std::string MakingWordIndex(const std::vector<int>& codes) {
    // Windows-1252's ellipsis, as every text here is in the disk's letters.
    return "Making the word index of " + Titles(codes) + " (its first search)\x85";
}

std::string MakingWordIndexProgress(int code, int percent, int waiting) {
    std::string text = "Making the word index of " + TitleOf(code) +
                       " (its first search): " + std::to_string(percent) + "%.";
    if (waiting > 0) text += " " + std::to_string(waiting) + " more to make.";
    return text;
}

std::string WordIndexNotMade(const std::vector<int>& codes) {
    return "Not searched, as their word index was not made: " + Titles(codes) + ".";
}

std::string PeopleFound(long long people, bool soFar) {
    return (people == 1 ? std::string("1 person found") : std::to_string(people) + " people found") +
           (soFar ? " so far." : ".");
}

}  // namespace search_messages
