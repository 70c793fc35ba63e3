#pragma once
// The text a user types on the command line (a surname, a first name, a
// listing's text, a batch line, a record search's words) as the Windows-1252
// text that is searched.

#include <string>
#include <string_view>

namespace query_tool {

// text: UTF-8, or with raw the Windows-1252 bytes as given, taken unchanged.
// A letter that Windows-1252 cannot write but that stands on one of its
// letters is searched as that letter (cp1252::FromTypedUtf8); note is then
// the line that says so, for standard error ("--surname "Wałęsa" is searched
// as "Walesa" (ł as l, ę as e)"), and empty otherwise. A character without
// such a letter, or text that is not UTF-8, gives false and error names it.
// A Tab or any other control character is refused too.
// what: how the messages call the text ("--surname", "names.txt:3").
bool ConvertTypedText(std::string_view what, std::string_view text, bool raw, std::string& out,
                      std::string& note, std::string& error);

}  // namespace query_tool
