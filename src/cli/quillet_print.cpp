// quillet-print: the command-line face of the printer.
#include "cli/dump_command.h"
#include "cli/print_command.h"
#include "common/program_folder.h"

#include <QGuiApplication>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <iostream>
#include <string>

namespace {

void printUsage(std::ostream& out)
{
    out << "usage: quillet-print [--sheet TSX] [--output PDF | --output-dir DIR] [--png DIR] [--log]\n"
           "                     [--timeout SECONDS] [--watch] [CHARACTER...]\n"
           "       quillet-print --dump CHARACTER\n"
           "\n"
           "Prints characters (*.kvr, *.chr; the bundled sample when none is named) with a\n"
           "sheet script (the bundled chrsht.tsx when none is named) to PDF.\n"
           "  --sheet TSX         the sheet script to run\n"
           "  --output PDF        where to write the PDF (default: beside each character file,\n"
           "                      named after it; for the bundled sample, aldric.pdf in the\n"
           "                      current directory).  With several characters: one PDF\n"
           "                      holding them all in the order given, each from a new page\n"
           "                      and with its own page numbers\n"
           "  --output-dir DIR    one PDF per character in DIR, named after the character file\n"
           "  --png DIR           also write every page as DIR/page-N.png (with several\n"
           "                      characters and no --output: DIR/NAME-page-N.png)\n"
           "  --log               print every log line on standard error\n"
           "  --timeout SECONDS   stop a sheet script that runs longer (default 60, 0 for none);\n"
           "                      each character has its own time\n"
           "  --watch             print again whenever the sheet script or a character file\n"
           "                      is saved, one line per run, until Ctrl+C; a run that fails\n"
           "                      leaves the last good PDF\n"
           "  --dump CHARACTER    print what the reader makes of a character file as JSON\n"
           "With several characters, one that fails is reported with its name and the others\n"
           "are printed.\n"
           "Exit status: 0 printed, 1 sheet-script failure, 2 character-file failure (with\n"
           "several characters: of the first that failed), 3 bad usage, 130 interrupted\n"
           "(--watch ends with 0 on Ctrl+C).\n";
}

int usageError(const std::string& message)
{
    std::cerr << "quillet-print: " << message << "\n";
    printUsage(std::cerr);
    return quillet::kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace quillet;
    PrintOptions options;
    options.homePath = programFolder();
    std::string dumpFile;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc)
                return nullptr;
            (void)name;
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            printUsage(std::cout);
            return 0;
        }
        if (arg == "--log") {
            options.log = true;
        } else if (arg == "--watch") {
            options.watch = true;
        } else if (arg == "--dump" || arg == "--sheet" || arg == "--output" || arg == "--output-dir" ||
                   arg == "--png" || arg == "--timeout") {
            const char* v = value(arg.c_str());
            if (!v)
                return usageError(arg + " needs a value");
            if (arg == "--dump")
                dumpFile = v;
            else if (arg == "--sheet")
                options.sheet = fromUtf8(v);
            else if (arg == "--output")
                options.output = fromUtf8(v);
            else if (arg == "--output-dir")
                options.outputDir = fromUtf8(v);
            else if (arg == "--png")
                options.pngFolder = fromUtf8(v);
            else {
                char* end = nullptr;
                options.timeoutSeconds = std::strtod(v, &end);
                if (end == v || *end != '\0' || options.timeoutSeconds < 0)
                    return usageError("--timeout needs a number of seconds");
            }
        } else if (!arg.empty() && arg[0] == '-') {
            return usageError("unknown option '" + arg + "'");
        } else {
            options.characters.push_back(fromUtf8(arg));
        }
    }
    if (!dumpFile.empty() && (options.watch || !options.characters.empty()))
        return usageError("--dump takes one character file and no other work");
    if (!dumpFile.empty())
        return runDumpCommand(options.homePath, fromUtf8(dumpFile), std::cout);

    // Printing to files needs fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime folder; make the one it would fall back to
    // instead of printing a warning on every run.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const std::string runtime = "/tmp/runtime-" + std::to_string(::getuid());
        if (::mkdir(runtime.c_str(), 0700) == 0 || errno == EEXIST)
            qputenv("XDG_RUNTIME_DIR", runtime.c_str());
    }
    QGuiApplication app(argc, argv);
    return runPrintCommand(options);
}
