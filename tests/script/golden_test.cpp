// Runs every tests/script/golden/<topic>.vbs through the engine and
// compares what it echoes (and the error that ends it, if any) with
// <topic>.out.
#include "cli/wscript_object.h"
#include "script/engine.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillet::script {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(QUILLET_SOURCE_DIR) / "tests" / "script" / "golden";

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    const std::string text = s.str();
    // Compare line ends as LF whatever the checkout did.
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n')
            out.push_back(text[i]);
    }
    return out;
}

std::string runScript(const fs::path& path)
{
    std::ostringstream out;
    {
        Engine engine;
        UiCallbacks ui;
        ui.messageBox = [&out](const Text& prompt, int buttons, const Text& title) {
            out << "[MsgBox " << buttons << " " << toUtf8(title) << "] " << toUtf8(prompt) << '\n';
            return 1;
        };
        ui.inputBox = [&out](const Text& prompt, const Text&, const Text& def) -> std::optional<Text> {
            out << "[InputBox] " << toUtf8(prompt) << '\n';
            return def;
        };
        engine.setUiCallbacks(ui);
        const Text dataFolder = fromUtf8((kGoldenDir / "files").string());
        engine.setFileAccess({{dataFolder}, dataFolder});
        engine.addObject(u"WScript", cli::makeWScriptObject(out, {u"one", u"two"}, u"t.vbs", u"/t.vbs"), false);
        engine.addObject(u"Host", testing::makeTestHost(), false);
        try {
            if (!engine.addCode(decodeFileText(readFile(path)))) {
                const ScriptErrorInfo& e = engine.lastError();
                out << "(" << e.line << ", " << e.column << ") "
                    << (e.compileError ? "compile error " : "runtime error ") << e.number << ": "
                    << toUtf8(e.description) << '\n';
            }
        } catch (const cli::QuitRequest& q) {
            out << "[Quit " << q.exitCode << "]\n";
        }
    } // the engine is gone, and every Class_Terminate has run and echoed
    return out.str();
}

std::vector<std::string> goldenTopics()
{
    std::vector<std::string> topics;
    for (const auto& entry : fs::directory_iterator(kGoldenDir)) {
        if (entry.path().extension() == ".vbs")
            topics.push_back(entry.path().stem().string());
    }
    std::sort(topics.begin(), topics.end());
    return topics;
}

class GoldenScript : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenScript, EchoesTheExpectedOutput)
{
    const fs::path script = kGoldenDir / (GetParam() + ".vbs");
    const fs::path expected = kGoldenDir / (GetParam() + ".out");
    ASSERT_TRUE(fs::exists(expected)) << expected;
    EXPECT_EQ(readFile(expected), runScript(script));
}

INSTANTIATE_TEST_SUITE_P(Topics, GoldenScript, ::testing::ValuesIn(goldenTopics()),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace quillet::script
