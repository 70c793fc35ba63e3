#include "platform/message_box.h"

#include <cstdio>

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

MessageAnswer ShowMessageBox(const char* text, const char* caption, MessageButtons buttons,
                             MessageIcon icon) {
    const Installed& installed = Slot();
    if (installed.handler != nullptr) {
        return installed.handler(text != nullptr ? text : "", caption, buttons, icon, installed.context);
    }
    return StderrMessageBox(text != nullptr ? text : "", caption, buttons, icon, nullptr);
}

void Tell(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        ShowMessageBox(text.c_str(), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    }
}

MessageAnswer Ask(const char* text) {
    return ShowMessageBox(text, kAppTitle, MessageButtons::OkCancel, MessageIcon::Exclamation);
}

MessageAnswer StderrMessageBox(const char* text, const char* /*caption*/, MessageButtons buttons,
                               MessageIcon /*icon*/, void* /*context*/) {
    std::fputs(text, stderr);
    // Messages such as "query error: ...\n" bring their own line end.
    const char* end = text;
    while (*end != '\0') ++end;
    if (end == text || end[-1] != '\n') std::fputc('\n', stderr);
    std::fflush(stderr);
    return buttons == MessageButtons::OkCancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

}  // namespace platform
