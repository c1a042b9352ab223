// The six procedures that read and write the settings file quillet32.ini
// in the settings folder (AppState::settingsFolder): the recent-file list
// (section MRUFileList),
// the option flags and paths (Options, Paths) and the window measures
// (Windows: the logging window's, the main window's and the file dialogs'
// size).  Start-up reads them in the order
// ReadMRUList, ReadOptions, ReadWindowSettings; closing the main window
// writes WriteOptions, WriteMRUList, WriteWindowSettings.
//
// Reading replaces only what the file holds: an absent key keeps the
// current value (the start-up defaults), except that an absent MRUFile key
// empties its position.  When the settings folder is not the program
// folder and holds no settings file yet, the program folder's file is
// read instead (settings that came with the program), and the first
// write creates the user's own.  A file that cannot be written leaves the
// settings unsaved; writeAtClose tells the caller.
#pragma once

#include "settings/mod_ini.h"
#include "state/app_state.h"

#include <functional>

namespace quillet {

class SettingsFile {
public:
    // `ini` carries the message-box handler; the procedures register their
    // own sections on it.
    SettingsFile(AppState& state, modINI& ini);

    // The file written: quillet32.ini in the settings folder.
    Text fileName() const;
    // The file read: fileName(), or the program folder's when that is
    // the only one there is.
    Text readFileName() const;

    void ReadMRUList();
    void ReadOptions();
    void ReadWindowSettings();

    void WriteMRUList();
    void WriteOptions();
    void WriteWindowSettings();

    // Start-up's reading: ReadMRUList, ReadOptions, ReadWindowSettings.
    void readAtStartUp();
    // The main window's closing, after every other window has been unloaded:
    // WriteOptions, WriteMRUList, WriteWindowSettings.  False when any write
    // failed (the user is not told).
    bool writeAtClose();

    // Rebuilds the recent-file entries of the File menu; ReadMRUList calls
    // it after reading.  The desktop shell fills it.
    std::function<void()> BuildMRUMenu;

    // False when any write of the last Write procedure failed.
    bool lastWriteSucceeded() const { return lastWriteSucceeded_; }

private:
    void registerSection(TextView section, const Text& file);
    int16_t readFlag(TextView key, int16_t current);
    float readMeasure(TextView key, float current, float lowest);
    void put(TextView key, TextView value);

    AppState& state_;
    modINI& ini_;
    bool lastWriteSucceeded_ = true;
};

// Window measures read from the file stay within this many twips of 0
// (20,000 pixels: more than any desktop of screens); sizes are never
// negative.  The desktop then fits the window to its screens.
inline constexpr float kMaxWindowMeasure = 300000;

// A flag read from the file narrowed to 16 bits.  Numbers beyond the
// 16-bit range stop at its ends (70000 -> 32767), so a value that was not
// 0 never turns into 0 and its sign is kept.
int16_t narrowFlag(int32_t stored);

} // namespace quillet
