// Runs a shell command for the tests of the command-line tools: its exit
// status (-1 when it did not exit normally) and what it wrote to standard
// output (add " 2>&1" to the command to have standard error as well).
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace quillet::testing {

struct CommandOutcome {
    int status = -1;
    std::string out;
};

inline CommandOutcome runCommand(const std::string& command)
{
    CommandOutcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return outcome;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        outcome.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

} // namespace quillet::testing
