#include "settings/prefs_model.h"

namespace quillet {

PrefsModel::PrefsModel(AppState& state) : state_(state) {}

void PrefsModel::load()
{
    checks_.fill(kCheckClear);
    for (size_t i = 0; i < kPrefsCheckBoxes.size(); ++i)
        if (state_.*kPrefsCheckBoxes[i].flag != 0)
            checks_[i] = kCheckTicked;
}

int16_t PrefsModel::checkState(size_t index) const
{
    return index < checks_.size() ? checks_[index] : kCheckClear;
}

void PrefsModel::setCheckState(size_t index, int16_t state)
{
    if (index < checks_.size() && state >= kCheckClear && state <= kCheckGreyed)
        checks_[index] = state;
}

void PrefsModel::ok()
{
    for (const PrefsCheckBox& box : kPrefsCheckBoxes)
        state_.*box.flag = kFalse;
    for (size_t i = 0; i < kPrefsCheckBoxes.size(); ++i)
        if (checks_[i] == kCheckTicked)
            state_.*kPrefsCheckBoxes[i].flag = kTrue;
}

} // namespace quillet
