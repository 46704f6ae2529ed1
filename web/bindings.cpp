// SPDX-License-Identifier: MIT
// The page's one way into the programs: run one of them on a command line
// and get back what it wrote and its exit status, exactly as a terminal
// would show them. Everything the page shows comes from such runs.
#include <emscripten/bind.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    char* out = nullptr;
    char* err = nullptr;
    size_t out_size = 0;
    size_t err_size = 0;
    std::FILE* out_stream = open_memstream(&out, &out_size);
    std::FILE* err_stream = open_memstream(&err, &err_size);
    Run r{entry(static_cast<int>(words.size()), argv.data(), out_stream, err_stream), "", ""};
    std::fclose(out_stream);
    std::fclose(err_stream);
    r.out.assign(out, out_size);
    r.err.assign(err, err_size);
    std::free(out);
    std::free(err);
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
