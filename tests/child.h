// Runs code that reads standard input, and may end the process, in a child.
#ifndef TESTS_CHILD_H
#define TESTS_CHILD_H

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

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

inline std::string slurp(int fd)
{
    std::string text(static_cast<size_t>(lseek(fd, 0, SEEK_END)), '\0');
    if (pread(fd, text.data(), text.size(), 0) < 0) text = "(unreadable)";
    close(fd);
    return text;
}

// Runs `call` in a forked child whose standard input is a pipe fed with
// `input` and then closed; standard output and error go to memory files.
inline Outcome run_child(const std::string& input, const std::function<std::string()>& call)
{
    const int out = memfd_create("out", 0), err = memfd_create("err", 0);
    const int value = memfd_create("value", 0), rest = memfd_create("rest", 0);
    int in[2];
    if (pipe(in) != 0) return {"", "pipe failed", "", "", -1};
    std::signal(SIGPIPE, SIG_IGN);  // the child may stop reading early
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0), dup2(out, 1), dup2(err, 2), close(in[0]), close(in[1]);
        const std::string v = call();
        std::string r;
        for (int c; (c = std::getc(stdin)) != EOF;) r += static_cast<char>(c);
        std::fflush(stdout);
        const bool written =
            write(value, v.data(), v.size()) >= 0 && write(rest, r.data(), r.size()) >= 0;
        _exit(written ? 0 : 99);
    }
    close(in[0]);
    const ssize_t sent = write(in[1], input.data(), input.size());
    (void)sent;  // short if the child stopped reading early
    close(in[1]);
    const int status = exit_status(pid);
    return {slurp(out), slurp(err), slurp(value), slurp(rest), status};
}

// A `call` that turns the child into the built calculator.
inline std::string exec_program()
{
    execl(ERLANGB_PROGRAM, "erlangb", static_cast<char*>(nullptr));
    _exit(127);
}

#endif  // TESTS_CHILD_H
