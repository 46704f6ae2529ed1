// SPDX-License-Identifier: MIT
// The page's one way into the programs: run one of them on a command line
// and get back what it wrote and its exit status, exactly as a terminal
// would show them. Everything the page shows comes from such runs.
#include <emscripten/bind.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/programs.h"

namespace {

// What a run wrote and its exit status.
struct Run {
    int status;
    std::string out, err;
};

// Runs `program` ("erlangb-table", "erlangb-overflow" or "erlangc") with
// `args`, its arguments one to a line. An unknown program is status 2.
Run run(const std::string& program, const std::string& args)
{
    int (*const entry)(int, char**, std::FILE*, std::FILE*) = program == "erlangb-table" ? run_table
                                                              : program == "erlangb-overflow"
                                                                  ? run_overflow
                                                              : program == "erlangc" ? run_erlangc
                                                                                     : nullptr;
    if (entry == nullptr) return {2, "", "no program " + program + "\n"};
    std::vector<std::string> words{program};
    for (size_t start = 0; start < args.size();) {
        const size_t end = std::min(args.find('\n', start), args.size());
        words.push_back(args.substr(start, end - start));
        start = end + 1;
    }
    Run r{0, "", ""};
    r.status = run_captured(entry, words, r.out, r.err);
    return r;
}

}  // namespace

EMSCRIPTEN_BINDINGS(erlangb)
{
    emscripten::value_object<Run>("Run")
        .field("status", &Run::status)
        .field("out", &Run::out)
        .field("err", &Run::err);
    emscripten::function("run", &run);
}
