#include "browse/research_log/asked_text.h"

namespace research_log {
namespace {

bool IsMatchWord(const std::string& word) {
    for (const char* known : {"exact", "prefix", "pattern", "soundex", "dm", "close"}) {
        if (word == known) return true;
    }
    return false;
}

void Add(std::string& text, const std::string& part) {
    if (!text.empty()) text += ", ";
    text += part;
}

}  // namespace

std::string AskedText(const AskedSearch& asked) {
    std::string text;
    switch (asked.kind) {
        case SearchKind::Surname:
            Add(text, "surname " + asked.surname);
            if (asked.hasFirstName) Add(text, "first name " + asked.firstName);
            for (const std::string& option : asked.options)
                Add(text, option == "variants" ? "name variants" : option);
            break;
        case SearchKind::List:
            Add(text, "list " + asked.surname);
            for (const std::string& option : asked.options)
                Add(text, IsMatchWord(option) ? "match " + option : option);
            break;
        case SearchKind::Find:
            if (!asked.query.empty()) Add(text, "find " + asked.query);
            if (!asked.field.empty()) Add(text, "field " + asked.field);
            if (asked.yearFrom != 0 && asked.yearFrom == asked.yearTo) {
                Add(text, "year " + std::to_string(asked.yearFrom));
            } else if (asked.yearFrom != 0 || asked.yearTo != 0) {
                Add(text, "years " + (asked.yearFrom != 0 ? std::to_string(asked.yearFrom) : std::string()) +
                              "-" + (asked.yearTo != 0 ? std::to_string(asked.yearTo) : std::string()));
            }
            for (const std::string& option : asked.options) Add(text, option);
            if (text.empty()) text = "find";
            break;
    }
    return text;
}

}  // namespace research_log
