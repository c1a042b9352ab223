#include "shell/command_line.h"

#include "state/app_state.h"

#include <QCommandLineParser>
#include <QDir>

namespace quillet {

namespace {

constexpr int kExitUsage = 2;

CommandLine endWith(int exitCode, const QString& output)
{
    CommandLine line;
    line.endNow = true;
    line.exitCode = exitCode;
    line.output = output;
    return line;
}

} // namespace

CommandLine readCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints character sheets: opens a character file (*.kvr, *.chr) and a sheet\n"
                       "script (*.tsx) when they are named."));
    // Not addHelpOption(): its --help-all shows Qt's own options, which
    // QApplication has already taken off the list.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on command-line options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A character file, a sheet script, or one of each."),
                                 QStringLiteral("[FILE]..."));
    const QString program = arguments.isEmpty() ? QStringLiteral("quillet") : arguments.first();
    auto usageError = [&](const QString& message) {
        return endWith(kExitUsage, program + QStringLiteral(": ") + message + u'\n' + parser.helpText());
    };

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help))
        return endWith(0, parser.helpText());
    if (parser.isSet(version))
        return endWith(0, QStringLiteral("quillet ") + QString::fromStdU16String(VersionText()) + u'\n');

    std::vector<Text> paths;
    for (const QString& name : parser.positionalArguments()) {
        if (name.isEmpty())
            return usageError(QStringLiteral("an empty file name"));
        paths.push_back(QDir::cleanPath(QDir::current().absoluteFilePath(name)).toStdU16String());
    }
    const std::optional<HandedFiles> files = sortHandedFiles(paths);
    if (!files)
        return usageError(QStringLiteral("name one character file and one sheet script at most"));
    CommandLine line;
    line.files = *files;
    return line;
}

} // namespace quillet
