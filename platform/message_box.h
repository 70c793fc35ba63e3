#pragma once
// Modal message boxes, as a replaceable service.
//
// The core shows nothing: it hands its messages up as values, and the
// programs show them through ShowMessageBox. Each program installs the
// implementation that suits it: the viewer shows its own dialogs, the
// command-line tools write to stderr, the tests record every box and answer
// from a script. Without an installed handler a box is written to stderr and
// answered like the tools do.

#include <string>
#include <vector>

namespace platform {

enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { None, Exclamation, Information };
// Failed stands for a box that could not be shown at all.
enum class MessageAnswer { Ok, Cancel, Failed };

// The caption of every box the program shows, except "Couldn't load background".
inline constexpr const char kAppTitle[] = "Chronara";

// caption may be null: the platform's default caption is then used.
// details, never null, is empty or says more than text for whoever asks:
// which file could not be opened, and why (a box's "Show Details...", a
// second line on standard error).
using MessageBoxHandler = MessageAnswer (*)(const char* text, const char* caption, MessageButtons buttons,
                                            MessageIcon icon, const char* details, void* context);

// Installs handler (null restores the default); returns nothing. The context
// pointer is handed back to the handler on every call and is not owned.
void SetMessageBoxHandler(MessageBoxHandler handler, void* context);

MessageAnswer ShowMessageBox(const char* text, const char* caption, MessageButtons buttons, MessageIcon icon,
                             const char* details = nullptr);

// The program's own boxes, captioned kAppTitle with the exclamation icon:
// Tell shows each text in turn with an OK button; Ask shows one with OK and
// Cancel and gives the answer. details go with the last text of Tell.
void Tell(const std::vector<std::string>& texts, const std::string& details = std::string());
MessageAnswer Ask(const char* text, const std::string& details = std::string());

// The stderr implementation used by the command-line tools: prints the text,
// then the details on a line of their own, and answers Cancel to OK/Cancel
// boxes, OK otherwise.
MessageAnswer StderrMessageBox(const char* text, const char* caption, MessageButtons buttons,
                               MessageIcon icon, const char* details, void* context);

}  // namespace platform
