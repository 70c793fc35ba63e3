#include "tools/query/query_exit.h"

#include <cstdio>

namespace query_tool {

void Complain(const std::string& text) {
    std::fflush(stdout);
    std::fprintf(stderr, "chronara-query: %s\n", text.c_str());
}

int FinishStandardOutput(int status) {
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return status;
    Complain("cannot write the standard output");
    return kExitFailed;
}

int ExitStatusOf(const StoreError& error) {
    switch (error.kind) {
        case StoreErrorKind::None:
            return kExitSearched;
        case StoreErrorKind::BadIndexSignature:
        case StoreErrorKind::DamagedIndex:
            return kExitWrongFormat;
        case StoreErrorKind::OpenFailed:
        case StoreErrorKind::ReadFailed:
            return kExitUnreadable;
        case StoreErrorKind::PathTooLong:
        case StoreErrorKind::RecordFileMissing:
        case StoreErrorKind::EntryFileMissing:
        case StoreErrorKind::IndexMissing:
        case StoreErrorKind::BadNameWidth:
        case StoreErrorKind::DamagedDescription:
        case StoreErrorKind::ScratchNotWritten:
        case StoreErrorKind::ScratchIncomplete:
        case StoreErrorKind::ScratchNotPlainFile:
            break;
    }
    return kExitFailed;
}

}  // namespace query_tool
