#pragma once
// What a CRecordSearch holds between calls: the databases of the last query
// with the people found in each, and the indexes kept open. Shared by the
// files that make up the search (record_search.cpp, record_facets.cpp).

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "browse/record_query/record_fields.h"
#include "browse/record_query/record_people.h"
#include "browse/record_query/record_query.h"
#include "browse/word_index/word_index_reader.h"
#include "store/data_file.h"
#include "store/file_fingerprint.h"
#include "store/record_database.h"
#include "store/store_error.h"

namespace record_search_state {

struct Database {
    int code = 0;
    // The headings of its fields, as the disk gives them.
    FieldHeadings headings;
    record_fields::FieldSet fields;
    // The people of the database, walked from the surname index (a scan),
    // or null while the index tells each person's surname (names).
    std::shared_ptr<CPeopleList> people;
    std::shared_ptr<word_index::CWordIndexReader> names;
    // The people found, by entry, once listed.
    std::vector<std::int32_t> entries;
    bool listed = false;
    std::int64_t count = 0;
    // The index that answered, while people are still to be listed from it.
    std::shared_ptr<word_index::CWordIndexReader> index;
};

struct State {
    explicit State(const CDirectories& dirs) : database(dirs) {}
    CRecordDatabase database;
    // What failed on the data disk while an index was looked at or built.
    StoreError dataError;
    // The indexes opened, kept from one query to the next while their
    // files are unchanged.
    struct Kept {
        FileFingerprint files[word_index::kFileCount];
        std::shared_ptr<word_index::CWordIndexReader> reader;
    };
    std::map<int, Kept> kept;
    // The fingerprints taken, by path, with what identified each file then:
    // a file whose identity (times of change included) is the same is not read again.
    struct Printed {
        FileIdentity identity;
        FileFingerprint fingerprint;
    };
    std::map<std::string, Printed> printed;
    record_query::Query query;
    bool keepWalked = true;
    std::vector<Database> results;
    // The places found of the people in the order asked; empty: as found.
    std::vector<std::int64_t> order;
    // The headings of the databases of the last query, as the disk gave them.
    std::map<int, FieldHeadings> headings;
};

}  // namespace record_search_state
