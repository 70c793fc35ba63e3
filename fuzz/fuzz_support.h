#pragma once
// What every fuzz target shares: the split of one input into the pieces a
// reader needs, quiet platform services that turn "wrong file format!" and
// its exit into an ordinary return, a scratch folder, and the check that
// fails a run loudly (abort) when a reader broke one of its promises.
//
// The targets are plain inline functions so that the libFuzzer programs and
// the regression test (compiled by gcc as well) run the very same code.

#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/process_exit.h"

namespace fuzz_support {

// Reads an input front to back; past its end every read yields zeros or
// empty texts, so any input, even an empty one, decodes.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }

    std::int32_t Int32() {
        std::uint32_t bits = 0;
        for (int shift = 0; shift < 32; shift += 8) bits |= static_cast<std::uint32_t>(Byte()) << shift;
        return static_cast<std::int32_t>(bits);
    }

    // A length byte (taken modulo maxLength + 1), then that many bytes.
    std::string Text(std::size_t maxLength) {
        const std::size_t length = Byte() % (maxLength + 1);
        return Take(length);
    }

    // A two-byte little-endian length, then that many bytes.
    std::string Blob() {
        const std::size_t length = static_cast<std::size_t>(Byte()) | (static_cast<std::size_t>(Byte()) << 8);
        return Take(length);
    }

    std::string Rest() { return Take(size_ - position_); }

private:
    std::string Take(std::size_t length) {
        const std::size_t available = size_ - position_;
        if (length > available) length = available;
        std::string bytes(reinterpret_cast<const char*>(data_ + position_), length);
        position_ += length;
        return bytes;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Builds inputs in the same layout, for the seed maker and the tests.
class ByteWriter {
public:
    ByteWriter& Byte(std::uint8_t value) {
        bytes_ += static_cast<char>(value);
        return *this;
    }
    ByteWriter& Int32(std::int32_t value) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) Byte(static_cast<std::uint8_t>((bits >> shift) & 0xFF));
        return *this;
    }
    // text must not be longer than the maxLength the reader will use.
    ByteWriter& Text(const std::string& text) {
        Byte(static_cast<std::uint8_t>(text.size()));
        bytes_ += text;
        return *this;
    }
    ByteWriter& Blob(const std::string& blob) {
        const std::size_t length = blob.size() < 0xFFFF ? blob.size() : 0xFFFF;
        Byte(static_cast<std::uint8_t>(length & 0xFF));
        Byte(static_cast<std::uint8_t>(length >> 8));
        bytes_.append(blob, 0, length);
        return *this;
    }
    ByteWriter& Raw(const std::string& bytes) {
        bytes_ += bytes;
        return *this;
    }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Thrown by the exit handler instead of ending the process.
struct ProcessExit {
    int status;
};

// Installs, for its lifetime, a message-box service that answers without
// showing anything (Cancel to OK/Cancel, so a missing disk never loops) and
// remembers whether "wrong file format!" was shown, and an exit handler that
// throws ProcessExit.
class QuietServices {
public:
    QuietServices() {
        platform::SetMessageBoxHandler(&Answer, this);
        platform::SetExitHandler(&Throw);
    }
    ~QuietServices() {
        platform::SetMessageBoxHandler(nullptr, nullptr);
        platform::SetExitHandler(nullptr);
    }
    QuietServices(const QuietServices&) = delete;
    QuietServices& operator=(const QuietServices&) = delete;

    bool WrongFormatShown() const { return wrongFormat_; }
    int BoxesShown() const { return boxes_; }
    const std::string& LastText() const { return lastText_; }

private:
    static platform::MessageAnswer Answer(const char* text, const char* /*caption*/,
                                          platform::MessageButtons buttons, platform::MessageIcon /*icon*/,
                                          const char* /*details*/, void* context) {
        auto* self = static_cast<QuietServices*>(context);
        ++self->boxes_;
        self->lastText_ = text != nullptr ? text : "";
        if (self->lastText_ == "wrong file format!") self->wrongFormat_ = true;
        return buttons == platform::MessageButtons::OkCancel ? platform::MessageAnswer::Cancel
                                                             : platform::MessageAnswer::Ok;
    }
    [[noreturn]] static void Throw(int status) { throw ProcessExit{status}; }

    bool wrongFormat_ = false;
    int boxes_ = 0;
    std::string lastText_;
};

// A broken promise of a reader: report it and abort, which libFuzzer records
// as a crash with its input and the regression test as a death.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz target check failed: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

inline void Check(bool condition, const char* what) {
    if (!condition) Fail(what);
}

inline bool WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// The whole file, or false when it cannot be read.
inline bool ReadFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    std::fclose(file);
    return true;
}

// Names in a folder, without "." and "..".
inline std::vector<std::string> ListFolder(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(path.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(dir);
    }
    return names;
}

// The scratch folder of one fuzzing process: in memory (/dev/shm) when the
// system has it, else under the temp folder. Removed with its files when the
// process ends normally (libFuzzer's time limit ends it through exit).
class ScratchFolder {
public:
    explicit ScratchFolder(const char* name) {
        const char* bases[] = {"/dev/shm", std::getenv("TMPDIR"), "/tmp"};
        for (const char* base : bases) {
            if (base == nullptr || *base == '\0' || ::access(base, W_OK) != 0) continue;
            std::string pattern = std::string(base) + "/chronara-fuzz-" + name + "-XXXXXX";
            std::vector<char> buffer(pattern.begin(), pattern.end());
            buffer.push_back('\0');
            if (::mkdtemp(buffer.data()) != nullptr) {
                path_ = buffer.data();
                return;
            }
        }
        Fail("no scratch folder");
    }
    ~ScratchFolder() {
        for (const std::string& name : ListFolder(path_)) std::remove((path_ + "/" + name).c_str());
        ::rmdir(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace fuzz_support
