#include "browse/linkage/link_score.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "browse/linkage/database_era.h"
#include "browse/linkage/link_lifespan.h"
#include "browse/linkage/link_places.h"
#include "browse/linkage/link_weights.h"
#include "browse/names/close_spelling.h"
#include "browse/names/given_name_table.h"

namespace linkage {
namespace {

std::string Title(const std::string& word) {
    std::string out = word;
    for (std::size_t i = 1; i < out.size(); ++i) {
        if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
    if (out.size() == 1) out += '.';
    return out;
}

const char* GenerationText(char generation) {
    switch (generation) {
        case 'J':
            return "Jr.";
        case 'S':
            return "Sr.";
        case '2':
            return "II";
        case '3':
            return "III";
        default:
            return "IV";
    }
}

std::string YearText(const YearRange& range) {
    if (range.lo == range.hi) return std::to_string(range.lo);
    return "about " + std::to_string(range.hi);
}

int Distance(const YearRange& a, const YearRange& b) {
    if (a.hi < b.lo) return b.lo - a.hi;
    if (b.hi < a.lo) return a.lo - b.hi;
    return 0;
}

class Weigher {
public:
    explicit Weigher(LinkJudgement& judgement) : j_(judgement) {}
    void Add(double weight, std::string reason) {
        j_.weight += weight;
        j_.reasons.push_back(std::move(reason));
    }

private:
    LinkJudgement& j_;
};

void WeighSurname(const LinkFacts& a, const LinkFacts& b, const NameCounts& counts, Weigher& w) {
    const std::int32_t countA = counts.SurnameCount(a.surname);
    if (a.surname == b.surname) {
        w.Add(kSurnameRight - std::log2(std::max(countA, 1)),
              "surname " + a.surname + ": " + std::to_string(countA) + " on the disk");
        return;
    }
    const std::int32_t countB = counts.SurnameCount(b.surname);
    const std::int32_t count = std::max(countA, 1) + std::max(countB, 1);
    const CCloseSpellingQuery close(a.surname);
    const int distance = close.Distance(b.surname);
    const bool near = distance == 1;
    w.Add(kSurnameRight - std::log2(count) + (near ? kSurnameClose : kSurnameSound),
          "surname " + a.surname + " / " + b.surname + ": " + (near ? "close spelling" : "sound alike") +
              "; " + std::to_string(countA) + " and " + std::to_string(countB) + " on the disk");
}

void WeighGiven(const LinkFacts& a, const LinkFacts& b, const NameCounts& counts,
                const CGivenNameTable& names, Weigher& w) {
    const std::string shown = "given names " + ShownGiven(a.given) + " / " + ShownGiven(b.given);
    if (a.given.empty() || b.given.empty()) {
        w.Add(0, shown + ": missing");
        return;
    }
    const std::string& x = a.given[0];
    const std::string& y = b.given[0];
    if (x == y && x.size() > 1) {
        const double share = static_cast<double>(std::max(counts.GivenCount(x), 1)) /
                             static_cast<double>(std::max<std::int64_t>(counts.people, 1));
        const double weight = std::clamp(std::log2(0.9 / share), kGivenEqualMin, kGivenEqualMax);
        w.Add(weight,
              shown + (a.given.size() == b.given.size() && a.given == b.given ? ": equal" : ": first equal"));
    } else if (x.size() == 1 || y.size() == 1) {
        if (x[0] != y[0]) {
            w.Add(kGivenConflict, shown + ": not the same");
            return;
        }
        w.Add(kGivenInitial, shown + ": initial");
    } else if (names.AreVariants(x, y)) {
        w.Add(kGivenVariant, shown + ": variant");
    } else if (x.size() >= 4 && CCloseSpellingQuery(x).Distance(y) == 1) {
        w.Add(kGivenClose, shown + ": close spelling");
    } else {
        w.Add(kGivenConflict, shown + ": not the same");
        return;
    }
    if (a.given.size() < 2 || b.given.size() < 2) return;
    const std::string& p = a.given[1];
    const std::string& q = b.given[1];
    if (p == q && p.size() > 1) {
        w.Add(kMiddleEqual, "middle name " + Title(p) + " both");
    } else if (p.size() > 1 && q.size() > 1 && names.AreVariants(p, q)) {
        w.Add(kMiddleInitial, "middle names " + Title(p) + " / " + Title(q) + ": variant");
    } else if (p[0] == q[0] && (p.size() == 1 || q.size() == 1)) {
        w.Add(kMiddleInitial, "middle initial " + std::string(1, p[0]) + " both");
    } else {
        w.Add(kMiddleConflict, "middle names " + Title(p) + " / " + Title(q));
    }
}

// chance: how often two people of the two databases share the year (0:
// not known). Where most share it (the deaths of a calendar of wills of one
// year) its agreement weighs log2(m/u) with m = 0.9, at most what the table
// gives: a year that everyone of a list has tells little.
void WeighYears(const char* what, const YearRange& a, const YearRange& b, double chance, Weigher& w) {
    if (!a.Known() || !b.Known()) return;
    const int distance = Distance(a, b);
    const bool exact = a.lo == a.hi && b.lo == b.hi;
    const std::string text = std::string(what) + " " + YearText(a);
    const double most = chance > 0 ? std::log2(kYearRight / chance) : kYearEqual;
    if (distance == 0) {
        w.Add(std::min(exact ? kYearEqual : kYearNear, most),
              exact && YearText(a) == YearText(b) ? text + " both" : text + " / " + YearText(b));
    } else if (distance == 1) {
        w.Add(std::min(kYearOne, most), text + " / " + YearText(b));
    } else if (distance == 2) {
        w.Add(std::min(kYearTwo, most), text + " / " + YearText(b));
    } else {
        w.Add(kYearFar, text + " / " + YearText(b));
    }
}

void WeighPlaces(const LinkFacts& a, const LinkFacts& b, Weigher& w) {
    if (a.states != 0 && b.states != 0) {
        if ((a.states & b.states) != 0) {
            w.Add(kStateAgree, StatesText(a.states & b.states) + " both");
        } else {
            w.Add(kStateDiffer, StatesText(a.states) + " / " + StatesText(b.states));
        }
    }
    for (const std::string& town : a.towns) {
        if (std::find(b.towns.begin(), b.towns.end(), town) != b.towns.end()) {
            w.Add(kTownAgree, "town " + town + " both");
            break;
        }
    }
}

void WeighService(const LinkFacts& a, const LinkFacts& b, Weigher& w) {
    const DatabaseEra& x = EraOf(a.code);
    const DatabaseEra& y = EraOf(b.code);
    if (a.code != b.code && x.name != nullptr && y.name != nullptr && std::string(x.name) == y.name) {
        w.Add(kSameEra, std::string("both of ") + x.name);
    }
    for (const std::string& unit : a.units) {
        if (std::find(b.units.begin(), b.units.end(), unit) != b.units.end()) {
            w.Add(kUnitAgree, "unit " + unit + " both");
            break;
        }
    }
    if (a.rank >= 0 && a.rank == b.rank) w.Add(kRankAgree, "rank " + RankName(a.rank) + " both");
    if (a.branch != 0 && b.branch != 0) {
        if ((a.branch & b.branch) != 0) {
            w.Add(kBranchAgree, std::string(BranchName(a.branch & b.branch)) + " both");
        } else {
            w.Add(kBranchDiffer, std::string(BranchName(a.branch)) + " / " + BranchName(b.branch));
        }
    }
}

}  // namespace

const char* VerdictName(Verdict verdict) {
    switch (verdict) {
        case Verdict::Likely:
            return "likely";
        case Verdict::Possible:
            return "possible";
        default:
            return "";
    }
}

Verdict VerdictOf(int score) {
    if (score >= kLikelyScore) return Verdict::Likely;
    if (score >= kPossibleScore) return Verdict::Possible;
    return Verdict::None;
}

std::int32_t NameCounts::SurnameCount(const std::string& surname) const {
    const auto found = surnames.find(surname);
    return found == surnames.end() ? 0 : found->second;
}

double NameCounts::ChanceOf(const std::map<std::pair<int, int>, double>& chances, int a, int b) {
    const auto found = chances.find(a < b ? std::make_pair(a, b) : std::make_pair(b, a));
    return found == chances.end() ? 0.0 : found->second;
}

std::int32_t NameCounts::GivenCount(const std::string& name) const {
    const auto found = given.find(name);
    return found == given.end() ? 0 : found->second;
}

std::string LinkJudgement::ReasonText() const {
    std::string out;
    for (const std::string& reason : reasons) {
        if (!out.empty()) out += "; ";
        out += reason;
    }
    return out;
}

std::string ShownGiven(const std::vector<std::string>& given) {
    if (given.empty()) return "(none)";
    std::string out;
    for (const std::string& word : given) {
        if (!out.empty()) out += ' ';
        out += Title(word);
    }
    return out;
}

LinkJudgement Judge(const LinkFacts& a, const LinkFacts& b, const NameCounts& counts,
                    const CGivenNameTable& names) {
    LinkJudgement judgement;
    judgement.weight = kPrior;
    Weigher w(judgement);
    if (a.code == b.code) judgement.weight += kSameDatabase;
    WeighSurname(a, b, counts, w);
    WeighGiven(a, b, counts, names, w);
    if (a.generation != '\0' && b.generation != '\0' && a.generation != b.generation) {
        w.Add(kGenerationConflict, std::string("generations ") + GenerationText(a.generation) + " / " +
                                       GenerationText(b.generation));
    }
    WeighYears("born", a.born, b.born, NameCounts::ChanceOf(counts.bornChance, a.code, b.code), w);
    WeighYears("died", a.died, b.died, NameCounts::ChanceOf(counts.diedChance, a.code, b.code), w);
    WeighPlaces(a, b, w);
    WeighService(a, b, w);
    std::string why;
    const DatabaseEra& x = EraOf(a.code);
    const DatabaseEra& y = EraOf(b.code);
    if (a.born.Known() && b.born.Known() && Distance(a.born, b.born) > 5) {
        why = "births more than five years apart";
    } else if (a.died.Known() && b.died.Known() && Distance(a.died, b.died) > 3) {
        why = "deaths more than three years apart";
    } else if (x.side != Side::None && y.side != Side::None && x.side != y.side) {
        why = "one fought for the Union, the other for the Confederacy";
    }
    if (!why.empty() || CannotMeet(a, b, why)) {
        judgement.ruledOut = true;
        judgement.reasons.push_back(why);
        judgement.score = 0;
        return judgement;
    }
    const double odds = std::exp2(std::clamp(judgement.weight, -60.0, 60.0));
    judgement.score = static_cast<int>(std::lround(100.0 * odds / (1.0 + odds)));
    judgement.verdict = VerdictOf(judgement.score);
    return judgement;
}

}  // namespace linkage
