// quillet-print: the command-line face of the printer.
#include "cli/dump_command.h"
#include "cli/program_folder.h"

#include <cstring>
#include <iostream>
#include <string>

namespace {

constexpr int kExitUsage = 3;

void printUsage(std::ostream& out)
{
    out << "usage: quillet-print --dump CHARACTER\n"
           "  --dump CHARACTER   read a character file (*.kvr, *.chr) and print it as JSON\n";
}

} // namespace

int main(int argc, char** argv)
{
    using namespace quillet;
    std::string dumpFile;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printUsage(std::cout);
            return 0;
        }
        if (arg == "--dump" && i + 1 < argc) {
            dumpFile = argv[++i];
            continue;
        }
        std::cerr << "quillet-print: unexpected argument '" << arg << "'\n";
        printUsage(std::cerr);
        return kExitUsage;
    }
    if (dumpFile.empty()) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    return runDumpCommand(programFolder(), fromUtf8(dumpFile), std::cout);
}
