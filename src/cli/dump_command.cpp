#include "cli/dump_command.h"

#include "character/character_file_error.h"
#include "cli/character_json.h"
#include "common/vb_error.h"
#include "state/app_state.h"
#include "state/read_character_file.h"

#include <ostream>
#include <vector>

namespace quillet {

namespace {

// The reader's user interface on a console: message boxes are collected
// for the JSON output, everything else has nothing to show.
class CollectingUi : public ReaderUi {
public:
    void messageBox(const Text& text) override { messages.push_back(text); }
    void setMainWindowCaption(const Text&) override {}
    void setPortraitFileName(const Text&) override {}
    void doEvents() override {}

    std::vector<Text> messages;
};

} // namespace

int runDumpCommand(const Text& homePath, const Text& characterFile, std::ostream& out)
{
    AppState state;
    state.HomePath = homePath;
    state.SetDefaults();
    CollectingUi ui;

    const char* status = "ok";
    std::optional<VbError> error;
    std::optional<size_t> errorLine;
    try {
        if (!ReadCharacterFile(state, ui, characterFile))
            status = "rejected";
    } catch (const CharacterFileError& e) {
        status = "failed";
        error = e;
        errorLine = e.firstLine();
    } catch (const VbError& e) {
        status = "failed";
        error = e;
    }
    // Written first, so that a property the character cannot give still
    // fails the dump with its error instead of ending the program.
    JsonWriter character;
    if (std::optional<VbError> unwritable = writeCharacterJson(character, state.currentCharacter())) {
        if (!error)
            error = unwritable;
        status = "failed";
    }

    JsonWriter json;
    json.beginObject();
    json.key("status");
    json.value(status);
    json.key("messages");
    json.beginArray();
    for (const auto& m : ui.messages)
        json.value(m);
    json.endArray();
    if (error) {
        json.key("error");
        json.beginObject();
        json.key("number");
        json.value(error->number());
        json.key("description");
        json.value(error->description());
        if (errorLine) {
            json.key("line");
            json.value(static_cast<long long>(*errorLine));
        }
        json.endObject();
    }
    json.key("character");
    json.embed(character);
    json.endObject();
    out << json.str() << '\n';
    return std::string_view(status) == "ok" ? 0 : 2;
}

} // namespace quillet
