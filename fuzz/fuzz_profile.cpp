// The settings file: the profile reader over arbitrary file contents and
// the writer putting a key back.  Two checks: a key that was written reads
// back as the value given (in memory and through the file), and writing
// one key leaves every other line of the file as it was.
#include "fuzz_text.h"
#include "settings/mod_ini.h"
#include "settings/profile_file.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// One file per fuzzing process, on a memory file system when there is one.
const std::string& profilePath()
{
    static const std::string path = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                    "/quillet-fuzz-profile-" + std::to_string(::getpid()) + ".ini";
    return path;
}

bool hasSurrogate(quillet::TextView text)
{
    for (char16_t c : text)
        if (c >= 0xD800 && c <= 0xDFFF)
            return true;
    return false;
}

void checkInMemory(const quillet::Text& content, const quillet::Text& section, const quillet::Text& key,
                   const quillet::Text& value)
{
    using namespace quillet;
    ProfileFile file = ProfileFile::fromText(content);
    (void)file.value(section, key);
    const std::vector<Text> before = file.lines();
    if (!file.setValue(section, key, value)) {
        if (ProfileFile::canWrite(section, key, value) || file.lines() != before)
            std::abort();
        return;
    }
    const ProfileFile reread = ProfileFile::fromText(file.toText());
    if (reread.value(section, key) != value)
        std::abort();
    // One key line replaced, or up to three lines added (a blank line, a
    // header and the key); every other line stays, in its order.
    const std::vector<Text>& after = reread.lines();
    if (after.size() == before.size()) {
        size_t changed = 0;
        for (size_t i = 0; i < before.size(); ++i)
            changed += before[i] != after[i];
        if (changed > 1)
            std::abort();
    } else {
        if (after.size() < before.size() + 1 || after.size() > before.size() + 3)
            std::abort();
        size_t i = 0;
        for (size_t j = 0; j < after.size() && i < before.size(); ++j)
            i += before[i] == after[j];
        if (i != before.size())
            std::abort();
    }
}

void checkThroughFile(const std::string& bytes, const quillet::Text& section, const quillet::Text& key,
                      const quillet::Text& value)
{
    using namespace quillet;
    {
        std::ofstream out(profilePath(), std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    modINI ini;
    ini.IniRegister(section, fromUtf8(profilePath()));
    (void)ini.IniGetInt(key, 7);
    (void)ini.IniGetString(key, u"default");
    ini.IniPutString(key, value);
    if (ini.lastWriteSucceeded() && !hasSurrogate(value)) {
        const Text expected = value.substr(0, modINI::kMaxValueLength);
        if (ini.IniGetString(key, u"") != expected && !hasSurrogate(section) && !hasSurrogate(key))
            std::abort();
    }
    // libFuzzer ends without running exit handlers: leave nothing behind.
    ::unlink(profilePath().c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quillet;
    FuzzedDataProvider in(data, size);
    const Text section = fuzz::takeText(in, 24);
    const Text key = fuzz::takeText(in, 24);
    const Text value = fuzz::takeText(in, 300);
    const bool throughFile = in.ConsumeBool();
    const std::string bytes = in.ConsumeRemainingBytesAsString();

    checkInMemory(fuzz::fileText(bytes), section, key, value);
    if (throughFile)
        checkThroughFile(bytes, section, key, value);
    return 0;
}
