#include "shell/live_refresh.h"

#include "common/vb_error.h"
#include "sheet/mod_print_report.h"
#include "sheet/qt/offscreen_runner_host.h"
#include "shell/form_report.h"
#include "shell/live_error_bar.h"
#include "shell/shell.h"
#include "state/read_character_file.h"

#include <QTimer>

#include <optional>
#include <utility>

namespace quillet {

namespace {

// A refresh draws on a surface of its own, so that the pages shown stay
// until the new ones are complete; what the runner would say in a message
// box is kept for the bar instead.
class RefreshHost : public OffscreenRunnerHost {
public:
    explicit RefreshHost(Shell& shell) : shell_(shell) {}
    void messageBox(const Text& text) override { lastMessage = text; }
    PortraitImage* portraitImage() override { return shell_.portraitImage(); }

    Text lastMessage;

private:
    Shell& shell_;
};

// Reads the character file for a refresh: the caption and the portrait as
// when it was loaded, its messages kept for the bar.
class RefreshReaderUi : public ReaderUi {
public:
    explicit RefreshReaderUi(Shell& shell) : shell_(shell) {}
    void messageBox(const Text& text) override { notice = text; }
    void setMainWindowCaption(const Text& caption) override { shell_.setMainWindowCaption(caption); }
    void setPortraitFileName(const Text& fileName) override { shell_.setPortraitFileName(fileName); }
    void doEvents() override { shell_.doEvents(); }

    Text notice;

private:
    Shell& shell_;
};

} // namespace

LiveRefresh::LiveRefresh(Shell& shell, FormReport& window, LiveErrorBar& bar)
    : QObject(&window), shell_(shell), window_(window), bar_(bar)
{
    connect(&watcher_, &watch::FileWatcher::changed, this, &LiveRefresh::filesChanged);
}

void LiveRefresh::start()
{
    const AppState& state = shell_.state;
    characterFile_ = QString::fromStdU16String(state.CurrentCharFile);
    QStringList files{QString::fromStdU16String(state.TesseraFile)};
    if (!characterFile_.isEmpty())
        files.append(characterFile_);
    watcher_.setFiles(files);
}

void LiveRefresh::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (enabled_ && std::exchange(missed_, false))
        refresh(false);
}

void LiveRefresh::filesChanged(const QStringList& paths)
{
    const bool character = !characterFile_.isEmpty() && paths.contains(characterFile_);
    characterOwed_ = characterOwed_ || character;
    if (!enabled_) {
        missed_ = true;
        return;
    }
    refresh(false);
}

void LiveRefresh::refresh(bool characterChanged)
{
    characterOwed_ = characterOwed_ || characterChanged;
    // A save during a run (the run lets events through) brings one more
    // run once this one is over.
    if (running_) {
        owed_ = true;
        return;
    }
    running_ = true;
    const bool rereading = std::exchange(characterOwed_, false);
    Text readerNotice;
    if (!rereading || rereadCharacter(readerNotice))
        runSheet(readerNotice);
    running_ = false;
    emit refreshed();
    if (std::exchange(owed_, false))
        QTimer::singleShot(0, this, [this] { refresh(false); });
}

bool LiveRefresh::rereadCharacter(Text& notice)
{
    AppState& state = shell_.state;
    const KeyedList<KVRCharacter> characters = state.Characters;
    const int16_t current = state.CurrentCharacter;
    const Text file = state.CurrentCharFile;
    RefreshReaderUi reader(shell_);
    Text failure;
    try {
        if (ReadCharacterFile(state, reader, file)) {
            notice = reader.notice;
            return true;
        }
        failure = reader.notice;
    } catch (const VbError& e) {
        failure = ReadFailureMessage(file, e);
    }
    state.Characters = characters;
    state.CurrentCharacter = current;
    state.CurrentCharFile = file;
    bar_.showMessage(failure);
    return false;
}

void LiveRefresh::runSheet(const Text& readerNotice)
{
    RefreshHost host(shell_);
    ReportContext context = shell_.reportContext(host);
    std::optional<ScriptFailure> failure;
    context.scriptFailed = [&](const ScriptFailure& f) { failure = f; };
    const ReportResult result = PrintReport(context, true);
    if (result == ReportResult::Printed && host.window()) {
        window_.showRefreshedPages(host.window()->takeDocument());
        if (readerNotice.empty())
            bar_.clear();
        else
            bar_.showMessage(readerNotice);
    } else if (failure) {
        bar_.showScriptError(*failure);
    } else {
        bar_.showMessage(host.lastMessage.empty() ? Text(u"The sheet script could not be run.") : host.lastMessage);
    }
}

} // namespace quillet
