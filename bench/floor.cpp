// SPDX-License-Identifier: MIT
// The floor a run of the calculator is measured against: a minimal C
// program that asks the same two questions on standard error, reads the
// same three lines, and prints the same report and banner. No checks, no
// defaults, no retries: what is left is starting a process and its stdio.
#include <cmath>
#include <cstdio>
#include <cstdlib>

// One answer line, as text.
static void read_line(char* line, int size)
{
    int c = 0;
    int i = 0;
    while ((c = std::getc(stdin)) != EOF && c != '\n')
        if (i + 1 < size) line[i++] = static_cast<char>(c);
    line[i] = '\0';
}

int main()
{
    char line[82];
    std::fprintf(stderr, "number of circuits [40] > ");
    read_line(line, sizeof line);
    const int n = std::atoi(line);
    std::fprintf(stderr, "offered load [34.2000 erlang] > ");
    read_line(line, sizeof line);
    const double A = std::strtod(line, nullptr);
    // B = t(n) / (t(0) + ... + t(n)), t(k) = A^k / k!, each term from its
    // logarithm as the calculator forms them (so libm is loaded, as there).
    double sum = 0;
    double term = 0;
    double ln_factorial = 0;
    for (int k = 0; k <= n; ++k) {
        if (k > 0) ln_factorial += std::log(k);
        term = std::exp(k * std::log(A) - ln_factorial);
        sum += term;
    }
    const double B = term / sum;
    std::printf("\nblocking probability = %e\n", B);
    std::printf("utilization %%        = %5.2f\n", (1.0 - B) * A / n * 100.0);
    std::printf("\n\n     *****   Press <RETURN> to continue   *****");
    std::fflush(stdout);
    read_line(line, sizeof line);
    return 0;
}
