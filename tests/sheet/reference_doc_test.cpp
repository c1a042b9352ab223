// docs/sheet-scripts.md against the code: every member the script objects
// expose is documented under a heading of its own object, nothing
// documented is missing from them, every member's example runs against the
// bundled sample character, and every builtin listed exists.
#include "../state/reader_fixture.h"
#include "recording_host.h"
#include "sheet_folder.h"

#include "script/engine.h"
#include "script/host_object.h"
#include "sheet/character_objects.h"
#include "sheet/mod_print_report.h"
#include "sheet/print_class.h"
#include "state/read_character_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace quillet;
using namespace quillet::testing;

namespace {

using Names = std::set<std::string>;

const char* const kReference = QUILLET_SOURCE_DIR "/docs/sheet-scripts.md";
const char* const kSampleCharacter = QUILLET_SOURCE_DIR "/data/characters/aldric.kvr";

struct MemberSection {
    std::string heading;
    std::vector<std::string> example; // the lines of its first vb block
};

// What the reference documents, read from its headings: "### Preview.X,
// Preview.Y" opens the section of those members.
struct Reference {
    std::map<std::string, Names> members; // by object label
    std::vector<MemberSection> sections;
    std::vector<std::string> builtins;    // listed under "### Builtin ..."
    std::vector<std::string> problems;
};

Reference readReference()
{
    Reference ref;
    std::ifstream in(kReference);
    if (!in)
        ref.problems.push_back(std::string("cannot read ") + kReference);
    const std::regex memberName(R"(^(Preview|Char|Race|Lists|List|Item)\.([A-Za-z]+)$)");
    const std::regex codeWord(R"(`([A-Za-z][A-Za-z0-9]*)`)");
    std::string line;
    MemberSection* section = nullptr;
    bool inBuiltins = false, inExample = false, exampleDone = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (inExample) {
            if (line.rfind("```", 0) == 0) {
                inExample = false;
                exampleDone = true;
            } else {
                section->example.push_back(line);
            }
            continue;
        }
        if (line.rfind("#", 0) == 0) {
            section = nullptr;
            exampleDone = false;
            inBuiltins = line.rfind("### Builtin ", 0) == 0;
            if (line.rfind("### ", 0) != 0)
                continue;
            std::stringstream parts(line.substr(4));
            std::string part;
            bool anyMember = false, allMembers = true;
            std::vector<std::pair<std::string, std::string>> named;
            while (std::getline(parts, part, ',')) {
                part.erase(0, part.find_first_not_of(' '));
                std::smatch m;
                if (std::regex_match(part, m, memberName))
                    named.emplace_back(m[1], m[2]), anyMember = true;
                else
                    allMembers = false;
            }
            if (!anyMember)
                continue;
            if (!allMembers)
                ref.problems.push_back("a heading mixes members and other words: " + line);
            for (const auto& [object, member] : named)
                if (!ref.members[object].insert(member).second)
                    ref.problems.push_back(object + "." + member + " is documented twice");
            ref.sections.push_back({line.substr(4), {}});
            section = &ref.sections.back();
            continue;
        }
        if (section && !exampleDone && line == "```vb") {
            inExample = true;
            continue;
        }
        if (inBuiltins)
            for (std::sregex_iterator it(line.begin(), line.end(), codeWord), end; it != end; ++it)
                ref.builtins.push_back((*it)[1]);
    }
    return ref;
}

const script::NativeClass& classOf(const script::Value& object)
{
    return dynamic_cast<script::NativeObject&>(*object.rawObject()).nativeClass();
}

Names membersOf(const script::NativeClass& cls)
{
    Names names;
    for (int i = 0;; ++i) {
        const script::NativeMember* member = cls.member(i);
        if (!member && i > 0)
            break;
        if (member)
            names.insert(toUtf8(member->name));
    }
    return names;
}

// The member tables of the objects a script reaches, by the labels the
// reference uses.
std::map<std::string, Names> membersInTheCode()
{
    auto character = std::make_shared<KVRCharacter>();
    return {
        {"Preview", membersOf(printWrapperClass())},
        {"Char", membersOf(classOf(characterObject(character)))},
        {"Race", membersOf(classOf(raceObject(character->Race)))},
        {"Lists", membersOf(classOf(itemListsObject(character->Lists)))},
        {"List", membersOf(classOf(itemListObject(character->Lists->Item(1))))},
        {"Item", membersOf(classOf(itemObject(std::make_shared<clsItem>())))},
    };
}

