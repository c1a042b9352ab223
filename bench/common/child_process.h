// Runs a program to its end, as a user would start it, and reports what
// the operating system accounted for it.
#pragma once

#include <string>
#include <vector>

namespace quillet::bench {

struct ChildRun {
    double cpu = 0;   // user + system seconds
    double wall = 0;  // seconds from just before the start to just after the end
    long peakKiB = 0;
    int status = -1;  // the exit status; -1 when it did not start or end normally
};

// `args` follow the program's name.  Its standard output and error go to
// the files named (created or emptied), or /dev/null when empty.
ChildRun runProgram(const std::string& program, const std::vector<std::string>& args,
                    const std::string& outputFile = {}, const std::string& errorFile = {});

} // namespace quillet::bench
