// The dialog service of the tests: answers come from queues the test
// fills, and every request is recorded for the test to inspect.
#pragma once

#include "shell/dialog_service.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace quillet::testing {

class ScriptedDialogs : public DialogService {
public:
    // nullopt, or an empty queue: the user cancels.
    std::deque<std::optional<Text>> openAnswers;
    std::vector<OpenFileRequest> openRequests;

    std::deque<std::optional<Text>> saveAnswers;
    std::vector<SaveFileRequest> saveRequests;

    // nullopt: the user cancels the print dialog.
    std::optional<PageRange> printAnswer;
    int printDialogCalls = 0;

    bool printSetupAnswer = false;
    int printSetupCalls = 0;
    // What the user chooses in Print Setup, applied to the printer given.
    std::function<void(QPrinter&)> onPrintSetup;

    std::vector<MessageBoxRequest> messages;
    // Called while a message box is "shown" (a test may look around then).
    std::function<void(const MessageBoxRequest&)> onMessage;

    // Called while a script's message box is "shown".
    std::function<void()> onScriptMessage;
    std::deque<int> scriptAnswers;
    std::vector<Text> scriptPrompts;
    std::deque<std::optional<Text>> inputAnswers;
    bool scriptAnsweredOnUiThread = true;

    std::optional<Text> openFile(QWidget*, const OpenFileRequest& request) override
    {
        openRequests.push_back(request);
        return nextAnswer(openAnswers, std::optional<Text>());
    }
    std::optional<Text> saveFile(QWidget*, const SaveFileRequest& request) override
    {
        saveRequests.push_back(request);
        return nextAnswer(saveAnswers, std::optional<Text>());
    }
    bool printSetup(QWidget*, QPrinter& printer) override
    {
        ++printSetupCalls;
        if (onPrintSetup)
            onPrintSetup(printer);
        return printSetupAnswer;
    }
    std::optional<PageRange> printDialog(QWidget*, QPrinter& printer, int, int) override
    {
        ++printDialogCalls;
        if (onPrintSetup)
            onPrintSetup(printer);
        return printAnswer;
    }
    void messageBox(QWidget*, const MessageBoxRequest& request) override
    {
        messages.push_back(request);
        if (onMessage)
            onMessage(request);
    }
    int scriptMessageBox(QWidget*, const Text& prompt, int buttons, const Text& title) override;
    std::optional<Text> inputBox(QWidget*, const Text& prompt, const Text& title, const Text& defaultText) override;

    std::vector<Text> messageTexts() const;

private:
    // The next scripted answer, or `none` once they have run out.
    template <typename Answer>
    static Answer nextAnswer(std::deque<Answer>& answers, Answer none)
    {
        if (answers.empty())
            return none;
        Answer answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

} // namespace quillet::testing
