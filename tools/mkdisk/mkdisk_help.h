#pragma once
// The --help text of chronara-mkdisk.

#include <cstdio>

void PrintMkdiskHelp(std::FILE* out);
