#include "tools/query/typed_text.h"

#include <vector>

#include "store/cp1252.h"

namespace query_tool {

bool ConvertTypedText(std::string_view what, std::string_view text, bool raw, std::string& out,
                      std::string& note, std::string& error) {
    out.clear();
    note.clear();
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
