#pragma once
// Shared test fixtures: a scripted message-box responder that records every
// box, an exit handler that throws, and scratch folders.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace testing_support {

struct ShownBox {
    std::string text;
    std::string caption;  // "<none>" when the caller passed no caption
    platform::MessageButtons buttons;
    platform::MessageIcon icon;
    std::string details;
};

// Installs itself as the message-box service for its lifetime. Answers
// come from the script in order; when it runs out, OK boxes get Ok and
// OK/Cancel boxes get Cancel. onShow, when set, runs before each answer
// (for example to put the data disk back while the prompt is up).
class ScriptedResponder {
public:
    ScriptedResponder();
    ~ScriptedResponder();
    ScriptedResponder(const ScriptedResponder&) = delete;
    ScriptedResponder& operator=(const ScriptedResponder&) = delete;

    void Script(std::initializer_list<platform::MessageAnswer> answers);
    std::function<void(const ShownBox&)> onShow;

    const std::vector<ShownBox>& Shown() const { return shown_; }
    std::vector<std::string> Texts() const;
    void Clear() { shown_.clear(); }

private:
    static platform::MessageAnswer Respond(const char* text, const char* caption,
                                           platform::MessageButtons buttons, platform::MessageIcon icon,
                                           const char* details, void* context);
    std::deque<platform::MessageAnswer> script_;
    std::vector<ShownBox> shown_;
};

// Thrown by the exit handler that ExitCatcher installs.
struct ProcessExited {
    int status;
};

class ExitCatcher {
public:
    ExitCatcher();
    ~ExitCatcher();
};

// A fresh folder under the system temp folder (or under parent), removed
// with its content.
class TempDir {
public:
    explicit TempDir(const std::string& parent = std::string());
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    // Path of name inside the folder.
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Sets an environment variable for its lifetime (null value unsets it).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();

private:
    std::string name_;
    bool had_;
    std::string old_;
};

std::string ReadFileBytes(const std::string& path);

// The rows of a CSV text, read by the project's own strict reader; false
// with the reader's error when the text is not well-formed CSV.
bool ReadCsvRows(const std::string& text, std::vector<std::vector<std::string>>& rows, std::string& error);
// Signed 32-bit little-endian integers, as the database files hold them.
std::string Int32Bytes(std::int32_t value);
std::int32_t Int32At(const std::string& bytes, std::size_t at);
void PutInt32(std::string& bytes, std::size_t at, std::int32_t value);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// An index of no surnames: root and spare field -1, then the signature byte.
inline std::string EmptyIndexBytes() { return std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x04", 9); }

}  // namespace testing_support
