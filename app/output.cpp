// SPDX-License-Identifier: MIT
// Output that could not be written. The contracts are in output.h.
#include "app/output.h"

#include <cerrno>
#include <cstring>

int output_error(const char* program, const char* what, std::FILE* err)
{
    // errno 0: the write failed earlier, and its reason is gone.
    const int reason = errno;
    std::fprintf(err, "%s: cannot write%s%s%s%s\n", program, what == nullptr ? "" : " ",
                 what == nullptr ? "" : what, reason != 0 ? ": " : "",
                 reason != 0 ? std::strerror(reason) : "");
    return 1;
}

int finish_output(const char* program, std::FILE* out, std::FILE* err)
{
    errno = 0;
    if (std::fflush(out) == 0 && std::ferror(out) == 0) return 0;
    return output_error(program, nullptr, err);
}
