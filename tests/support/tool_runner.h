#pragma once
// Runs a command-line tool as a child process and collects what it says.

#include <map>
#include <string>
#include <vector>

namespace testing_support {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs program with args and the environment changed by env (an empty value
// unsets the variable); input, when given, is its standard input. Collects
// both output streams until it exits.
ToolRun RunProgram(const char* program, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& env = {}, const std::string* input = nullptr);

}  // namespace testing_support
