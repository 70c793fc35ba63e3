#include "browse/research_log/log_messages.h"

#include "store/catalogue.h"

namespace research_log {
namespace log_messages {

std::string ErrorText(const LogError& error) {
    const std::string& path = error.path;
    const std::string detail = error.detail.empty() ? std::string() : ": " + error.detail;
    switch (error.kind) {
        case LogErrorKind::None:
            return std::string();
        case LogErrorKind::NoFolder:
            return "The research log cannot be kept" + detail + ".";
        case LogErrorKind::NotWritable:
            return "The research log " + path + " cannot be kept" + detail + ".";
        case LogErrorKind::Full:
            return "The research log " + path + " cannot be kept: the disk is full.";
        case LogErrorKind::Busy:
            return "The research log " + path + " is busy" + detail + ".";
        case LogErrorKind::Newer:
            return "The research log " + path +
                   " was written by a newer version of Chronara; this version reads it but does not change "
                   "it.";
        case LogErrorKind::TurnedOff:
            return "The research log is turned off.";
        case LogErrorKind::Refused:
            return "The research log did not keep it" + detail + ".";
        case LogErrorKind::Damaged:
            return "The research log " + path + " " + error.detail + ".";
        case LogErrorKind::Failed:
            return "The research log " + path + " failed" + detail + ".";
    }
    return std::string();
}

std::string MovedAside(const std::string& path, const std::string& aside, const std::string& why) {
    return "The research log " + path + " " + why + "; it was moved to " + aside + ", and a new log begins.";
}

std::string Skipped(std::int64_t count, const char* what, const char* whatPlural, const std::string& path) {
    const bool one = count == 1;
    return std::to_string(count) + " " + (one ? what : whatPlural) + " of the research log " + path +
           (one ? " could not be read and is left out." : " could not be read and are left out.");
}

std::string NotOnDisk(const PersonOnDisk& person) {
    const char* title = catalogue::NameOfCode(person.code);
    const std::string name =
        person.givenNames.empty() ? person.surname : person.surname + ", " + person.givenNames;
    return "The saved person " + name + " (" + (title != nullptr ? title : "no database") + ", entry " +
           std::to_string(person.entry) + ") is not at that entry of this disk; they are left out.";
}

}  // namespace log_messages
}  // namespace research_log
