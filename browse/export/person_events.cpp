#include "browse/export/person_events.h"

#include <cctype>

#include "browse/export/event_fields.h"
#include "browse/record_text/whole_record.h"
#include "store/blank_trim.h"

namespace person_events {
namespace {

// What a field gives the tree.
enum class Role {
    Birth,        // a date, a place or both of the birth
    Death,        // of the death
    DeathStatus,  // the casualty status: a death only when it says killed or died
    Cemetery,     // the cemetery, with the grave's section, row and site after it
    BurialNote,   // the cemetery's address
    BurialCity,   // the place of the cemetery, from the town out
    BurialState,
    BurialCountry,
    Service,        // rank, unit, branch or war: the note of the military service
    Deed,           // the date (and place) of the deed of a Medal of Honor
    DeedCitation,   // the award's citation
    DeedNote,       // the award's issue, order and accreditation
    Residence,      // a place the person lived (the rule's detail: its TYPE)
    ResidenceTown,  // the town and the state of a residence of two fields
    ResidenceState,
    Occupation,   // an occupation; a married state ("Widow") goes to the person's note
    PersonNote,   // said of the person, with no event
    Grant,        // the date of a grant of probate or administration
    GrantKind,    // will or administration
    GrantNote,    // registry, executors, their relationship, the effects
    Capture,      // the date of capture
    Camp,         // the camp, from its name out
    CaptureNote,  // the report's area, detail, status and closing
};

constexpr int kAny = 0;

struct Rule {
    int code;             // the database, or kAny
    const char* heading;  // lower case
    Role role;
    const char* detail = "";  // a residence's TYPE
};

// Database codes: 1 and 4 the generals, 2 and 5-7 the Medal of Honor rolls,
// 3 the passenger list, 8 the War of 1812, 10 the prisoners of war, 11 the
// graves, 12 the Vietnam memorial, 13 the wills, 14 the Revolutionary War.
const Rule kRules[] = {
    {kAny, "born", Role::Birth},
    {kAny, "birth", Role::Birth},
    {kAny, "date of birth", Role::Birth},
    {kAny, "place of birth", Role::Birth},
    {kAny, "died", Role::Death},
    {kAny, "death", Role::Death},
    {kAny, "date of death", Role::Death},
    {kAny, "place of death", Role::Death},
    {kAny, "status", Role::DeathStatus},
    {kAny, "occupation", Role::Occupation},
    {kAny, "profession", Role::Occupation},
    {kAny, "prewar profession", Role::Occupation},
    {kAny, "occupation or description", Role::Occupation},
    {kAny, "postwar career", Role::PersonNote},
    {kAny, "listed as", Role::PersonNote},
    {kAny, "cemetery", Role::Cemetery},
    {kAny, "cemetery address", Role::BurialNote},
    // The generals.
    {1, "rank", Role::Service},
    {1, "war service", Role::Service},
    {4, "rank", Role::Service},
    {4, "war service", Role::Service},
    // The Medal of Honor rolls.
    {2, "rank and organization", Role::Service},
    {2, "place and date", Role::Deed},
    {2, "citation", Role::DeedCitation},
    {2, "date of issue", Role::DeedNote},
    {2, "g.o. number", Role::DeedNote},
    {2, "accredited to", Role::DeedNote},
    {2, "second award", Role::DeedNote},
    {2, "entered service at", Role::Residence, "Entered service at"},
    {5, "rank and organization", Role::Service},
    {5, "place and date", Role::Deed},
    {5, "citation", Role::DeedCitation},
    {5, "date of issue", Role::DeedNote},
    {5, "g.o. number", Role::DeedNote},
    {5, "accredited to", Role::DeedNote},
    {5, "second award", Role::DeedNote},
    {5, "entered service at", Role::Residence, "Entered service at"},
    {6, "rank and organization", Role::Service},
    {6, "place and date", Role::Deed},
    {6, "citation", Role::DeedCitation},
    {6, "date of issue", Role::DeedNote},
    {6, "g.o. number", Role::DeedNote},
    {6, "accredited to", Role::DeedNote},
    {6, "second award", Role::DeedNote},
    {6, "entered service at", Role::Residence, "Entered service at"},
    {7, "rank and organization", Role::Service},
    {7, "place and date", Role::Deed},
    {7, "citation", Role::DeedCitation},
    {7, "date of issue", Role::DeedNote},
    {7, "g.o. number", Role::DeedNote},
    {7, "accredited to", Role::DeedNote},
    {7, "second award", Role::DeedNote},
    {7, "entered service at", Role::Residence, "Entered service at"},
    // The passenger list.
    {3, "home or destination", Role::Residence, "Home or destination"},
    // The War of 1812.
    {8, "company", Role::Service},
    {8, "unit", Role::Service},
    {8, "initial rank", Role::Service},
    {8, "final rank", Role::Service},
    {8, "other information", Role::Service},
    // The prisoners of war.
    {10, "serial number", Role::Service},
    {10, "service", Role::Service},
    {10, "corps", Role::Service},
    {10, "rank", Role::Service},
    {10, "state", Role::Residence, "State of residence"},
    {10, "capture", Role::Capture},
    {10, "camp name", Role::Camp},
    {10, "city served by camp", Role::Camp},
    {10, "camp region", Role::Camp},
    {10, "camp reg", Role::Camp},
    {10, "camp country", Role::Camp},
    {10, "capture area", Role::CaptureNote},
    {10, "detail", Role::CaptureNote},
    {10, "pow status", Role::CaptureNote},
    {10, "closed", Role::CaptureNote},
    {10, "source type", Role::CaptureNote},
    // The graves.
    {11, "inducted from", Role::Residence, "Inducted from"},
    {11, "rank", Role::Service},
    {11, "combat organization", Role::Service},
    {11, "combat org", Role::Service},
    {11, "war", Role::Service},
    {11, "us awards", Role::Service},
    {11, "foreign awards", Role::Service},
    {11, "monument", Role::Cemetery},
    {11, "city", Role::BurialCity},
    {11, "state", Role::BurialState},
    {11, "country", Role::BurialCountry},
    // The Vietnam memorial.
    {12, "rank", Role::Service},
    {12, "pay grade", Role::Service},
    {12, "organization", Role::Service},
    {12, "city", Role::ResidenceTown, "Home of record"},
    {12, "state", Role::ResidenceState, "Home of record"},
    // The wills.
    {13, "place", Role::Residence, "Abode"},
    {13, "former abode", Role::Residence, "Former abode"},
    {13, "date", Role::Grant},
    {13, "will or administration", Role::GrantKind},
    {13, "registry", Role::GrantNote},
    {13, "executors or administrators", Role::GrantNote},
    {13, "relationship", Role::GrantNote},
    {13, "effects", Role::GrantNote},
    // The Revolutionary War.
    {14, "company", Role::Service},
    {14, "unit", Role::Service},
    {14, "starting rank", Role::Service},
    {14, "ending rank", Role::Service},
    {14, "state", Role::Service},
    {14, "misc", Role::Service},
    {14, "city", Role::BurialCity},
    {14, "state or province", Role::BurialState},
    {14, "country", Role::BurialCountry},
};

// A heading as the rules name it: lower case, blanks around dropped, runs
// of blanks as one.
std::string Folded(const std::string& heading) {
    std::string folded;
    for (char c : Trimmed(heading)) {
        if (IsBlankOrTab(c)) {
            if (!folded.empty() && folded.back() != ' ') folded += ' ';
        } else {
            folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return folded;
}

const Rule* RuleOf(int code, const std::string& heading) {
    const std::string folded = Folded(heading);
    const Rule* general = nullptr;
    for (const Rule& rule : kRules) {
        if (folded != rule.heading) continue;
        if (rule.code == code) return &rule;
        if (rule.code == kAny && general == nullptr) general = &rule;
    }
    return general;
}

struct RoledField {
    std::string heading;
    std::string text;  // not blank
    const Rule* rule;
};

std::vector<RoledField> RoledFields(const FoundPerson& person) {
    std::vector<RoledField> roled;
    for (const HeadedField& field : whole_record::FieldsOf(person)) {
        if (field.text.empty()) continue;
        const Rule* rule = RuleOf(person.code, field.heading);
        if (rule != nullptr) roled.push_back(RoledField{field.heading, field.text, rule});
    }
    return roled;
}

std::string Line(const RoledField& field) { return field.heading + ": " + field.text; }

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool StartsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

// The parts of a place from the smallest out, a part that repeats the one
// before it ("Mukden, Mukden") once.
std::string JoinedPlace(const std::vector<std::string>& parts) {
    std::string place;
    const std::string* last = nullptr;
    for (const std::string& part : parts) {
        if (part.empty() || (last != nullptr && Lower(part) == Lower(*last))) continue;
        place += (place.empty() ? "" : ", ") + part;
        last = &part;
    }
    return place;
}

// A place too long for a tree's place stays in the note alone.
void SetPlace(PersonEvent& event, const std::string& place) {
    if (place.size() <= event_fields::kMaxPlace) event.place = place;
}

// The date and the place of an event from fields that each give one, the
// other or both; what the fields hold besides goes to the note.
PersonEvent DatedEvent(const char* tag, const std::vector<const RoledField*>& fields) {
    PersonEvent event{tag, {}, {}, {}, {}, {}};
    bool stated = false;
    for (const RoledField* field : fields) {
        event_fields::EventField read;
        if (!event_fields::ReadEventField(field->text, read)) {
            event.note.push_back(Line(*field));
            continue;
        }
        if (event.date.empty() && !read.date.empty()) event.date = read.date;
        if (event.place.empty() && !read.place.empty()) event.place = read.place;
        stated = stated || !read.date.empty() || !read.place.empty();
        if (!read.whole) event.note.push_back(Line(*field));
    }
    if (!stated) event.tag.clear();
    return event;
}

// A married state or a widowhood, which says who the person was, not what
// they did.
bool IsMarriedState(const std::string& description) {
    const std::string lower = Lower(Trimmed(description));
    for (const char* state : {"widow", "widower", "spinster", "bachelor", "wife", "relict"}) {
        if (lower == state) return true;
    }
    return StartsWith(lower, "wife of ") || StartsWith(lower, "widow of ") || StartsWith(lower, "relict of ");
}

// The cemetery's name, without the grave's section, row and site after it.
std::string CemeteryName(const std::string& text) {
    const std::string lower = Lower(text);
    std::size_t cut = text.size();
    for (const char* mark : {", section", ", row", ", site", ", grave", ", plot"}) {
        const std::size_t at = lower.find(mark);
        if (at != std::string::npos && at < cut) cut = at;
    }
    return Trimmed(text.substr(0, cut));
}

template <class Keep>
std::vector<const RoledField*> Having(const std::vector<RoledField>& fields, Keep keep) {
    std::vector<const RoledField*> kept;
    for (const RoledField& field : fields) {
        if (keep(field.rule->role)) kept.push_back(&field);
    }
    return kept;
}

std::vector<const RoledField*> WithRole(const std::vector<RoledField>& fields, Role role) {
    return Having(fields, [role](Role its) { return its == role; });
}

std::vector<std::string> Lines(const std::vector<const RoledField*>& fields) {
    std::vector<std::string> lines;
    for (const RoledField* field : fields) lines.push_back(Line(*field));
    return lines;
}

void AddBirthAndResidences(const std::vector<RoledField>& fields, std::vector<PersonEvent>& events) {
    PersonEvent birth = DatedEvent("BIRT", WithRole(fields, Role::Birth));
    if (!birth.tag.empty()) events.push_back(birth);
    for (const RoledField* field : WithRole(fields, Role::Residence)) {
        PersonEvent residence{"RESI", field->rule->detail, {}, {}, {}, {}};
        SetPlace(residence, field->text);
        if (residence.place.empty()) residence.note.push_back(Line(*field));
        events.push_back(residence);
    }
    const std::vector<const RoledField*> town = WithRole(fields, Role::ResidenceTown);
    const std::vector<const RoledField*> state = WithRole(fields, Role::ResidenceState);
    if (!town.empty() || !state.empty()) {
        const RoledField* first = !town.empty() ? town.front() : state.front();
        PersonEvent residence{"RESI", first->rule->detail, {}, {}, {}, {}};
        SetPlace(residence, JoinedPlace({town.empty() ? "" : town.front()->text,
                                         state.empty() ? "" : state.front()->text}));
        events.push_back(residence);
    }
}

void AddOccupations(const std::vector<RoledField>& fields, std::vector<PersonEvent>& events) {
    for (const RoledField* field : WithRole(fields, Role::Occupation)) {
        if (IsMarriedState(field->text)) continue;
        PersonEvent occupation{"OCCU", {}, field->text, {}, {}, {}};
        events.push_back(occupation);
    }
}

void AddService(const std::vector<RoledField>& fields, std::vector<PersonEvent>& events) {
    const std::vector<std::string> service = Lines(WithRole(fields, Role::Service));
    if (!service.empty()) events.push_back(PersonEvent{"EVEN", "Military Service", {}, {}, {}, service});

    const std::vector<const RoledField*> deed = WithRole(fields, Role::Deed);
    const std::vector<const RoledField*> citation = WithRole(fields, Role::DeedCitation);
    if (!deed.empty() || !citation.empty()) {
        PersonEvent medal = DatedEvent("EVEN", deed);
        medal.tag = "EVEN";
        medal.type = "Medal of Honor";
        // The citation as the record words it, then the award's particulars.
        std::vector<std::string> note;
        for (const RoledField* field : citation) note.push_back(field->text);
        note.insert(note.end(), medal.note.begin(), medal.note.end());
        for (const std::string& line : Lines(WithRole(fields, Role::DeedNote))) note.push_back(line);
        medal.note = note;
        events.push_back(medal);
    }

    const std::vector<const RoledField*> capture = WithRole(fields, Role::Capture);
    const std::vector<const RoledField*> camp = WithRole(fields, Role::Camp);
    if (!capture.empty() || !camp.empty()) {
        PersonEvent prisoner = DatedEvent("EVEN", capture);
        prisoner.tag = "EVEN";
        prisoner.type = "Prisoner of War";
        std::vector<std::string> parts;
        for (const RoledField* field : camp) parts.push_back(field->text);
        SetPlace(prisoner, JoinedPlace(parts));
        if (prisoner.place.empty()) {
            for (const std::string& line : Lines(camp)) prisoner.note.push_back(line);
        }
        for (const std::string& line : Lines(WithRole(fields, Role::CaptureNote)))
            prisoner.note.push_back(line);
        events.push_back(prisoner);
    }
}

void AddDeathAndBurial(const std::vector<RoledField>& fields, std::vector<PersonEvent>& events) {
    // A status that is not of a death (missing in action) makes the date
    // no date of death.
    bool dead = true;
    const std::vector<const RoledField*> status = WithRole(fields, Role::DeathStatus);
    for (const RoledField* field : status) {
        const std::string lower = Lower(field->text);
        dead = dead && (StartsWith(lower, "killed") || StartsWith(lower, "died"));
    }
    PersonEvent death = DatedEvent("DEAT", WithRole(fields, Role::Death));
    if (dead && !death.tag.empty()) {
        for (const std::string& line : Lines(status)) death.note.push_back(line);
        events.push_back(death);
    }

    const std::vector<const RoledField*> cemetery = WithRole(fields, Role::Cemetery);
    if (cemetery.empty()) return;
    PersonEvent burial{"BURI", {}, {}, {}, {}, {}};
    std::vector<std::string> parts = {CemeteryName(cemetery.front()->text)};
    for (Role role : {Role::BurialCity, Role::BurialState, Role::BurialCountry}) {
        const std::vector<const RoledField*> part = WithRole(fields, role);
        if (!part.empty()) parts.push_back(part.front()->text);
    }
    SetPlace(burial, JoinedPlace(parts));
    burial.note = Lines(cemetery);
    for (const std::string& line : Lines(WithRole(fields, Role::BurialNote))) burial.note.push_back(line);
    events.push_back(burial);
}

void AddProbate(const std::vector<RoledField>& fields, std::vector<PersonEvent>& events) {
    const std::vector<const RoledField*> grant = WithRole(fields, Role::Grant);
    const std::vector<const RoledField*> kind = WithRole(fields, Role::GrantKind);
    if (grant.empty() && kind.empty()) return;
    PersonEvent probate = DatedEvent("PROB", grant);
    probate.tag = "PROB";
    if (!kind.empty()) probate.type = kind.front()->text;
    const std::vector<const RoledField*> notes = WithRole(fields, Role::GrantNote);
    for (const RoledField* field : notes) {
        // A district registry is named by its town; the Principal Registry is no place.
        if (Folded(field->heading) == "registry" && Lower(field->text).find("registry") == std::string::npos)
            SetPlace(probate, field->text);
        probate.note.push_back(Line(*field));
    }
    events.push_back(probate);
    if (!kind.empty() && Lower(kind.front()->text).find("will") != std::string::npos)
        events.push_back(PersonEvent{"WILL", {}, {}, {}, {}, {Line(*kind.front())}});
}

}  // namespace

std::vector<PersonEvent> EventsOf(const FoundPerson& person) {
    const std::vector<RoledField> fields = RoledFields(person);
    std::vector<PersonEvent> events;
    AddBirthAndResidences(fields, events);
    AddOccupations(fields, events);
    AddService(fields, events);
    AddDeathAndBurial(fields, events);
    AddProbate(fields, events);
    return events;
}

std::vector<std::string> NotesOf(const FoundPerson& person) {
    std::vector<std::string> notes;
    for (const RoledField& field : RoledFields(person)) {
        if (field.rule->role == Role::PersonNote ||
            (field.rule->role == Role::Occupation && IsMarriedState(field.text)))
            notes.push_back(Line(field));
    }
    return notes;
}

}  // namespace person_events
