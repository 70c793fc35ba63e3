#include "platform/message_box.h"

#include <cstdio>
#include <cstring>

namespace platform {
namespace {

struct Installed {
    MessageBoxHandler handler = nullptr;
    void* context = nullptr;
};

// The one process-wide service slot: the program installs its implementation once at start.
Installed& Slot() {
    static Installed installed;
    return installed;
}

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler, void* context) {
    Slot().handler = handler;
    Slot().context = context;
}

MessageAnswer ShowMessageBox(const char* text, const char* caption, MessageButtons buttons, MessageIcon icon,
                             const char* details) {
    const Installed& installed = Slot();
    if (text == nullptr) text = "";
    if (details == nullptr) details = "";
    if (installed.handler != nullptr) {
        return installed.handler(text, caption, buttons, icon, details, installed.context);
    }
    return StderrMessageBox(text, caption, buttons, icon, details, nullptr);
}

void Tell(const std::vector<std::string>& texts, const std::string& details) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const bool last = i + 1 == texts.size();
        ShowMessageBox(texts[i].c_str(), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation,
                       last ? details.c_str() : "");
    }
}

MessageAnswer Ask(const char* text, const std::string& details) {
    return ShowMessageBox(text, kAppTitle, MessageButtons::OkCancel, MessageIcon::Exclamation,
                          details.c_str());
}

namespace {

// Messages such as "query error: ...\n" bring their own line end.
void PutLine(const char* text) {
    std::fputs(text, stderr);
    const std::size_t length = std::strlen(text);
    if (length == 0 || text[length - 1] != '\n') std::fputc('\n', stderr);
}

}  // namespace

MessageAnswer StderrMessageBox(const char* text, const char* /*caption*/, MessageButtons buttons,
                               MessageIcon /*icon*/, const char* details, void* /*context*/) {
    PutLine(text);
    if (details != nullptr && details[0] != '\0') PutLine(details);
    std::fflush(stderr);
    return buttons == MessageButtons::OkCancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

}  // namespace platform
