#pragma once
// Hand-written .ext and .cor files of one database in a scratch folder, and
// a record database opened on them, for the result-browsing tests. The .tre
// file is an empty index: the tests hand ranges to the pager themselves.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/directories.h"
#include "store/record_database.h"
#include "support/test_support.h"

namespace browse_test {

// "\xFF", so that test records read like the files: F("J") + F("Ohio") + "\n".
inline std::string F(const std::string& field) { return field + "\xFF"; }

class TestDatabase {
public:
    TestDatabase() : db_(std::make_unique<CRecordDatabase>(dirs_)) {
        dirs_.SetDataDir(dir_.Path().c_str());
        dirs_.SetInstallDir(dir_.Path().c_str());
        testing_support::WriteFileBytes(dir_.File(kMarkerFileName), "");
    }

    // Adds a record to the .ext file; returns its offset.
    std::int32_t AddRecord(const std::string& bytes) {
        const auto offset = static_cast<std::int32_t>(ext_.size());
        ext_ += bytes;
        return offset;
    }
    // Adds a .cor entry pointing at offset.
    void AddEntry(std::int32_t offset, const std::string& givenNames) {
        entries_.push_back({offset, givenNames});
    }
    // A record and the entry that points at it.
    void AddPerson(const std::string& givenNames, const std::string& record) {
        AddEntry(AddRecord(record), givenNames);
    }

    // Writes the files of code with name width width (given names are cut
    // to it) and opens them.
    bool WriteAndOpen(int code, int width = 20) {
        const std::string base = dir_.File(catalogue::StemOf(code));
        testing_support::WriteFileBytes(base + ".ext", ext_);
        std::string cor;
        for (const Entry& entry : entries_) {
            AppendInt32(cor, entry.offset);
            std::string names = entry.givenNames.substr(0, static_cast<std::size_t>(width));
            names.resize(static_cast<std::size_t>(width), '\0');
            cor += names;
        }
        AppendInt32(cor, width);
        testing_support::WriteFileBytes(base + ".cor", cor);
        testing_support::WriteFileBytes(base + ".tre", testing_support::EmptyIndexBytes());
        return static_cast<bool>(db_->OpenCode(code));
    }

    CRecordDatabase& Db() { return *db_; }
    CDirectories& Dirs() { return dirs_; }
    const testing_support::TempDir& Dir() const { return dir_; }
    std::size_t EntryCount() const { return entries_.size(); }

private:
    struct Entry {
        std::int32_t offset;
        std::string givenNames;
    };
    static void AppendInt32(std::string& out, std::int32_t value) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            out += static_cast<char>((bits >> shift) & 0xFF);
        }
    }

    testing_support::TempDir dir_;
    CDirectories dirs_;
    std::unique_ptr<CRecordDatabase> db_;
    std::string ext_;
    std::vector<Entry> entries_;
};

}  // namespace browse_test
