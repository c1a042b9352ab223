#include "cli/print_plan.h"

#include "cli/print_command.h"
#include "common/file_system.h"

#include <set>

namespace quillet {

namespace {

Text stemOf(const Text& path)
{
    const Text name = fileNameOf(path);
    const size_t dot = name.rfind(u'.');
    return dot == Text::npos || dot == 0 ? name : name.substr(0, dot);
}

Text inFolder(const Text& folder, const Text& name)
{
    return folder.empty() || folder.back() == u'/' ? folder + name : folder + u"/" + name;
}

} // namespace

Text pdfNameOf(const Text& path)
{
    return stemOf(path) + u".pdf";
}

std::optional<PrintPlan> planPrinting(const PrintOptions& options, Text& problem)
{
    if (options.output && options.outputDir) {
        problem = u"--output and --output-dir cannot be used together";
        return std::nullopt;
    }
    const bool sample = options.characters.empty();
    const std::vector<Text> characters =
        sample ? std::vector<Text>{defaultSampleCharacter(options.homePath)} : options.characters;
    const bool several = characters.size() > 1;

    PrintPlan plan;
    if (several && options.output) {
        plan.combinedPdf = *options.output;
        if (options.pngFolder)
            plan.combinedPngPattern = inFolder(*options.pngFolder, u"page-%1.png");
    }
    std::set<Text> pdfs;
    for (const Text& character : characters) {
        PrintTarget target;
        target.character = character;
        if (!plan.combinedPdf) {
            if (options.outputDir)
                target.pdf = inFolder(*options.outputDir, pdfNameOf(character));
            else if (options.output)
                target.pdf = *options.output;
            else if (sample)
                // Installed, the program folder is not the user's to write:
                // the sample's pages go to the current directory.
                target.pdf = pdfNameOf(character);
            else
                target.pdf = folderOf(character) + pdfNameOf(character);
            // Several characters with the same name would overwrite each
            // other's pages.
            if (!pdfs.insert(target.pdf).second) {
                problem = u"two characters would be printed to " + target.pdf;
                return std::nullopt;
            }
            if (options.pngFolder)
                target.pngPattern = inFolder(*options.pngFolder,
                                             several ? stemOf(character) + u"-page-%1.png" : Text(u"page-%1.png"));
        }
        plan.targets.push_back(std::move(target));
    }
    return plan;
}

} // namespace quillet
