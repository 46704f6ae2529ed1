// SPDX-License-Identifier: MIT
// The page's one way into the programs: run one of them on a command line
// and get back what it wrote and its exit status, exactly as a terminal
// would show them. Everything the page shows comes from such runs. The
// page runs them in a worker, so that a run of a million rows keeps the
// page responsive; a long output is kept as its first lines and counted,
// and those first lines are handed over as soon as they are written.
#include <emscripten/bind.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/programs.h"

namespace {

// What a run wrote and its exit status: `out` whole, or its first lines
// where it is longer than the run's `keep` bytes; `lines` its lines and
// `marked` those that start with "#".
struct Run {
    int status = 0;
    std::string out, err;
    double lines = 0, marked = 0;
};

// The output stream's state: the text kept, the lines counted, and the
// callback that gets the first lines once `keep` bytes are written.
struct Capture {
    Run* run;
    size_t keep;  // SIZE_MAX: all of it
    emscripten::val early;
    bool at_line_start = true;
    bool cut = false;
};

// The first lines of `text` within `keep` bytes (the whole first line where
// it alone is longer).
std::string first_lines(const std::string& text, size_t keep)
{
    const size_t end = text.rfind('\n', keep);
    return text.substr(0, end == std::string::npos ? keep : end + 1);
}

// fopencookie's write: counts the lines, keeps the text up to `keep` bytes
// and, the first time it passes them, hands the first lines to `early`.
ssize_t capture(void* cookie, const char* data, size_t size)
{
    auto& c = *static_cast<Capture*>(cookie);
    for (size_t i = 0; i < size; ++i) {
        if (c.at_line_start) c.run->lines += 1, c.run->marked += data[i] == '#';
        c.at_line_start = data[i] == '\n';
    }
    if (!c.cut) {
        c.run->out.append(data, size);
        if (c.run->out.size() > c.keep) {
            c.run->out = first_lines(c.run->out, c.keep);
            c.cut = true;
            if (!c.early.isNull()) c.early(c.run->out);
        }
    }
    return static_cast<ssize_t>(size);
}

// Runs `program` ("erlangb-table", "erlangb-overflow" or "erlangc") with
// `args`, a list of strings, each one argument as a shell passes it. `keep`
// (bytes; negative for no limit) bounds the output kept; `early`, a
// function or null, gets its first lines once it passes them. An unknown
// program is status 2.
Run run(const std::string& program, const emscripten::val& args, double keep,
        const emscripten::val& early)
{
    int (*const entry)(int, char**, std::FILE*, std::FILE*) = program == "erlangb-table" ? run_table
                                                              : program == "erlangb-overflow"
                                                                  ? run_overflow
                                                              : program == "erlangc" ? run_erlangc
                                                                                     : nullptr;
    Run r;
    if (entry == nullptr) return r.status = 2, r.err = "no program " + program + "\n", r;
    std::vector<std::string> words{program};
    for (const std::string& word : emscripten::vecFromJSArray<std::string>(args))
        words.push_back(word);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    Capture c{&r, keep < 0 ? SIZE_MAX : static_cast<size_t>(keep), early};
    std::FILE* out = fopencookie(&c, "w", {nullptr, capture, nullptr, nullptr});
    char* err_text = nullptr;
    size_t err_size = 0;
    std::FILE* err = open_memstream(&err_text, &err_size);
    r.status = entry(static_cast<int>(words.size()), argv.data(), out, err);
    std::fclose(out);
    std::fclose(err);
    r.err.assign(err_text, err_size);
    std::free(err_text);
    return r;
}

}  // namespace

EMSCRIPTEN_BINDINGS(erlangb)
{
    emscripten::value_object<Run>("Run")
        .field("status", &Run::status)
        .field("out", &Run::out)
        .field("err", &Run::err)
        .field("lines", &Run::lines)
        .field("marked", &Run::marked);
    emscripten::function("run", &run);
}
