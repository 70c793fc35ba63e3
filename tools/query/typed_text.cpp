#include "tools/query/typed_text.h"

#include <cstdio>
#include <vector>

#include "store/cp1252.h"

namespace query_tool {

namespace {

// A Tab or another control character: no record or name holds one, and a
// text with one was most often pasted from somewhere else.
bool RefuseControls(std::string_view what, std::string_view text, std::string& error) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) continue;
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", byte);
        const std::string name = byte == '\t'                   ? "a Tab"
                                 : byte == '\n' || byte == '\r' ? "a line break"
                                                                : "control character " + std::string(code);
        error = std::string(what) + ": holds " + name + "; type the text without it";
        return false;
    }
    return true;
}

}  // namespace

bool ConvertTypedText(std::string_view what, std::string_view text, bool raw, std::string& out,
                      std::string& note, std::string& error) {
    out.clear();
    note.clear();
    if (!RefuseControls(what, text, error)) return false;
    if (raw) {
        out.assign(text.begin(), text.end());
        return true;
    }
    std::vector<cp1252::FoldedCharacter> folded;
    std::string reason;
    if (!cp1252::FromTypedUtf8(text, out, &folded, &reason)) {
        error = std::string(what) + ": " + reason;
        return false;
    }
    if (!folded.empty()) {
        note = std::string(what) + ": \"" + std::string(text) + "\" is searched as \"" + cp1252::ToUtf8(out) +
               "\" (" + cp1252::DescribeFolding(folded) + ")";
    }
    return true;
}

}  // namespace query_tool
