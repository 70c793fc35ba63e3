#include "tools/query/query_find_output.h"

#include "browse/export/found_csv.h"
#include "browse/export/hit_export.h"
#include "browse/record_search/match_snippet.h"
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

// The labels of the fields where a person matched, each once, in field order.
std::vector<record_fields::FieldLabel> MatchedLabels(const RecordHit& person) {
    std::vector<record_fields::FieldLabel> labels;
    for (const FieldHit& hit : person.hits) {
        const record_fields::FieldLabel label = record_fields::LabelOfSlot(person.code, hit.slot);
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
                text += "      " + LabelText(record_fields::LabelOfSlot(person.code, hit.slot)) + ": " +
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
            text += "], \"matched\": [";
            const std::vector<record_fields::FieldLabel> labels = MatchedLabels(person);
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

}  // namespace

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
