#pragma once
// What went wrong in the record store, as a value. The readers return it;
// the search session is the one place that turns it into a message for the
// user (browse/record_text/search_messages.h).

#include <string>
#include <utility>

enum class StoreErrorKind {
    None,
    // The data directory and a file name do not fit the path buffers.
    PathTooLong,
    // A database file is not there (or is a folder): the record and entry
    // files are reported as "ext" and "cor", the index by its name.
    RecordFileMissing,
    EntryFileMissing,
    IndexMissing,
    // Contents that are not of the format: the index's signature (which ends
    // the process), a damaged index page, an entry file without a name width.
    BadIndexSignature,
    DamagedIndex,
    BadNameWidth,
    // A database's headings (.fld) or provenance (.src) that break the
    // rules of their format: errorNumber is the line.
    DamagedDescription,
    // The operating system refused an open or a read: errorNumber says why.
    OpenFailed,
    ReadFailed,
    // history.buf: nothing could be written, or hits were lost on the way;
    // or a link, a folder, a FIFO or a device stands at its path.
    ScratchNotWritten,
    ScratchIncomplete,
    ScratchNotPlainFile,
};

struct StoreError {
    StoreErrorKind kind = StoreErrorKind::None;
    // The file as the user knows it: a database file by its name on the data
    // disk ("titan.ext"), history.buf by its whole path.
    std::string file;
    // errno for OpenFailed and ReadFailed; kFileCutShort (store/data_file.h)
    // for a file that ended before the size it had when it was opened; the
    // line for DamagedDescription (0: the file as a whole).
    int errorNumber = 0;

    bool Failed() const { return kind != StoreErrorKind::None; }
    static StoreError Of(StoreErrorKind kind, std::string file = std::string(), int errorNumber = 0) {
        return StoreError{kind, std::move(file), errorNumber};
    }
};
