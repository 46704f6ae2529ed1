// SPDX-License-Identifier: MIT
// Runs the code under test, which reads standard input and may end the
// process, in a child with its standard streams captured.
#ifndef TESTS_CHILD_H
#define TESTS_CHILD_H

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef ERLANGB_COVERAGE
// The child ends with _exit, which skips writing coverage data: a coverage
// build has it start from zero counts and write them itself.
extern "C" void __gcov_reset();
extern "C" void __gcov_dump();
#endif

struct Outcome {
    std::string out, err;  // what the child wrote to standard output and error
    std::string value;     // what the call returned; empty if it never returned
    std::string rest;      // the input the call left unread
    int status;            // exit status, or 128 + signal number
};

inline int exit_status(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline void put(int fd, const std::string& text)
{
    if (write(fd, text.data(), text.size()) < 0) { /* a reader that left early */
    }
}

inline std::string slurp(int fd)
{
    std::string text(static_cast<size_t>(lseek(fd, 0, SEEK_END)), '\0');
    if (pread(fd, text.data(), text.size(), 0) < 0) text = "(unreadable)";
    close(fd);
    return text;
}

// Runs `call` in a forked child whose standard input is a pipe fed with
// `input` and then closed; everything it writes goes to memory files.
inline Outcome run_child(const std::string& input, const std::function<std::string()>& call)
{
    int file[4];  // out, err, value, rest
    for (int& f : file) f = memfd_create("child", 0);
    int in[2];
    if (pipe(in) != 0) return {"", "pipe failed", "", "", -1};
    std::signal(SIGPIPE, SIG_IGN);  // the child may stop reading early
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
#ifdef ERLANGB_COVERAGE
        __gcov_reset();
#endif
        dup2(in[0], 0), dup2(file[0], 1), dup2(file[1], 2), close(in[1]);
        const std::string value = call();
        std::string rest;
        for (int c; (c = std::getc(stdin)) != EOF;) rest += static_cast<char>(c);
        std::fflush(stdout);
        put(file[2], value), put(file[3], rest);
#ifdef ERLANGB_COVERAGE
        __gcov_dump();
#endif
        _exit(0);
    }
    close(in[0]);
    put(in[1], input);
    close(in[1]);
    const int status = exit_status(pid);
    return {slurp(file[0]), slurp(file[1]), slurp(file[2]), slurp(file[3]), status};
}

// `call`s that turn the child into the built calculator or sizing tool.
inline std::string exec_path(const char* path)
{
    execl(path, path, static_cast<char*>(nullptr));
    _exit(127);
}
inline std::string exec_program() { return exec_path(ERLANGB_PROGRAM); }

// A `call` that runs the built program at `path` with these arguments, its
// standard output on `output` when one is named.
inline std::function<std::string()> exec_with(const char* path, std::vector<std::string> args,
                                              const char* output = nullptr)
{
    return [path, args, output] {
        std::vector<char*> argv{const_cast<char*>(path)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (output != nullptr) dup2(open(output, O_WRONLY), 1);
        execv(argv[0], argv.data());
        _exit(127);
        return std::string();
    };
}
inline std::function<std::string()> exec_table(std::vector<std::string> args,
                                               const char* output = nullptr)
{
    return exec_with(ERLANGB_TABLE_PROGRAM, std::move(args), output);
}
inline std::string exec_size_program() { return exec_path(ERLANGB_SIZE_PROGRAM); }

// Whether a run of `program` was refused as bad usage: status 2, nothing on
// standard output, and on standard error a line "PROGRAM: ..." that holds
// `says`, then the hint "Try 'PROGRAM --help'.".
inline testing::AssertionResult refused(const Outcome& o, const std::string& program,
                                        const std::string& says)
{
    const size_t end = o.err.find('\n');
    if (o.status == 2 && o.out.empty() && o.err.rfind(program + ": ", 0) == 0 &&
        o.err.find(says) < end && end != std::string::npos &&
        o.err.substr(end) == "\nTry '" + program + " --help'.\n")
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "status " << o.status << ", out '" << o.out << "', err '"
                                       << o.err << "', not saying '" << says << "'";
}

#endif  // TESTS_CHILD_H
