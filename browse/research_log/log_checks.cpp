#include "browse/research_log/log_checks.h"

#include "browse/research_log/disk_identity.h"
#include "browse/research_log/log_messages.h"
#include "browse/research_log/log_rows.h"
#include "store/catalogue.h"
#include "store/disk_format.h"

namespace research_log {
namespace log_checks {

using log_rows::IsKeepable;

bool Refuse(LogOutcome& outcome, const std::string& path, const std::string& why) {
    outcome.error = LogError{LogErrorKind::Refused, path, why};
    outcome.messages.push_back(log_messages::ErrorText(outcome.error));
    return false;
}

LogOutcome TurnedOff(const std::string& path) {
    LogOutcome outcome;
    outcome.error = LogError{LogErrorKind::TurnedOff, path, std::string()};
    outcome.messages.push_back(log_messages::ErrorText(outcome.error));
    return outcome;
}

bool CheckAsked(const AskedSearch& asked, std::int64_t count, LogOutcome& outcome, const std::string& path) {
    if (asked.database != kAllDatabases && catalogue::CodeOfStem(asked.database.c_str()) == 0)
        return Refuse(outcome, path, "there is no database " + asked.database);
    for (const std::string* text : {&asked.surname, &asked.firstName, &asked.query, &asked.field}) {
        if (!IsKeepable(*text, kMaxAskedPart)) {
            return Refuse(outcome, path,
                          "a search's text is longer than " + std::to_string(kMaxAskedPart) +
                              " characters or holds a control character");
        }
    }
    for (const std::string& word : asked.options) {
        if (!log_rows::IsOptionWord(word))
            return Refuse(outcome, path, "the option '" + word + "' is no word");
    }
    if (asked.yearFrom < 0 || asked.yearFrom > 9999 || asked.yearTo < 0 || asked.yearTo > 9999)
        return Refuse(outcome, path, "years are 0 to 9999");
    if (count < 0) return Refuse(outcome, path, "a count is never negative");
    return true;
}

bool CheckDisk(const DiskIdentity& disk, LogOutcome& outcome, const std::string& path) {
    if (!IsFingerprint(disk.fingerprint))
        return Refuse(outcome, path, "the disk is not known by its fingerprint");
    if (!IsKeepable(disk.label.name, disk_label::kMaxLabelText) ||
        !IsKeepable(disk.label.version, disk_label::kMaxLabelText)) {
        return Refuse(outcome, path, "the disk's label cannot be kept");
    }
    return true;
}

bool CheckPlace(int code, std::int32_t entry, LogOutcome& outcome, const std::string& path) {
    if (catalogue::StemOf(code) == nullptr)
        return Refuse(outcome, path, "there is no database " + std::to_string(code));
    if (entry < 0) return Refuse(outcome, path, "an entry is never negative");
    return true;
}

bool CheckPerson(const PersonOnDisk& person, const std::string* note, LogOutcome& outcome,
                 const std::string& path) {
    if (!CheckPlace(person.code, person.entry, outcome, path)) return false;
    if (person.surname.empty() || !IsKeepable(person.surname, disk_format::kMaxKeySurname))
        return Refuse(outcome, path, "the surname cannot be kept");
    if (!IsKeepable(person.givenNames, disk_format::kGivenNamesSize - 1))
        return Refuse(outcome, path, "the given names cannot be kept");
    if (person.summary.size() > kMaxSummary) return Refuse(outcome, path, "the summary is too long");
    if (note != nullptr && !IsKeepable(*note, kMaxNote)) {
        return Refuse(outcome, path,
                      "a note is one line of at most " + std::to_string(kMaxNote) +
                          " characters, without tabs or control characters");
    }
    return true;
}

std::string KeptSummary(std::string summary) {
    for (char& c : summary) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return summary;
}

}  // namespace log_checks
}  // namespace research_log
