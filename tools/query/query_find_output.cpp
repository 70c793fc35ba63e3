#include "tools/query/query_find_output.h"

#include "browse/export/found_csv.h"
#include "browse/export/hit_export.h"
#include "browse/record_search/match_snippet.h"
#include "browse/record_text/whole_record.h"
#include "store/catalogue.h"
#include "store/cp1252.h"

namespace query_tool {
namespace {

class Writer {
public:
    explicit Writer(bool raw) : raw_(raw) {}
    std::string Text(const std::string& windows1252) const {
        return raw_ ? windows1252 : cp1252::ToUtf8(windows1252);
    }

private:
    bool raw_;
};

// How the answer names a slot of a person where they matched.
record_fields::FieldLabel LabelOf(const FindAnswer& answer, const RecordHit& person, int slot) {
    const auto known = answer.headings.find(person.code);
    return record_fields::LabelOfSlot(
        known != answer.headings.end() ? known->second : FieldHeadings(person.code), slot);
}

// The labels of the fields where a person matched, each once, in field order.
std::vector<record_fields::FieldLabel> MatchedLabels(const FindAnswer& answer, const RecordHit& person) {
    std::vector<record_fields::FieldLabel> labels;
    for (const FieldHit& hit : person.hits) {
        const record_fields::FieldLabel label = LabelOf(answer, person, hit.slot);
        bool seen = false;
        for (const record_fields::FieldLabel& known : labels) seen = seen || known == label;
        if (!seen) labels.push_back(label);
    }
    return labels;
}

std::string LabelText(const record_fields::FieldLabel& label) {
    return label.heading.empty() ? "field " + std::to_string(label.number) : label.heading;
}

const std::string* SlotText(const RecordHit& person, int slot) {
    if (slot == record_fields::kSurnameSlot) return &person.surname;
    if (slot == record_fields::kGivenSlot) return &person.givenNames;
    const auto k = static_cast<std::size_t>(slot - record_fields::kFirstRecordSlot);
    return k < person.fields.size() ? &person.fields[k] : nullptr;
}

std::string CountLine(const FindAnswer& answer) {
    std::string line =
        std::to_string(answer.total) + (answer.total == 1 ? " person found." : " people found.");
    if (answer.listed < answer.total) line += " The first " + std::to_string(answer.listed) + " are shown.";
    return line;
}

std::string AsText(const std::vector<FindAnswer>& answers, bool batch, const Writer& out) {
    std::string text;
    for (const FindAnswer& answer : answers) {
        text += batch ? "\"" + out.Text(answer.query) + "\": " + CountLine(answer) + "\n"
                      : CountLine(answer) + "\n";
        for (std::size_t i = 0; i < answer.people.size(); ++i) {
            const RecordHit& person = answer.people[i];
            if (i == 0 || person.code != answer.people[i - 1].code) {
                text += std::string(catalogue::NameOfCode(person.code)) + " (" +
                        catalogue::StemOf(person.code) + ")\n";
            }
            text += "  " + std::to_string(person.entry) + "  " + out.Text(person.surname) + ", " +
                    out.Text(person.givenNames) + "  (" + out.Text(person.summary) + ")\n";
            for (const FieldHit& hit : person.hits) {
                const std::string* field = SlotText(person, hit.slot);
                if (field == nullptr) continue;
                text += "      " + LabelText(LabelOf(answer, person, hit.slot)) + ": " +
                        out.Text(match_snippet::Build(*field, hit.positions)) + "\n";
            }
        }
    }
    return text;
}

std::string AsTsv(const std::vector<FindAnswer>& answers, bool batch, const Writer& out) {
    std::string text;
    for (const FindAnswer& answer : answers) {
        for (const RecordHit& person : answer.people) {
            if (batch) text += out.Text(answer.query) + "\t";
            text += std::string(catalogue::StemOf(person.code)) + "\t" + std::to_string(person.entry) + "\t" +
                    out.Text(person.surname) + "\t" + out.Text(person.givenNames) + "\t" +
                    out.Text(person.summary) + "\n";
        }
    }
    return text;
}

std::string AsCount(const std::vector<FindAnswer>& answers, bool batch, const Writer& out) {
    std::string text;
    for (const FindAnswer& answer : answers) {
        if (batch) text += out.Text(answer.query) + "\t";
        text += std::to_string(answer.listed) + "\n";
    }
    return text;
}

std::string AsJson(const std::vector<FindAnswer>& answers, bool batch) {
    using hit_export::JsonString;
    std::string text = "[";
    bool first = true;
    for (const FindAnswer& answer : answers) {
        for (const RecordHit& person : answer.people) {
            text += first ? "\n  {" : ",\n  {";
            first = false;
            if (batch) text += "\"query\": " + JsonString(answer.query) + ", ";
            text += "\"database\": " + JsonString(catalogue::StemOf(person.code)) +
                    ", \"title\": " + JsonString(catalogue::NameOfCode(person.code)) +
                    ", \"entry\": " + std::to_string(person.entry) +
                    ", \"surname\": " + JsonString(person.surname) +
                    ", \"given_names\": " + JsonString(person.givenNames) +
                    ", \"summary\": " + JsonString(person.summary) + ", \"fields\": [";
            for (std::size_t k = 0; k < person.fields.size(); ++k)
                text += (k == 0 ? "" : ", ") + JsonString(person.fields[k]);
            text += "], \"headings\": [";
            for (std::size_t k = 0; k < person.fields.size(); ++k)
                text += (k == 0 ? "" : ", ") + JsonString(whole_record::HeadingOf(person, k));
            text += "], \"matched\": [";
            const std::vector<record_fields::FieldLabel> labels = MatchedLabels(answer, person);
            for (std::size_t k = 0; k < labels.size(); ++k) {
                text += k == 0 ? "" : ", ";
                text += labels[k].heading.empty() ? std::to_string(labels[k].number)
                                                  : JsonString(labels[k].heading);
            }
            text += "]}";
        }
    }
    return text + (first ? "]\n" : "\n]\n");
}

std::string AsCsv(const std::vector<FindAnswer>& answers, bool batch) {
    CFoundCsv csv(batch);
    for (const FindAnswer& answer : answers) {
        for (const RecordHit& person : answer.people) csv.Survey(person);
    }
    std::string text = csv.Header();
    for (const FindAnswer& answer : answers) {
        for (const RecordHit& person : answer.people) text += csv.Row(person, answer.query);
    }
    return text;
}

// A value on a line of its own: its tabs and line breaks as blanks, so that
// a field can never add a column or a line.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

// One line of a facet: its members, named for JSON, in order.
struct FacetLine {
    std::vector<std::pair<const char*, std::string>> texts;  // Windows-1252
    std::int64_t count = 0;
};

std::vector<FacetLine> FacetLines(FacetKind kind, const facets::FacetCounts& counts) {
    std::vector<FacetLine> lines;
    switch (kind) {
        case FacetKind::Database:
            for (const facets::DatabaseCount& one : counts.databases) {
                lines.push_back(FacetLine{
                    {{"stem", catalogue::StemOf(one.code)}, {"title", catalogue::NameOfCode(one.code)}},
                    one.count});
            }
            break;
        case FacetKind::Years:
            for (const facets::YearCount& one : counts.years)
                lines.push_back(FacetLine{{{"year", std::to_string(one.year)}}, one.count});
            break;
        case FacetKind::Field:
            for (const facets::ValueCount& one : counts.values)
                lines.push_back(FacetLine{{{"value", one.value}}, one.count});
            break;
        case FacetKind::None:
            break;
    }
    return lines;
}

}  // namespace

std::string FormatFacets(FacetKind kind, FindFormat format, const facets::FacetCounts& counts, long limit,
                         bool raw) {
    std::vector<FacetLine> lines = FacetLines(kind, counts);
    if (limit >= 0 && static_cast<std::size_t>(limit) < lines.size())
        lines.resize(static_cast<std::size_t>(limit));
    std::string text;
    if (format == FindFormat::Json) {
        using hit_export::JsonString;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            text += i == 0 ? "[\n  {" : ",\n  {";
            for (const auto& [name, value] : lines[i].texts) {
                text += std::string("\"") + name +
                        "\": " + (kind == FacetKind::Years ? value : JsonString(value)) + ", ";
            }
            text += "\"count\": " + std::to_string(lines[i].count) + "}";
        }
        return text + (lines.empty() ? "[]\n" : "\n]\n");
    }
    const Writer out(raw);
    for (const FacetLine& line : lines) {
        for (const auto& one : line.texts) text += out.Text(OneLine(one.second)) + "\t";
        text += std::to_string(line.count) + "\n";
    }
    return text;
}

std::string FormatAnswers(FindFormat format, const std::vector<FindAnswer>& answers, bool batch, bool raw) {
    const Writer out(raw);
    switch (format) {
        case FindFormat::Text:
            return AsText(answers, batch, out);
        case FindFormat::Tsv:
            return AsTsv(answers, batch, out);
        case FindFormat::Count:
            return AsCount(answers, batch, out);
        case FindFormat::Json:
            return AsJson(answers, batch);
        case FindFormat::Csv:
            return AsCsv(answers, batch);
        case FindFormat::Gedcom:
            break;  // a family-tree file is written by its own writer (RunFind)
    }
    return std::string();
}

}  // namespace query_tool
