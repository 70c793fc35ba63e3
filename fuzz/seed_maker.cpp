// chronara_fuzz_seeds OUT [--disk DIR] [--data DIR]: writes the seed corpus
// of every harness into OUT/<harness>/.
//
// Seeds come from small databases of every code written by the database
// writer (as the data-disk builder writes them), from the files of a data
// disk when --disk names one (cut to a few dozen people so that inputs stay
// small), from the first lines of the sample CSV files when --data names
// their folder, and from hand-made damaged cases.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/search_target.h"
#include "store/catalogue.h"
#include "store/database_writer.h"
#include "store/index_key.h"
#include "store/int32_bytes.h"
#include "store/name_index.h"

namespace {

namespace fs = std::filesystem;
using fuzz_support::ByteWriter;

// The largest database piece put into one seed, so that inputs stay small.
constexpr std::size_t kMaxSeedFile = 12000;
constexpr int kMaxSeedEntries = 40;
// Indexes are kept whole up to this size, so that deep trees are seeds too.
constexpr std::size_t kMaxIndexSeed = 20000;

class SeedFolder {
public:
    SeedFolder(const fs::path& out, const char* harness) : folder_(out / harness) {
        fs::create_directories(folder_);
    }
    void Add(const std::string& name, const std::string& bytes) {
        if (!fuzz_support::WriteFile((folder_ / name).string(), bytes)) {
            std::fprintf(stderr, "cannot write seed %s\n", name.c_str());
        }
        ++count_;
    }
    int Count() const { return count_; }

private:
    fs::path folder_;
    int count_ = 0;
};

std::string Int32Bytes(std::int32_t value) { return ByteWriter().Int32(value).Bytes(); }

// Fields shaped like the records of each database: the passenger list's
// survival code, the roll's volume and page references, blank and empty
// fields, and a text long enough to wrap.
std::vector<std::string> FieldsFor(int code, int person) {
    const std::string longText =
        "Served with distinction in several campaigns and was twice wounded before the "
        "surrender at the courthouse in the spring";
    if (code == 3) return {person % 2 == 0 ? "3" : "1", "1st", std::to_string(20 + person)};
    if (code == 9) {
        std::vector<std::string> fields = {"J", "12345", "3 45 46 ", "7 9  "};
        if (person % 3 == 0) fields.resize(15, " ");
        return fields;
    }
    std::vector<std::string> fields = {
        "Mar. 12, 1818", "Ohio", person % 4 == 0 ? " " : "Sgt", "", longText, "Dayton", "OH", "1st Cav Div",
        "Springfield",   "Co. B"};
    fields.resize(static_cast<std::size_t>(3 + person % 8));
    return fields;
}

std::vector<PersonRecord> PeopleFor(int code) {
    const char* smiths[] = {"John",  "Joseph",    "Mary Ann", "J. R.", "",      "Jo Ann",
                            "james", "JOHN PAUL", " Walter",  "Zeke",  "Abner", "Jonathan"};
    std::vector<PersonRecord> people;
    int person = 0;
    for (const char* given : smiths) people.push_back({"Smith", given, FieldsFor(code, person++)});
    people.push_back({"Lee", "Robert E.", FieldsFor(code, person++)});
    people.push_back({"O'Brien", "Patrick", FieldsFor(code, person++)});
    people.push_back({"Van Der Berg", "Anna", FieldsFor(code, person++)});
    people.push_back({"MacDonald-Smythe Jr", "Ian", FieldsFor(code, person++)});
    people.push_back({"Ng", "Li", FieldsFor(code, person++)});
    people.push_back({"M\xfcller", "J\xf6rg", FieldsFor(code, person++)});
    return people;
}

struct Database {
    std::string ext, cor, tre;
};

bool ReadDatabase(const fs::path& dir, const char* stem, Database& db) {
    const std::string base = (dir / stem).string();
    return fuzz_support::ReadFile(base + ".ext", db.ext) && fuzz_support::ReadFile(base + ".cor", db.cor) &&
           fuzz_support::ReadFile(base + ".tre", db.tre);
}

// The range of a surname in a database's index.
bool LookUp(const fs::path& dir, int code, const std::string& surname, std::int32_t& first,
            std::int32_t& count) {
    char key[kMaxKeySurname + 1] = {};
    std::strncpy(key, surname.c_str(), kMaxKeySurname);
    MakeIndexKey(code, key);
    fuzz_support::QuietServices quiet;
    try {
        CNameIndex index(catalogue::KeyFieldWidth(code));
        index.Open((dir / catalogue::StemOf(code)).string().append(".tre"), "index");
        char field[CNameIndex::kMaxKeyField] = {};
        std::memcpy(field, key, std::strlen(key));
        index.Lookup(field, first, count);
        index.Close();
    } catch (const fuzz_support::ProcessExit&) {
        return false;
    }
    return first >= 0;
}

// A database cut to at most kMaxSeedEntries entries from first on, with the
// .ext cut after the last record they point at (offsets kept as they are).
void CutDatabase(const Database& db, std::int32_t& first, std::int32_t& count, std::string& cor,
                 std::string& ext) {
    std::int32_t width = 0;
    if (db.cor.size() >= 4)
        width = LoadInt32(reinterpret_cast<const unsigned char*>(db.cor.data() + db.cor.size() - 4));
    const std::size_t entrySize = width > 0 && width <= 255 ? static_cast<std::size_t>(width) + 4 : 0;
    if (entrySize == 0 || first < 0) {
        cor = db.cor.substr(0, kMaxSeedFile);
        ext = db.ext.substr(0, kMaxSeedFile);
        return;
    }
    if (count > kMaxSeedEntries) count = kMaxSeedEntries;
    // Entries before the range are dropped: the seed's range starts at 0.
    const std::size_t begin = static_cast<std::size_t>(first) * entrySize;
    cor = db.cor.substr(begin < db.cor.size() ? begin : db.cor.size(),
                        static_cast<std::size_t>(count) * entrySize);
    cor += Int32Bytes(width);
    first = 0;
    std::size_t extEnd = 0;
    for (std::size_t at = 0; at + 4 <= cor.size() - 4; at += entrySize) {
        const std::int32_t offset = LoadInt32(reinterpret_cast<const unsigned char*>(cor.data() + at));
        if (offset < 0) continue;
        std::size_t end = db.ext.find('\n', static_cast<std::size_t>(offset));
        end = end == std::string::npos ? db.ext.size() : end + 1;
        if (end > extEnd) extEnd = end;
    }
    ext = db.ext.substr(0, extEnd < kMaxSeedFile ? extEnd : kMaxSeedFile);
}

std::string SearchSeed(int code, std::uint8_t flags, std::int32_t first, std::int32_t count,
                       const std::string& surname, const std::string& firstName, const std::string& commands,
                       const std::string& cor, const std::string& ext) {
    return ByteWriter()
        .Byte(static_cast<std::uint8_t>(code - 1))
        .Byte(flags)
        .Int32(first)
        .Int32(count)
        .Text(surname)
        .Text(firstName)
        .Text(commands)
        .Blob(cor)
        .Raw(ext)
        .Bytes();
}

std::string IndexSeed(int code, const std::vector<std::string>& surnames, const std::string& tre) {
    ByteWriter seed;
    seed.Byte(catalogue::UsesLongKeys(code) ? 1 : 0);
    seed.Byte(static_cast<std::uint8_t>(surnames.size()));
    for (const std::string& surname : surnames) {
        char key[kMaxKeySurname + 1] = {};
        std::strncpy(key, surname.c_str(), kMaxKeySurname);
        MakeIndexKey(code, key);
        seed.Text(key);
    }
    return seed.Raw(tre).Bytes();
}

// Seeds of the index and search harnesses from one database folder.
void SeedsFromDatabase(const fs::path& dir, int code, const std::string& tag,
                       const std::vector<std::string>& surnames, SeedFolder& index, SeedFolder& search) {
    Database db;
    if (!ReadDatabase(dir, catalogue::StemOf(code), db)) return;
    const std::string name = tag + "-" + catalogue::StemOf(code);
    if (db.tre.size() <= kMaxIndexSeed) {
        std::vector<std::string> keys = surnames;
        keys.push_back("Absent");
        index.Add(name, IndexSeed(code, keys, db.tre));
    }
    int variant = 0;
    for (const std::string& surname : surnames) {
        std::int32_t first = -1;
        std::int32_t count = 0;
        if (!LookUp(dir, code, surname, first, count)) continue;
        std::string cor;
        std::string ext;
        CutDatabase(db, first, count, cor, ext);
        const std::string id = name + "-" + std::to_string(variant++);
        search.Add(id + "-list", SearchSeed(code, 4, first, count, surname, "", "NNPPSNPG", cor, ext));
        search.Add(id + "-filter", SearchSeed(code, 2, first, count, surname, "jo", "NPNLPG", cor, ext));
        search.Add(id + "-large", SearchSeed(code, 1, first, count, surname, "", "NLNPRN", cor, ext));
    }
}

void WrittenDatabaseSeeds(SeedFolder& index, SeedFolder& search) {
    const fs::path dir = fs::temp_directory_path() / "chronara-fuzz-seeds";
    fs::create_directories(dir);
    for (int code = catalogue::kFirstCode; code <= catalogue::kLastCode; ++code) {
        CDatabaseWriter writer(code);
        std::string error;
        for (const PersonRecord& person : PeopleFor(code)) writer.Add(person, &error);
        if (!writer.Write(dir.string(), 0, &error)) {
            std::fprintf(stderr, "cannot write database %d: %s\n", code, error.c_str());
            continue;
        }
        SeedsFromDatabase(dir, code, "written", {"Smith", "Lee", "MacDonald-Smythe Jr", "m\xfcller"}, index,
                          search);
    }
    fs::remove_all(dir);
}

// The surnames of the root page of an index: the keys with their padding
// removed (a search pads them again).
std::vector<std::string> RootSurnames(const std::string& tre, int code) {
    std::vector<std::string> surnames;
    const auto* bytes = reinterpret_cast<const unsigned char*>(tre.data());
    if (tre.size() < 9) return surnames;
    const std::int32_t root = LoadInt32(bytes);
    const std::size_t keyField = static_cast<std::size_t>(catalogue::KeyFieldWidth(code));
    const std::size_t entrySize = keyField + 8;
    if (root < 8 || static_cast<std::size_t>(root) + 4 + 4 * entrySize > tre.size()) return surnames;
    const std::int32_t count = LoadInt32(bytes + root);
    for (std::int32_t i = 0; i < count && i < CNameIndex::kEntriesPerPage; ++i) {
        const std::size_t at =
            static_cast<std::size_t>(root) + 4 + static_cast<std::size_t>(i) * entrySize + 8;
        std::string key(tre.data() + at, keyField);
        key.resize(std::strlen(key.c_str()));
        while (!key.empty() && key.back() == ' ') key.pop_back();
        surnames.push_back(key);
    }
    return surnames;
}

// The data disk's own files: every database with the surnames of its root page.
void DiskSeeds(const fs::path& disk, SeedFolder& index, SeedFolder& search) {
    for (int code = catalogue::kFirstCode; code <= catalogue::kLastCode; ++code) {
        Database db;
        if (!ReadDatabase(disk, catalogue::StemOf(code), db)) continue;
        SeedsFromDatabase(disk, code, "disk", RootSurnames(db.tre, code), index, search);
    }
}

void HandMadeIndexSeeds(SeedFolder& index) {
    const std::string emptyIndex = std::string(8, '\xff') + "\x04";
    auto seed = [](bool longKeys, const std::string& tre) {
        return ByteWriter().Byte(longKeys ? 1 : 0).Byte(2).Text("SMITH").Text("").Raw(tre).Bytes();
    };
    index.Add("hand-empty", seed(false, emptyIndex));
    index.Add("hand-zero-bytes", seed(false, ""));
    index.Add("hand-signature-only", seed(true, "\x04"));
    index.Add("hand-bad-signature", seed(false, std::string(8, '\xff') + "\x05"));
    // Pages built by the search harness's index writer, then damaged.
    const std::string good = fuzz_targets::OneKeyIndex(1, "SMITH            ", 0, 3);
    index.Add("hand-one-page", seed(false, good));
    std::string loop = good;
    loop.replace(8 + 116, 4, Int32Bytes(8));  // child 0 points back at the root
    index.Add("hand-loop", seed(false, loop));
    std::string badCount = good;
    badCount.replace(8, 4, Int32Bytes(5));
    index.Add("hand-count-5", seed(false, badCount));
    std::string beyond = good;
    beyond.replace(8 + 116 + 4, 4, Int32Bytes(0x7ffffff0));
    index.Add("hand-child-beyond", seed(false, beyond));
    std::string rootBeyond = good;
    rootBeyond.replace(0, 4, Int32Bytes(-8));
    index.Add("hand-root-negative", seed(false, rootBeyond));
    const std::string longGood = fuzz_targets::OneKeyIndex(7, "SMITH                 ", 2, 1);
    index.Add("hand-long-one-page", seed(true, longGood));
    index.Add("hand-wrong-width", seed(false, longGood));
}

void HandMadeSearchSeeds(SeedFolder& search) {
    auto cor = [](int width, const std::vector<std::pair<std::int32_t, std::string>>& entries) {
        std::string bytes;
        for (const auto& entry : entries) {
            bytes += Int32Bytes(entry.first);
            std::string names = entry.second.substr(0, static_cast<std::size_t>(width));
            names.resize(static_cast<std::size_t>(width), '\0');
            bytes += names;
        }
        return bytes + Int32Bytes(width);
    };
    const std::string ext =
        "J\xffOhio\xffPFC\xff"
        "7th Inf\xff\n"
        "3\xff"
        "1st\xff\n \xff\xff\n";
    const std::string small = cor(8, {{0, "JOHN"}, {24, "JOE"}, {31, ""}, {9999, "X"}, {-4, "Y"}});
    search.Add("hand-offsets", SearchSeed(11, 0, 0, 5, "smith", "", "NPN", small, ext));
    search.Add("hand-range-past-end", SearchSeed(1, 2, 3, 40, "smith", "j", "NNP", small, ext));
    search.Add("hand-width-zero", SearchSeed(1, 0, 0, 2, "smith", "", "N", std::string(8, '\0'), ext));
    search.Add("hand-width-huge", SearchSeed(2, 0, 0, 2, "smith", "", "N", Int32Bytes(4096), ext));
    search.Add("hand-no-newline", SearchSeed(9, 0, 0, 1, "smith", "", "", cor(4, {{0, "J"}}),
                                             "J\xff"
                                             "12345\xff"
                                             "3 45 46 \xff"));
    search.Add("hand-no-field-end",
               SearchSeed(5, 0, 0, 1, "smith", "", "", cor(4, {{0, "J"}}), std::string(6000, 'x')));
    search.Add("hand-empty-files", SearchSeed(14, 6, 0, 1, "smith", "a", "NP", "", ""));
}

void ProfileSeeds(SeedFolder& profile) {
    auto seed = [](std::size_t size, const std::string& key, const std::string& content) {
        return ByteWriter()
            .Byte(static_cast<std::uint8_t>(size & 0xFF))
            .Byte(static_cast<std::uint8_t>(size >> 8))
            .Byte(0)
            .Text("Tavora7m")
            .Text(key)
            .Text("")
            .Raw(content)
            .Bytes();
    };
    profile.Add("plain",
                seed(260, "ChronaraPath", "[Tavora7m]\nTavoraDir=/opt/tavora/\nChronaraPath=/media/cdrom\n"));
    profile.Add("crlf-comments", seed(260, "TavoraDir",
                                      "; settings\r\n[other]\r\nTavoraDir=no\r\n[ tavora7m ]\r\n"
                                      "# note\r\n  tavoradir =  /srv/t  \r\n"));
    profile.Add("long-value",
                seed(260, "ChronaraPath", "[Tavora7m]\nChronaraPath=/" + std::string(300, 'd') + "\n"));
    profile.Add("exact-259",
                seed(260, "ChronaraPath", "[Tavora7m]\nChronaraPath=/" + std::string(258, 'd') + "\n"));
    profile.Add("tiny-buffer", seed(1, "TavoraDir", "[Tavora7m]\nTavoraDir=/x\n"));
    profile.Add("duplicates",
                seed(64, "ChronaraPath",
                     "[Tavora7m]\nChronaraPath=/a\nChronaraPath=/b\n[Tavora7m]\nChronaraPath=/c"));
    profile.Add("no-newline", seed(300, "TavoraDir", "[Tavora7m]\nTavoraDir"));
    profile.Add("binary", seed(260, "TavoraDir", std::string("[Tavora7m]\nTavoraDir=\0\xff\x80/\n", 22)));
}

// The first lines of each sample CSV file, and hand-made quoting cases.
void CsvSeeds(const fs::path& data, SeedFolder& csv) {
    std::error_code error;
    if (!data.empty()) {
        for (const auto& entry : fs::directory_iterator(data, error)) {
            if (entry.path().extension() != ".csv") continue;
            std::string text;
            if (!fuzz_support::ReadFile(entry.path().string(), text)) continue;
            std::size_t cut = 0;
            for (int line = 0; line < 12 && cut != std::string::npos && cut < text.size(); ++line) {
                cut = text.find('\n', cut);
                if (cut != std::string::npos) ++cut;
            }
            if (cut == std::string::npos || cut > kMaxSeedFile) cut = kMaxSeedFile;
            csv.Add("sample-" + entry.path().stem().string(), text.substr(0, cut));
        }
    }
    csv.Add("hand-quoted", "surname,given,field\r\n\"O\"\"Brien\",\"Pat, Jr\",\"two\nlines\"\r\n");
    csv.Add("hand-bom-utf8", "\xEF\xBB\xBFsurname,given\nM\xC3\xBCller,J\xC3\xB6rg\n\nLee,\xE2\x82\xAC\n");
    csv.Add("hand-unclosed", "a,\"b\nc,d\n");
    csv.Add("hand-stray-cr", "a,b\rc\n");
    csv.Add("hand-quote-inside", "a,b\"c\n");
    csv.Add("hand-after-quote", "\"a\"b,c\n");
    csv.Add("hand-bad-utf8", "\xC3,\xE2\x82,\xF0\x9F\x98\x80,\xC0\xAF,\xED\xA0\x80\n");
    csv.Add("hand-empty-fields", ",,\n\r\n,\n");
}

// Record queries: the kinds of term, fields by heading and number, years,
// and the faults a user makes.
void RecordQuerySeeds(SeedFolder& seeds) {
    const struct {
        const char* name;
        const char* text;
        const char* field;
        const char* years;
    } queries[] = {
        {"phrase", "\"20th Maine\"", "", ""},
        {"prefix-exclusion", "mukd* -korea -\"first class\"", "", ""},
        {"apostrophe-hyphen",
         "O'Brien Saint-L\xF4 Stra\xDF"
         "e",
         "surname", ""},
        {"heading-years", "infantry", "Rank and Organization", "1861-1865"},
        {"number", "queenstown", "7", ""},
        {"years-alone", "", "", "1944"},
        {"faults", "\"open mu*kd !! -", "", ""},
    };
    for (const auto& query : queries) {
        seeds.Add(query.name, ByteWriter()
                                  .Blob(query.text)
                                  .Text(query.field)
                                  .Text(query.years)
                                  .Text("O'Brien")
                                  .Text("John Joshua")
                                  .Blob("Colonel, 20th Maine Infantry")
                                  .Blob("2 July 1863, Gettysburg")
                                  .Blob("Mukden, Manchuria")
                                  .Bytes());
    }
}

// The word index: the sound index itself (an empty file stands for it),
// and patches of it, plain and resealed.
void WordIndexSeeds(SeedFolder& seeds) {
    seeds.Add("sound", ByteWriter().Byte(0).Bytes());
    for (int reseal = 0; reseal < 2; ++reseal) {
        for (std::uint32_t offset : {8u, 120u, 300u, 520u, 2000u, 9000u}) {
            seeds.Add("patch-" + std::to_string(offset) + (reseal ? "-resealed" : ""),
                      ByteWriter()
                          .Byte(static_cast<std::uint8_t>(1 | reseal * 2))
                          .Byte(static_cast<std::uint8_t>(offset))
                          .Byte(static_cast<std::uint8_t>(offset >> 8))
                          .Byte(0)
                          .Byte(0x10)
                          .Bytes());
        }
    }
}

// A database's headings and provenance: as chronara-mkdisk writes them, and
// the ways they go wrong.
void AboutSeeds(SeedFolder& seeds) {
    const struct {
        const char* name;
        int code;
        std::string headings;
        std::string provenance;
    } cases[] = {
        {"titan", 3, "Survived\nClass\nAge\n\nPort of embarkation\n",
         "Title: Titanic passenger list\nSource: Encyclopedia Titanica\nSource: Second\nLicence: CC0\n"},
        {"crlf-blank-lines", 2, "Rank and Organization\r\nPlace and Date\r\n", "\r\nTitle: x\r\n\r\n"},
        {"cut-short", 11, "Middle Initial\nInducted", "Notes: a"},
        {"unknown-key", 4, "Born\n", "Titel: x\nNotes\nNotes:  \n"},
        {"control", 8, std::string("A\0B\n", 4), "Title: a\x01b\n"},
        {"long", 5, std::string(81, 'h') + "\n", "Notes: " + std::string(1001, 'n') + "\n"},
    };
    for (const auto& c : cases) {
        seeds.Add(c.name, ByteWriter()
                              .Byte(static_cast<std::uint8_t>(c.code - 1))
                              .Blob(c.headings)
                              .Blob(c.provenance)
                              .Blob("3")
                              .Blob(" ")
                              .Blob("")
                              .Blob("Southampton")
                              .Bytes());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT [--disk DIR] [--data DIR]\n", argv[0]);
        return 2;
    }
    const fs::path out = argv[1];
    fs::path disk;
    fs::path data;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--disk") == 0) disk = argv[i + 1];
        if (std::strcmp(argv[i], "--data") == 0) data = argv[i + 1];
    }

    SeedFolder index(out, "name_index");
    SeedFolder search(out, "search");
    SeedFolder profile(out, "profile");
    SeedFolder csv(out, "csv");
    SeedFolder recordQuery(out, "record_query");
    SeedFolder wordIndex(out, "word_index");
    SeedFolder about(out, "about");
    WrittenDatabaseSeeds(index, search);
    if (!disk.empty()) DiskSeeds(disk, index, search);
    HandMadeIndexSeeds(index);
    HandMadeSearchSeeds(search);
    ProfileSeeds(profile);
    CsvSeeds(data, csv);
    RecordQuerySeeds(recordQuery);
    WordIndexSeeds(wordIndex);
    AboutSeeds(about);
    std::printf(
        "seeds: name_index %d, search %d, profile %d, csv %d, record_query %d, word_index %d, about %d\n",
        index.Count(), search.Count(), profile.Count(), csv.Count(), recordQuery.Count(), wordIndex.Count(),
        about.Count());
    return 0;
}
