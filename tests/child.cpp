#include "child.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string slurp(int fd)
{
    std::string text;
    lseek(fd, 0, SEEK_SET);
    char buf[4096];
    for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    close(fd);
    return text;
}

}  // namespace

Outcome run_child(const std::string& input, const std::function<std::string()>& call)
{
    // Outputs go to memory files, so a chatty child never blocks on them.
    const int out = memfd_create("out", 0), err = memfd_create("err", 0);
    const int value = memfd_create("value", 0), rest = memfd_create("rest", 0);
    int in[2];
    if (pipe(in) != 0) std::abort();
    std::signal(SIGPIPE, SIG_IGN);  // a child may stop reading early
    std::fflush(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out, 1);
        dup2(err, 2);
        close(in[0]);
        close(in[1]);
        const std::string v = call();
        std::fflush(stdout);
        if (write(value, v.data(), v.size()) < 0) _exit(99);
        std::string r;
        for (int c; (c = std::getc(stdin)) != EOF;) r += static_cast<char>(c);
        if (write(rest, r.data(), r.size()) < 0) _exit(99);
        _exit(0);
    }
    close(in[0]);
    for (size_t done = 0; done < input.size();) {
        const ssize_t n = write(in[1], input.data() + done, input.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    close(in[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    return {slurp(out), slurp(err), slurp(value), slurp(rest),
            WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
}

std::string exec_program()
{
    execl(ERLANGB_PROGRAM, "erlangb", static_cast<char*>(nullptr));
    std::perror("exec");
    _exit(127);
}
