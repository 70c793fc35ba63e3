// The short read of a record behind a result row's summary.

#include "store/raw_summary.h"
#include "store/record_database.h"

void CRecordDatabase::ReadSummary(std::int32_t offset, char* out, int& firstByte) {
    // An unreadable position reads like the end of the file.
    const bool positioned = recordStream_.IsOpen() && offset >= 0 && recordStream_.Seek(offset);
    firstByte = BuildRawSummary([&]() { return positioned ? recordStream_.GetByte() : -1; }, out);
}
