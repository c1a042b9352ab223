#include "settings/settings_file.h"

#include "common/file_system.h"
#include "common/vb_error.h"
#include "common/vb_number.h"
#include "settings/single_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillet {

namespace {

constexpr TextView kMRUSection = u"MRUFileList";
constexpr TextView kOptionsSection = u"Options";
// Whether the preview window shows the pages again at each save.
constexpr TextView kLiveRefreshKey = u"PreviewLiveRefresh";
constexpr TextView kPathsSection = u"Paths";
constexpr TextView kWindowsSection = u"Windows";

Text mruKey(int n)
{
    return u"MRUFile" + decimalText(n);
}

} // namespace

int16_t narrowFlag(int32_t stored)
{
    return static_cast<int16_t>(std::clamp<int32_t>(stored, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

SettingsFile::SettingsFile(AppState& state, modINI& ini) : state_(state), ini_(ini) {}

Text SettingsFile::fileName() const
{
    return state_.settingsFolder() + u"quillet32.ini";
}

Text SettingsFile::readFileName() const
{
    const Text own = fileName();
    const Text bundled = state_.HomePath + u"quillet32.ini";
    if (own != bundled && !FileExists(own) && FileExists(bundled))
        return bundled;
    return own;
}

void SettingsFile::registerSection(TextView section, const Text& file)
{
    ini_.IniRegister(section, file);
}

int16_t SettingsFile::readFlag(TextView key, int16_t current)
{
    return narrowFlag(ini_.IniGetInt(key, current));
}

// The leading number of the stored text, brought within lowest ..
// kMaxWindowMeasure: a window millions of pixels wide would take the
// program's memory.  A number that no single-precision value can hold (or
// not even a double) keeps the current measure rather than stopping
// start-up.
float SettingsFile::readMeasure(TextView key, float current, float lowest)
{
    const Text stored = ini_.IniGetString(key, singleText(current));
    double value = 0;
    try {
        value = leadingNumber(stored);
    } catch (const VbError&) {
        return current;
    }
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return current;
    return static_cast<float>(std::clamp<double>(value, lowest, kMaxWindowMeasure));
}

void SettingsFile::put(TextView key, TextView value)
{
    ini_.IniPutString(key, value);
    lastWriteSucceeded_ = lastWriteSucceeded_ && ini_.lastWriteSucceeded();
}

void SettingsFile::ReadMRUList()
{
    const Text file = readFileName();
    registerSection(kMRUSection, file);
    for (int n = 1; n <= 4; ++n)
        state_.MRUFiles[static_cast<size_t>(n)] = ini_.IniGetString(mruKey(n), u"");
    if (BuildMRUMenu)
        BuildMRUMenu();
}

void SettingsFile::ReadOptions()
{
    const Text file = readFileName();
    registerSection(kOptionsSection, file);
    state_.Debug = readFlag(u"Debug", state_.Debug);
    state_.EchoToRun = readFlag(u"EchoToRun", state_.EchoToRun);
    state_.LinesToLog = readFlag(u"LinesToLog", state_.LinesToLog);
    state_.NoLogo = readFlag(u"NoLogo", state_.NoLogo);
    state_.PrinterFont = ini_.IniGetString(u"PrinterFont", state_.PrinterFont);
    state_.TesseraFile = ini_.IniGetString(u"TesseraFile", state_.TesseraFile);

    registerSection(kPathsSection, file);
    state_.TesseraDir = ini_.IniGetString(u"TesseraDir", state_.TesseraDir);
    state_.CharDir = ini_.IniGetString(u"CharDir", state_.CharDir);
}

void SettingsFile::ReadWindowSettings()
{
    const Text file = readFileName();
    registerSection(kWindowsSection, file);
    state_.LogLeft = readMeasure(u"LogLeft", state_.LogLeft, -kMaxWindowMeasure);
    state_.LogTop = readMeasure(u"LogTop", state_.LogTop, -kMaxWindowMeasure);
    state_.LogWidth = readMeasure(u"LogWidth", state_.LogWidth, 0);
    state_.LogHeight = readMeasure(u"LogHeight", state_.LogHeight, 0);
    state_.MainLeft = readMeasure(u"MainLeft", state_.MainLeft, -kMaxWindowMeasure);
    state_.MainTop = readMeasure(u"MainTop", state_.MainTop, -kMaxWindowMeasure);
    state_.MainWidth = readMeasure(u"MainWidth", state_.MainWidth, 0);
    state_.MainHeight = readMeasure(u"MainHeight", state_.MainHeight, 0);
    state_.MainMaximized = readFlag(u"MainMaximized", state_.MainMaximized);
    state_.FileDialogWidth = readMeasure(u"FileDialogWidth", state_.FileDialogWidth, 0);
    state_.FileDialogHeight = readMeasure(u"FileDialogHeight", state_.FileDialogHeight, 0);
    state_.LiveRefresh = readFlag(kLiveRefreshKey, state_.LiveRefresh);
}

void SettingsFile::readAtStartUp()
{
    ReadMRUList();
    ReadOptions();
    ReadWindowSettings();
}

bool SettingsFile::writeAtClose()
{
    WriteOptions();
    bool ok = lastWriteSucceeded_;
    WriteMRUList();
    ok = ok && lastWriteSucceeded_;
    WriteWindowSettings();
    return ok && lastWriteSucceeded_;
}

void SettingsFile::WriteMRUList()
{
    lastWriteSucceeded_ = true;
    const Text file = fileName();
    registerSection(kMRUSection, file);
    for (int n = 1; n <= 4; ++n)
        put(mruKey(n), state_.MRUFiles[static_cast<size_t>(n)]);
}

void SettingsFile::WriteOptions()
{
    lastWriteSucceeded_ = true;
    const Text file = fileName();
    // Flags are written as held: the program itself only stores -1 or 0,
    // and a 1 typed into the file by hand stays a 1 (shown ticked, but not
    // switching logging on) instead of turning into -1 behind the user's back.
    registerSection(kOptionsSection, file);
    put(u"Debug", decimalText(state_.Debug));
    put(u"EchoToRun", decimalText(state_.EchoToRun));
    put(u"LinesToLog", decimalText(state_.LinesToLog));
    put(u"NoLogo", decimalText(state_.NoLogo));
    put(u"PrinterFont", state_.PrinterFont);
    put(u"TesseraFile", state_.TesseraFile);

    registerSection(kPathsSection, file);
    put(u"TesseraDir", state_.TesseraDir);
    put(u"CharDir", state_.CharDir);
}

void SettingsFile::WriteWindowSettings()
{
    lastWriteSucceeded_ = true;
    const Text file = fileName();
    registerSection(kWindowsSection, file);
    put(u"LogLeft", singleText(state_.LogLeft));
    put(u"LogTop", singleText(state_.LogTop));
    put(u"LogWidth", singleText(state_.LogWidth));
    put(u"LogHeight", singleText(state_.LogHeight));
    // Measures the program never had are left out rather than stored as 0.
    if (state_.MainWidth > 0 && state_.MainHeight > 0) {
        put(u"MainLeft", singleText(state_.MainLeft));
        put(u"MainTop", singleText(state_.MainTop));
        put(u"MainWidth", singleText(state_.MainWidth));
        put(u"MainHeight", singleText(state_.MainHeight));
        put(u"MainMaximized", decimalText(state_.MainMaximized));
    }
    if (state_.FileDialogWidth > 0 && state_.FileDialogHeight > 0) {
        put(u"FileDialogWidth", singleText(state_.FileDialogWidth));
        put(u"FileDialogHeight", singleText(state_.FileDialogHeight));
    }
    // Stored once switched off, and from then on: a file that never had it
    // stays as it always was.
    const bool stored = ini_.IniGetString(kLiveRefreshKey, u"?") != u"?";
    if (state_.LiveRefresh == kFalse || stored)
        put(kLiveRefreshKey, decimalText(state_.LiveRefresh));
}

} // namespace quillet
