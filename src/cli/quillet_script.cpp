// quillet-script FILE [ARGS]: runs a VBScript file's top level the way a
// console script host does, so that sheet-script authors can try out their
// logic (and the tests can run scripts).  MsgBox prints to standard error
// and answers OK; InputBox answers with empty text.  The FileSystemObject
// reads in the script's folder and the current folder.
#include "cli/wscript_object.h"
#include "script/engine.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

using namespace quillet;

namespace {

int reportError(const std::string& file, const script::ScriptErrorInfo& e)
{
    std::cerr << file << '(' << e.line << ", " << e.column << ") "
              << (e.compileError ? "compile error " : "runtime error ") << e.number << ": "
              << toUtf8(e.description) << '\n';
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: quillet-script FILE [ARGS]\n";
        return 2;
    }
    const std::string file = argv[1];
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << file << ": cannot open the file\n";
        return 2;
    }
    std::stringstream bytes;
    bytes << in.rdbuf();
    const Text source = decodeFileText(bytes.str());

    std::vector<Text> arguments;
    for (int i = 2; i < argc; ++i)
        arguments.push_back(fromUtf8(argv[i]));
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(file, ec);

    script::Engine engine;
    script::UiCallbacks ui;
    ui.messageBox = [](const Text& prompt, int, const Text& title) {
        std::cerr << (title.empty() ? std::string() : toUtf8(title) + ": ") << toUtf8(prompt) << '\n';
        return 1;
    };
    ui.inputBox = [](const Text& prompt, const Text&, const Text&) -> std::optional<Text> {
        std::cerr << toUtf8(prompt) << '\n';
        return Text();
    };
    engine.setUiCallbacks(ui);
    // Scripts may read files beside them and in the folder they were
    // started from; relative paths start there, as in a console.
    const std::filesystem::path current = std::filesystem::current_path(ec);
    engine.setFileAccess({{fromUtf8(full.parent_path().string()), fromUtf8(current.string())},
                          fromUtf8(current.string())});
    engine.addObject(u"WScript",
                     cli::makeWScriptObject(std::cout, std::move(arguments),
                                            fromUtf8(std::filesystem::path(file).filename().string()),
                                            fromUtf8(full.string())),
                     false);
    try {
        if (!engine.addCode(source)) {
            std::cout.flush();
            return reportError(file, engine.lastError());
        }
    } catch (const cli::QuitRequest& quit) {
        std::cout.flush();
        return quit.exitCode;
    }
    std::cout.flush();
    return 0;
}
