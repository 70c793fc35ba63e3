#include "support/mini_json.h"

#include <cstdlib>

namespace testing_support {
namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    bool Document(JsonValue& value, std::string* error) {
        const bool ok = Value(value) && (Blanks(), at_ == text_.size());
        if (!ok && error != nullptr) *error = "JSON error at byte " + std::to_string(at_);
        return ok;
    }

private:
    void Blanks() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t')) {
            ++at_;
        }
    }
    bool Take(char c) {
        Blanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Word(const char* word) {
        const std::string w = word;
        if (text_.compare(at_, w.size(), w) != 0) return false;
        at_ += w.size();
        return true;
    }
    static void PutUtf8(unsigned code, std::string& out) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    bool String(std::string& out) {
        if (!Take('"')) return false;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) return false;
            const char e = text_[at_++];
            const char* simple = "\"\\/bfnrt";
            const char* meaning = "\"\\/\b\f\n\r\t";
            bool done = false;
            for (int i = 0; simple[i] != '\0'; ++i) {
                if (e == simple[i]) {
                    out += meaning[i];
                    done = true;
                }
            }
            if (done) continue;
            if (e != 'u' || at_ + 4 > text_.size()) return false;
            char* end = nullptr;
            const std::string hex = text_.substr(at_, 4);
            const unsigned long code = std::strtoul(hex.c_str(), &end, 16);
            if (end != hex.c_str() + 4) return false;
            at_ += 4;
            PutUtf8(static_cast<unsigned>(code), out);
        }
        return false;
    }
    bool Value(JsonValue& value) {
        Blanks();
        if (at_ >= text_.size()) return false;
        const char c = text_[at_];
        if (c == '"') {
            value.kind = JsonValue::Kind::String;
            return String(value.text);
        }
        if (c == '[') {
            ++at_;
            value.kind = JsonValue::Kind::Array;
            if (Take(']')) return true;
            do {
                value.items.emplace_back();
                if (!Value(value.items.back())) return false;
            } while (Take(','));
            return Take(']');
        }
        if (c == '{') {
            ++at_;
            value.kind = JsonValue::Kind::Object;
            if (Take('}')) return true;
            do {
                std::string name;
                Blanks();
                if (!String(name) || !Take(':')) return false;
                value.members.emplace_back(name, JsonValue{});
                if (!Value(value.members.back().second)) return false;
            } while (Take(','));
            return Take('}');
        }
        if (Word("true") || Word("false")) {
            value.kind = JsonValue::Kind::Bool;
            value.boolean = text_[at_ - 1] == 'e' && text_[at_ - 2] == 'u';
            return true;
        }
        if (Word("null")) return true;
        const char* start = text_.c_str() + at_;
        char* end = nullptr;
        value.number = std::strtod(start, &end);
        if (end == start) return false;
        value.kind = JsonValue::Kind::Number;
        at_ += static_cast<std::size_t>(end - start);
        return true;
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

}  // namespace

bool ParseJson(const std::string& text, JsonValue& value, std::string* error) {
    value = JsonValue{};
    return Parser(text).Document(value, error);
}

}  // namespace testing_support
