#include "bench/linked_disk.h"

#include <cstdio>
#include <vector>

#include "bench/bench_people.h"
#include "browse/names/given_name_table.h"
#include "store/database_writer.h"

namespace bench {
namespace {

constexpr int kGraves = 11;
constexpr int kPrisoners = 10;

std::string IdOf(long number) { return "ID " + std::to_string(number); }

std::string FirstWord(const std::string& text) { return text.substr(0, text.find(' ')); }

std::string Rest(const std::string& text) {
    const std::size_t blank = text.find(' ');
    return blank == std::string::npos ? std::string() : text.substr(blank);
}

// A letter of the surname after its first changed, as a clerk miscopies it.
std::string Miscopied(std::string surname, Random& random) {
    if (surname.size() < 4) return surname;
    const std::size_t at = 1 + random.Below(static_cast<std::uint32_t>(surname.size() - 1));
    char letter = static_cast<char>('a' + random.Below(26));
    if (surname[at] >= 'A' && surname[at] <= 'Z') letter = static_cast<char>(letter - 'a' + 'A');
    if (letter == surname[at]) letter = letter == 'e' ? 'a' : 'e';
    surname[at] = letter;
    return surname;
}

// Another name of the same given name (Bill for William), or the name itself.
std::string VariantOf(const std::string& name, Random& random) {
    std::string upper = UpperCased(name);
    const std::vector<std::string> variants = CGivenNameTable::Builtin().VariantsOf(upper);
    if (variants.size() < 2) return name;
    const std::string& pick = variants[random.Below(static_cast<std::uint32_t>(variants.size()))];
    std::string shown = pick;
    for (std::size_t i = 1; i < shown.size(); ++i) shown[i] = static_cast<char>(shown[i] - 'A' + 'a');
    return shown;
}

// A prisoner's record of the grave's person: middle initial, serial number,
// race, state, service, corps, rank, capture.
PersonRecord PrisonerOf(const PersonRecord& grave, long number) {
    PersonRecord prisoner;
    prisoner.surname = grave.surname;
    prisoner.givenNames = grave.givenNames;
    const std::string& org = grave.fields[3];
    const char* service = org.find("NAVY") != std::string::npos     ? "Navy"
                          : org.find("MARINE") != std::string::npos ? "Marine Corps"
                                                                    : "Army";
    prisoner.fields = {grave.fields[0], IdOf(number), " ", grave.fields[1], service, " ",
                       grave.fields[2], " "};
    return prisoner;
}

}  // namespace

long PersonNumber(const std::string& field) {
    if (field.compare(0, 3, "ID ") != 0) return -1;
    return std::atol(field.c_str() + 3);
}

bool MakeLinkedDisk(const std::string& dir, long people, double sharedShare, std::uint64_t seed,
                    LinkedDiskStats& stats, std::string& error) {
    stats = LinkedDiskStats{};
    const long shared = static_cast<long>(static_cast<double>(people) * sharedShare);
    // Individuals 0..people-1 are graves; 0..shared-1 are prisoners too, and
    // people..2*people-shared-1 prisoners alone.
    const long individuals = 2 * people - shared;
    const Population population(static_cast<std::size_t>(individuals));
    Random random(seed);
    CDatabaseWriter graves(kGraves);
    CDatabaseWriter prisoners(kPrisoners);
    for (long i = 0; i < people; ++i) {
        PersonRecord grave = population.Person(static_cast<std::size_t>(i), false);
        grave.fields[5] = IdOf(i);
        if (!graves.Add(grave, &error)) return false;
        if (i >= shared) continue;
        PersonRecord prisoner = PrisonerOf(grave, i);
        // One change in two, of five kinds alike.
        switch (random.Below(10)) {
            case 0:
                prisoner.givenNames = VariantOf(FirstWord(grave.givenNames), random) + Rest(grave.givenNames);
                break;
            case 1:
                prisoner.givenNames = grave.givenNames.substr(0, 1) + "." + Rest(grave.givenNames);
                break;
            case 2:
                prisoner.surname = Miscopied(grave.surname, random);
                break;
            case 3:
                prisoner.fields[0] = " ";
                break;
            case 4:
                prisoner.fields[3] = " ";
                break;
            default:
                break;
        }
        if (!prisoners.Add(prisoner, &error)) return false;
        ++stats.shared;
    }
    for (long i = people; i < individuals; ++i) {
        PersonRecord alone = PrisonerOf(population.Person(static_cast<std::size_t>(i), false), i);
        // One in twenty looks like a grave's man: his surname and first name,
        // another man's middle initial, state and rank.
        if (random.Below(20) == 0) {
            const PersonRecord other =
                population.Person(random.Below(static_cast<std::uint32_t>(people)), false);
            alone.surname = other.surname;
            alone.givenNames = FirstWord(other.givenNames);
            ++stats.lookalikes;
        }
        if (!prisoners.Add(alone, &error)) return false;
    }
    if (!graves.Write(dir, 0, &error) || !prisoners.Write(dir, 0, &error)) return false;
    // The marker last: a disk cut short by a failure is no disk.
    std::FILE* marker = std::fopen((dir + "/chronaradb.id").c_str(), "wb");
    if (marker == nullptr || std::fclose(marker) != 0) {
        error = "cannot write " + dir + "/chronaradb.id";
        return false;
    }
    return true;
}

}  // namespace bench
