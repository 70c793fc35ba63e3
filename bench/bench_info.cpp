#include "bench/bench_info.h"

#include <cstdlib>
#include <fstream>
#include <map>

namespace bench {

bool SaveInfo(const std::string& path, const DiskInfo& info, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "people=" << info.people << '\n'
        << "surnames=" << info.surnames << '\n'
        << "tree_height=" << info.treeHeight << '\n'
        << "name_width=" << info.nameWidth << '\n'
        << "zipf_exponent=" << info.zipfExponent << '\n'
        << "common=" << info.common << '\n'
        << "common_count=" << info.commonCount << '\n'
        << "rare=" << info.rare << '\n'
        << "rare_count=" << info.rareCount << '\n'
        << "absent=" << info.absent << '\n'
        << "long_surname=" << info.longSurname << '\n'
        << "long_record_bytes=" << info.longRecordBytes << '\n'
        << "few_hits=" << info.fewHits << '\n'
        << "many_hits=" << info.manyHits << '\n';
    out.close();
    if (!out) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool LoadInfo(const std::string& path, DiskInfo& info, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    const char* const required[] = {"people",        "surnames", "tree_height",  "name_width",
                                    "zipf_exponent", "common",   "common_count", "rare",
                                    "rare_count",    "absent",   "long_surname", "long_record_bytes",
                                    "few_hits",      "many_hits"};
    for (const char* key : required) {
        if (values.count(key) == 0 || values[key].empty()) {
            *error = path + " has no " + key + "; delete its folder to have it made again";
            return false;
        }
    }
    auto number = [&](const char* key) { return std::strtol(values[key].c_str(), nullptr, 10); };
    info.people = number("people");
    info.surnames = number("surnames");
    info.treeHeight = static_cast<int>(number("tree_height"));
    info.nameWidth = static_cast<int>(number("name_width"));
    info.zipfExponent = std::strtod(values["zipf_exponent"].c_str(), nullptr);
    info.common = values["common"];
    info.commonCount = number("common_count");
    info.rare = values["rare"];
    info.rareCount = number("rare_count");
    info.absent = values["absent"];
    info.longSurname = values["long_surname"];
    info.longRecordBytes = number("long_record_bytes");
    info.fewHits = number("few_hits");
    info.manyHits = number("many_hits");
    return true;
}

void AddSizes(const std::string& list, std::set<long>& sizes) {
    for (std::size_t at = 0; at < list.size();) {
        std::size_t comma = list.find(',', at);
        if (comma == std::string::npos) comma = list.size();
        sizes.insert(std::strtol(list.substr(at, comma - at).c_str(), nullptr, 10));
        at = comma + 1;
    }
}

}  // namespace bench
