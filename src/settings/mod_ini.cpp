#include "settings/mod_ini.h"

#include "settings/file_access.h"
#include "settings/profile_file.h"

#include <limits>

namespace quillet {

namespace {

struct LoadedProfile {
    bool usable = false; // false: the file exists but must not be touched
    ProfileFile file;
};

LoadedProfile loadProfile(const Text& fileName)
{
    const FileRead read = readWholeFile(toUtf8(fileName), modINI::kMaxFileSize);
    switch (read.status) {
    case FileRead::Status::Ok:
        return {true, ProfileFile::fromText(decodeFileText(read.bytes))};
    case FileRead::Status::Missing:
        return {true, ProfileFile()};
    case FileRead::Status::Unreadable:
        break;
    }
    return {};
}

// Cuts after `length` code units without leaving half a surrogate pair.
Text firstCodeUnits(Text text, size_t length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF)
        --length;
    text.resize(length);
    return text;
}

} // namespace

int32_t profileWholeNumber(TextView text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    int64_t magnitude = 0;
    constexpr int64_t kCap = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - u'0');
        if (magnitude > kCap)
            magnitude = kCap;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

modINI::modINI(MessageBoxHandler messageBoxHandler) : messageBox(std::move(messageBoxHandler)) {}

void modINI::IniRegister(TextView section, TextView fileName)
{
    section_ = trimSpaces(section);
    fileName_ = trimSpaces(fileName);
    registered_ = true;
}

bool modINI::checkRegistered()
{
    if (registered_)
        return true;
    if (messageBox)
        messageBox({u"[Section] and FileName Not Registered in Private.Ini!", u"IniFile Logic Error",
                    MessageIcon::Critical});
    return false;
}

std::optional<Text> modINI::storedValue(TextView key) const
{
    const LoadedProfile profile = loadProfile(fileName_);
    if (!profile.usable)
        return std::nullopt;
    return profile.file.value(section_, key);
}

int32_t modINI::IniGetInt(TextView key, int32_t defaultValue)
{
    if (!checkRegistered())
        return 0;
    const std::optional<Text> stored = storedValue(key);
    return stored ? profileWholeNumber(*stored) : defaultValue;
}

Text modINI::IniGetString(TextView key, TextView defaultValue)
{
    if (!checkRegistered())
        return Text();
    std::optional<Text> stored = storedValue(key);
    if (!stored)
        return Text(defaultValue);
    return firstCodeUnits(std::move(*stored), kMaxValueLength);
}

void modINI::IniPutInt(TextView key, int32_t value)
{
    IniPutString(key, decimalText(value));
}

void modINI::IniPutString(TextView key, TextView value)
{
    lastWriteSucceeded_ = false;
    if (!checkRegistered() || fileName_.empty())
        return;
    LoadedProfile profile = loadProfile(fileName_);
    if (!profile.usable)
        return;
    if (!profile.file.setValue(section_, key, value))
        return;
    lastWriteSucceeded_ = replaceFileAtomically(toUtf8(fileName_), toUtf8(profile.file.toText()));
}

} // namespace quillet
