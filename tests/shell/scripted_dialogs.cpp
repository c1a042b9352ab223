#include "scripted_dialogs.h"

#include "shell/ui_thread.h"

namespace quillet::testing {

namespace {

// The next scripted answer, or `none` once they have run out.
template <typename Answer>
Answer nextAnswer(std::deque<Answer>& answers, Answer none)
{
    if (answers.empty())
        return none;
    Answer answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

} // namespace

std::optional<Text> ScriptedDialogs::openFile(QWidget*, const OpenFileRequest& request)
{
    openRequests.push_back(request);
    return nextAnswer(openAnswers, std::optional<Text>());
}

std::optional<Text> ScriptedDialogs::saveFile(QWidget*, const SaveFileRequest& request)
{
    saveRequests.push_back(request);
    return nextAnswer(saveAnswers, std::optional<Text>());
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
    return nextAnswer(scriptAnswers, 1); // OK
}

std::optional<Text> ScriptedDialogs::inputBox(QWidget*, const Text& prompt, const Text&, const Text&)
{
    scriptAnsweredOnUiThread = scriptAnsweredOnUiThread && onUiThread();
    scriptPrompts.push_back(prompt);
    return nextAnswer(inputAnswers, std::optional<Text>());
}

std::vector<Text> ScriptedDialogs::messageTexts() const
{
    std::vector<Text> texts;
    for (const auto& m : messages)
        texts.push_back(m.text);
    return texts;
}

} // namespace quillet::testing