// Runs `script` (a whole sheet file) on the sample character; the
// runner's messages, empty when it printed.
std::vector<Text> runSheet(const std::string& script, std::vector<Text>* log = nullptr)
{
    SheetFolder folder;
    std::ofstream(toUtf8(folder.state.TesseraFile), std::ios::binary) << script;
    RecordingUi reader;
    if (!ReadCharacterFile(folder.state, reader, fromUtf8(kSampleCharacter)))
        return {u"the sample character did not load"};
    script::Engine engine;
    RecordingHost host;
    std::vector<Text> lines;
    ReportContext context{folder.state, engine, host, [&](const Text& line) { lines.push_back(line); }, {}};
    const ReportResult result = PrintReport(context, true);
    if (log)
        *log = lines;
    if (result != ReportResult::Printed && host.messages.empty())
        return {u"not printed"};
    return host.messages;
}

class ReferenceDoc : public ::testing::Test {
protected:
    static void SetUpTestSuite() { reference = new Reference(readReference()); }
    static void TearDownTestSuite() { delete reference; }
    static inline Reference* reference = nullptr;
};

} // namespace

TEST_F(ReferenceDoc, EveryMemberAndNothingElse)
{
    for (const std::string& problem : reference->problems)
        ADD_FAILURE() << problem;
    for (const auto& [object, inCode] : membersInTheCode()) {
        const Names& documented = reference->members[object];
        for (const std::string& name : inCode)
            EXPECT_TRUE(documented.count(name)) << object << "." << name << " is not documented";
        for (const std::string& name : documented)
            EXPECT_TRUE(inCode.count(name)) << object << "." << name << " is documented but does not exist";
    }
    EXPECT_EQ(reference->members.size(), 6u) << "a heading names an object the test does not know";
}

TEST_F(ReferenceDoc, EveryExampleRunsOnTheSampleCharacter)
{
    ASSERT_FALSE(reference->sections.empty());
    for (const MemberSection& section : reference->sections) {
        size_t codeLines = 0;
        std::string body;
        for (const std::string& line : section.example) {
            codeLines += line.find_first_not_of(' ') != std::string::npos;
            body += line + "\r\n";
        }
        EXPECT_GE(codeLines, 2u) << section.heading << ": the example needs two lines";
        const std::vector<Text> messages = runSheet("'VBScript\r\nSub main\r\n" + body + "End Sub\r\n");
        EXPECT_TRUE(messages.empty()) << section.heading << ": " << (messages.empty() ? "" : toUtf8(messages[0]));
    }
}

TEST_F(ReferenceDoc, EveryBuiltinListedExists)
{
    ASSERT_GT(reference->builtins.size(), 100u);
    // Under Option Explicit an unknown name is error 500; a builtin used
    // without its arguments fails otherwise, or not at all.
    std::string script = "'VBScript\r\nOption Explicit\r\nSub main\r\n  Dim x\r\n  On Error Resume Next\r\n";
    for (const std::string& name : reference->builtins)
        script += "  Err.Clear: x = " + name + ": If Err.Number = 500 Then DebugLog \"unknown " + name + "\"\r\n";
    script += "End Sub\r\n";
    std::vector<Text> log;
    EXPECT_TRUE(runSheet(script, &log).empty());
    size_t unknown = 0;
    for (const Text& line : log)
        if (line.find(u"unknown ") != Text::npos)
            ADD_FAILURE() << toUtf8(line) << " (documented as a builtin)", ++unknown;
    EXPECT_EQ(unknown, 0u);

    // And the check itself sees an unknown name.
    std::vector<Text> probe;
    runSheet("'VBScript\r\nOption Explicit\r\nSub main\r\n  Dim x\r\n  On Error Resume Next\r\n"
             "  x = NoSuchBuiltin: If Err.Number = 500 Then DebugLog \"unknown\"\r\nEnd Sub\r\n",
             &probe);
    EXPECT_NE(std::find(probe.begin(), probe.end(), Text(u"  unknown")), probe.end());
}
