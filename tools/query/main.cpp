// chronara-query: one search from the command line.

#include <cstdio>
#include <string>

#include "chronara_version.h"
#include "tools/query/query_exit.h"
#include "tools/query/query_help.h"
#include "tools/query/query_options.h"
#include "tools/query/query_run.h"
#include "tools/query/query_services.h"

int main(int argc, char** argv) {
    query_tool::QueryOptions options;
    std::string error;
    switch (query_tool::ParseQueryArguments(argc, argv, options, error)) {
        case query_tool::ParseResult::Help:
            query_tool::PrintHelp(stdout);
            return std::fflush(stdout) == 0 ? query_tool::kExitSearched : query_tool::kExitFailed;
        case query_tool::ParseResult::Version:
            std::printf("chronara-query %s\n", kChronaraVersion);
            return std::fflush(stdout) == 0 ? query_tool::kExitSearched : query_tool::kExitFailed;
        case query_tool::ParseResult::UsageError:
            std::fprintf(stderr, "chronara-query: %s\nTry 'chronara-query --help'.\n", error.c_str());
            return query_tool::kExitFailed;
        case query_tool::ParseResult::Run:
            break;
    }
    query_tool::InstallServices();
    return query_tool::RunQuery(options);
}
