#pragma once
// Fuzz target of the data-disk builder's input: arbitrary bytes read as CSV
// rows, and every field taken through the Windows-1252 conversion the
// builder applies to it.
//
// Input: the CSV text itself.
//
// Promises checked: no crash or out-of-bounds access; the reader ends (End
// or Error) after at most one row per input byte, and keeps answering Error
// once it has; line numbers start at 1 and never go back; every byte string
// survives ToUtf8 then FromUtf8 unchanged; valid UTF-8 that converts comes
// back unchanged from ToUtf8.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "store/cp1252.h"
#include "store/csv_reader.h"

namespace fuzz_targets {

inline void CheckConversions(const std::string& field) {
    using fuzz_support::Check;
    std::string back;
    Check(cp1252::FromUtf8(cp1252::ToUtf8(field), back) && back == field,
          "Windows-1252 bytes did not survive the trip through UTF-8");
    std::string bytes = "kept";
    std::string error;
    if (cp1252::FromUtf8(field, bytes, &error)) {
        Check(cp1252::ToUtf8(bytes.substr(4)) == field,
              "UTF-8 did not survive the trip through Windows-1252");
    } else {
        Check(bytes == "kept", "a failed conversion changed its output");
        Check(!error.empty(), "a failed conversion gave no reason");
    }
}

inline int RunCsv(const std::uint8_t* data, std::size_t size, const std::string& /*folder*/) {
    using fuzz_support::Check;
    const std::string text(reinterpret_cast<const char*>(data), size);
    CCsvReader reader(text);
    std::vector<std::string> fields;
    long lastLine = 0;
    std::size_t rows = 0;
    for (;;) {
        const CCsvReader::Result result = reader.Next(fields);
        if (result == CCsvReader::Result::End) break;
        if (result == CCsvReader::Result::Error) {
            Check(!reader.Error().empty(), "an error without its reason");
            Check(reader.Next(fields) == CCsvReader::Result::Error, "the reader went on after an error");
            break;
        }
        Check(++rows <= size, "more rows than input bytes: the reader is not moving on");
        Check(reader.Line() >= 1 && reader.Line() >= lastLine, "line numbers went back");
        lastLine = reader.Line();
        for (const std::string& field : fields) CheckConversions(field);
    }
    return 0;
}

}  // namespace fuzz_targets
