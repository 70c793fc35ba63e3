#include "support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/process_exit.h"
#include "store/csv_reader.h"

namespace testing_support {

ScriptedResponder::ScriptedResponder() { platform::SetMessageBoxHandler(&Respond, this); }

ScriptedResponder::~ScriptedResponder() { platform::SetMessageBoxHandler(nullptr, nullptr); }

void ScriptedResponder::Script(std::initializer_list<platform::MessageAnswer> answers) {
    script_.assign(answers.begin(), answers.end());
}

std::vector<std::string> ScriptedResponder::Texts() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : shown_) texts.push_back(box.text);
    return texts;
}

platform::MessageAnswer ScriptedResponder::Respond(const char* text, const char* caption,
                                                   platform::MessageButtons buttons,
                                                   platform::MessageIcon icon, const char* details,
                                                   void* context) {
    auto* self = static_cast<ScriptedResponder*>(context);
    ShownBox box{text, caption != nullptr ? caption : "<none>", buttons, icon, details};
    self->shown_.push_back(box);
    if (self->onShow) self->onShow(box);
    if (!self->script_.empty()) {
        platform::MessageAnswer answer = self->script_.front();
        self->script_.pop_front();
        return answer;
    }
    return buttons == platform::MessageButtons::OkCancel ? platform::MessageAnswer::Cancel
                                                         : platform::MessageAnswer::Ok;
}

namespace {
void ThrowOnExit(int status) { throw ProcessExited{status}; }
}  // namespace

ExitCatcher::ExitCatcher() { platform::SetExitHandler(&ThrowOnExit); }
ExitCatcher::~ExitCatcher() { platform::SetExitHandler(nullptr); }

TempDir::TempDir(const std::string& parent) {
    const std::filesystem::path folder =
        parent.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(parent);
    std::string pattern = (folder / "chronara-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    if (value != nullptr) {
        ::setenv(name, value, 1);
    } else {
        ::unsetenv(name);
    }
}

ScopedEnv::~ScopedEnv() {
    if (had_) {
        ::setenv(name_.c_str(), old_.c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
}

bool ReadCsvRows(const std::string& text, std::vector<std::vector<std::string>>& rows, std::string& error) {
    CCsvReader reader(text);
    rows.clear();
    std::vector<std::string> fields;
    CCsvReader::Result result;
    while ((result = reader.Next(fields)) == CCsvReader::Result::Row) rows.push_back(fields);
    error = reader.Error();
    return result == CCsvReader::Result::End;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Int32Bytes(std::int32_t value) {
    std::string bytes(4, '\0');
    PutInt32(bytes, 0, value);
    return bytes;
}

std::int32_t Int32At(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(at + i))) << (8 * i);
    }
    return static_cast<std::int32_t>(value);
}

void PutInt32(std::string& bytes, std::size_t at, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace testing_support
