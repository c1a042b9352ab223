// A temporary folder, a fresh application state and a user interface that
// records what the reader showed, for the character file reader's tests.
#pragma once

#include "character/file_io.h"
#include "character/reader_ui.h"
#include "state/app_state.h"
#include "state/read_character_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillet::testing {

class RecordingUi : public ReaderUi {
public:
    void messageBox(const Text& text) override { messages.push_back(text); }
    void setMainWindowCaption(const Text& caption) override { this->caption = caption; }
    void setPortraitFileName(const Text& fileName) override { portraits.push_back(fileName); }
    void doEvents() override { ++events; }

    std::vector<Text> messages;
    Text caption;
    std::vector<Text> portraits;
    int events = 0;
};

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes raw bytes to a file in the temporary folder; returns its path.
    Text writeFile(const std::string& name, const std::string& bytes);
    // Writes lines joined by CR LF, with a final CR LF.
    Text writeLines(const std::string& name, const std::vector<std::string>& lines);
    // Reads and returns the VbError number (0 when the read completed).
    int read(const Text& path);

    KVRCharacter& character() { return state.currentCharacter(); }
    ItemList& list(int16_t n) { return character().list(n); }

    std::string dir;
    AppState state;
    RecordingUi ui;
};

} // namespace quillet::testing
