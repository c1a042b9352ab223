#include "state/app_state.h"

#include "common/vb_error.h"

namespace quillet {

AppState::AppState()
{
    ClearCharacter();
}

void AppState::SetDefaults()
{
    PrinterFont = u"Arial";
    TesseraFile = HomePath + u"chrsht.tsx";
    TesseraDir = HomePath;
    CharDir = HomePath;
    Debug = kFalse;
    EchoToRun = kFalse;
    LinesToLog = kFalse;
    NoLogo = kFalse;
    LiveRefresh = kTrue;
    LogLeft = 960;
    LogTop = 4515;
    LogWidth = 7485;
    LogHeight = 3225;
    MainLeft = MainTop = MainWidth = MainHeight = 0;
    MainMaximized = kFalse;
    FileDialogWidth = FileDialogHeight = 0;
}

void AppState::ClearCharacter()
{
    KeyedList<KVRCharacter> fresh;
    fresh.Add(std::make_shared<KVRCharacter>());
    Characters = std::move(fresh);
    CurrentCharacter = 1;
}

KVRCharacter& AppState::currentCharacter() const
{
    return *Characters.Item(CurrentCharacter);
}

std::shared_ptr<KVRCharacter> AppState::currentCharacterPtr() const
{
    return Characters.Item(CurrentCharacter);
}

void AppState::setMousePointer(int16_t shape)
{
    mousePointer_ = shape;
    if (showMousePointer)
        showMousePointer(shape);
}

void AppState::PushMousePointer(int16_t shape)
{
    if (!pointerStackCreated_) {
        pointerStackCreated_ = true;
        pointerStack_.assign(1, kPointerDefault);
    }
    pointerStack_.push_back(mousePointer_);
    if (shape == kPointerHourglass)
        Busy = kTrue;
    setMousePointer(shape);
}

void AppState::PopMousePointer()
{
    if (!pointerStackCreated_)
        return;
    if (pointerStack_.size() <= 1) {
        setMousePointer(kPointerDefault);
        return;
    }
    const int16_t restored = pointerStack_.back();
    pointerStack_.pop_back();
    setMousePointer(restored);
    if (restored != kPointerHourglass)
        Busy = kFalse;
}

Text VersionText()
{
    constexpr int major = 2, minor = 0, revision = 14;
    return u"v" + decimalText(major) + u"." + decimalText(minor) + u" \u00DF" + decimalText(revision);
}

int16_t FindLast(int16_t& start, TextView text, TextView find)
{
    if (start == -1) {
        if (text.size() > 32767)
            throw VbError(vberr::Overflow);
        start = static_cast<int16_t>(text.size());
    }
    if (start < 0)
        throw VbError(vberr::InvalidCall);
    const TextView head = text.substr(0, static_cast<size_t>(start));
    if (find.empty())
        return 0;
    const size_t p = head.rfind(find);
    return p == TextView::npos ? 0 : static_cast<int16_t>(p + 1);
}

} // namespace quillet
