#include "settings/prefs_model.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

constexpr size_t kNoLogo = 0, kLinesToLog = 1, kEchoToRun = 2, kDebug = 3;

TEST(PrefsModel, LoadingTicksEveryFlagThatIsNotZero)
{
    AppState state;
    state.Debug = 1; // as typed into the file by hand
    state.EchoToRun = kTrue;
    state.NoLogo = 32767;
    PrefsModel model(state);
    model.setCheckState(kLinesToLog, kCheckGreyed);
    model.load();
    EXPECT_EQ(model.checkState(kDebug), kCheckTicked);
    EXPECT_EQ(model.checkState(kEchoToRun), kCheckTicked);
    EXPECT_EQ(model.checkState(kNoLogo), kCheckTicked);
    EXPECT_EQ(model.checkState(kLinesToLog), kCheckClear);
}

TEST(PrefsModel, OkStoresMinusOneForTickedBoxesOnly)
{
    AppState state;
    state.Debug = 1;
    state.NoLogo = kTrue;
    PrefsModel model(state);
    model.load();
    model.setCheckState(kNoLogo, kCheckGreyed);
    model.setCheckState(kLinesToLog, kCheckTicked);
    model.setCheckState(kEchoToRun, 7);  // not a state: ignored
    model.setCheckState(9, kCheckTicked); // not a box: ignored
    model.ok();
    EXPECT_EQ(state.Debug, kTrue);
    EXPECT_EQ(state.LinesToLog, kTrue);
    EXPECT_EQ(state.NoLogo, kFalse);
    EXPECT_EQ(state.EchoToRun, kFalse);
}

TEST(PrefsModel, CancelChangesNothingAndTheNextLoadStartsAfresh)
{
    AppState state;
    state.Debug = 1;
    PrefsModel model(state);
    model.load();
    model.setCheckState(kDebug, kCheckClear);
    model.setCheckState(kNoLogo, kCheckTicked);
    model.cancel();
    EXPECT_EQ(state.Debug, 1);
    EXPECT_EQ(state.NoLogo, kFalse);
    model.load();
    EXPECT_EQ(model.checkState(kDebug), kCheckTicked);
    EXPECT_EQ(model.checkState(kNoLogo), kCheckClear);
}

} // namespace
} // namespace quillet
