#include "scripted_dialogs.h"

#include "shell/ui_thread.h"

namespace quillet::testing {

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
