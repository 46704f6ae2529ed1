// Runs code that reads standard input, and may end the process, in a child.
#ifndef TESTS_CHILD_H
#define TESTS_CHILD_H

#include <functional>
#include <string>

struct Outcome {
    std::string out;    // what the child wrote to standard output
    std::string err;    // what it wrote to standard error
    std::string value;  // what `call` returned; empty if it never returned
    std::string rest;   // the input left unread after `call` returned
    int status;         // exit status, or 128 + signal number
};

// Runs `call` in a forked child whose standard input is a pipe fed with
// `input` and closed after it, and whose standard output and error are
// captured.
Outcome run_child(const std::string& input, const std::function<std::string()>& call);

// A `call` that replaces the child with the built calculator.
std::string exec_program();

#endif  // TESTS_CHILD_H
