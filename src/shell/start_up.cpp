#include "shell/start_up.h"

#include "common/settings_folder.h"
#include "shell/form_main.h"
#include "shell/shell.h"
#include "shell/window_placement.h"

#include <QDir>

namespace quillet {

void Main(Shell& shell, const Text& programFolder, const HandedFiles& files)
{
    AppState& state = shell.state;
    state.Busy = kFalse;
    state.HomePath = programFolder;
    if (state.HomePath.empty() || state.HomePath.back() != u'/')
        state.HomePath += u'/';
    // A folder chosen before start-up (by a test) is kept.
    if (state.SettingsFolder.empty())
        state.SettingsFolder = settingsFolderFor(state.HomePath);
    // A folder that cannot be made shows when the settings are written.
    if (state.SettingsFolder != state.HomePath)
        makeFolders(state.SettingsFolder);
    Text current = state.HomePath;
    if (current.size() > 1)
        current.pop_back();
    QDir::setCurrent(QString::fromStdU16String(current));
    state.MRUFiles.fill(Text());
    state.CRLF = u"\r\n";
    state.ParaMarker = u"~P";
    state.SetDefaults();

    // Reading the recent files builds their menu entries, which creates
    // the main window (not shown yet).
    shell.settings.readAtStartUp();
    shell.logging.OpenLog();
    shell.LogLine(u"KVR Character Printer " + VersionText());
    shell.LogLine(u"HomePath = " + state.HomePath);

    state.ClearCharacter();
    state.ScriptHost.Clear();

    FormMain& window = shell.mainWindow();
    window.showCaptionWithoutFile();
    window.setStatusText(Text(kNoticeLine));
    window.showTesseraFile();
    window.showLogo(state.NoLogo == kFalse);
    window.placeFromSettings();
    shell.dialogs.fileDialogSize = pixelSizeOf(state.FileDialogWidth, state.FileDialogHeight);
    window.show();
    window.openHandedFiles(files);
}

} // namespace quillet
