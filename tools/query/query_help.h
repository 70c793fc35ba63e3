#pragma once
// The --help text of chronara-query.

#include <cstdio>

namespace query_tool {

void PrintHelp(std::FILE* stream);

}  // namespace query_tool
