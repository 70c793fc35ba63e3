#pragma once
// A small, strict JSON reader for the tests that check the tools' JSON:
// objects, arrays, strings (with every escape), numbers, true, false, null.

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;  // UTF-8
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;  // in their order

    const JsonValue* Member(const std::string& name) const {
        for (const auto& member : members) {
            if (member.first == name) return &member.second;
        }
        return nullptr;
    }
};

// False (with *error) for anything that is not exactly one JSON value.
bool ParseJson(const std::string& text, JsonValue& value, std::string* error);

}  // namespace testing_support
