#include "scripted_dialogs.h"

#include "shell/ui_thread.h"

namespace quillet::testing {

std::optional<Text> ScriptedDialogs::openFile(QWidget*, const OpenFileRequest& request)
{
    openRequests.push_back(request);
    if (openAnswers.empty())
        return std::nullopt;
    std::optional<Text> answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

std::optional<Text> ScriptedDialogs::saveFile(QWidget*, const SaveFileRequest& request)
{
    saveRequests.push_back(request);
    if (saveAnswers.empty())
        return std::nullopt;
    std::optional<Text> answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

std::optional<PageRange> ScriptedDialogs::printDialog(QWidget*, QPrinter& printer, int, int)
{
    ++printDialogCalls;
    if (onPrintSetup)
        onPrintSetup(printer);
    return printAnswer;
}

bool ScriptedDialogs::printSetup(QWidget*, QPrinter& printer)
{
    ++printSetupCalls;
    if (onPrintSetup)
        onPrintSetup(printer);
    return printSetupAnswer;
}

void ScriptedDialogs::messageBox(QWidget*, const MessageBoxRequest& request)
{
    messages.push_back(request);
    if (onMessage)
        onMessage(request);
}

int ScriptedDialogs::scriptMessageBox(QWidget*, const Text& prompt, int, const Text&)
{
    scriptAnsweredOnUiThread = scriptAnsweredOnUiThread && onUiThread();
    scriptPrompts.push_back(prompt);
    if (onScriptMessage)
        onScriptMessage();
    if (scriptAnswers.empty())
        return 1;
    const int answer = scriptAnswers.front();
    scriptAnswers.pop_front();
    return answer;
}

std::optional<Text> ScriptedDialogs::inputBox(QWidget*, const Text& prompt, const Text&, const Text&)
{
    scriptAnsweredOnUiThread = scriptAnsweredOnUiThread && onUiThread();
    scriptPrompts.push_back(prompt);
    if (inputAnswers.empty())
        return std::nullopt;
    std::optional<Text> answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

std::vector<Text> ScriptedDialogs::messageTexts() const
{
    std::vector<Text> texts;
    for (const auto& m : messages)
        texts.push_back(m.text);
    return texts;
}

} // namespace quillet::testing
