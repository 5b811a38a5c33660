#include <gtest/gtest.h>

#include <cstdint>

#include "gameserver/ColourManager.h"
#include "gameserver/GammaRamp.h"
#include "support/FakeDisplayGamma.h"
#include "support/FakeLifecycle.h"
#include "support/FakeProcessWindows.h"
#include "support/FakeServices.h"

using namespace squadlink;

namespace {

GammaTable linearRamp() {
    GammaTable table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(257 * (i % 256)));
    }
    return table;
}

int level(std::int16_t entry) {
    return static_cast<std::uint16_t>(entry);
}

// Red entries for slider settings, computed independently (step by step in single precision,
// rounding each intermediate) from a linear start-up ramp. The later rows are entries where a
// wider or fused computation lands one level off.
struct RampCase {
    float gamma;
    float contrast;
    float brightness;
    int index;
    int expected;
};

const RampCase kRampCases[] = {
    {1.0F, 1.0F, 1.0F, 0, 256},      {1.0F, 1.0F, 1.0F, 1, 257},
    {1.0F, 1.0F, 1.0F, 2, 514},      {1.0F, 1.0F, 1.0F, 17, 4369},
    {1.0F, 1.0F, 1.0F, 64, 16448},   {1.0F, 1.0F, 1.0F, 127, 32639},
    {1.0F, 1.0F, 1.0F, 128, -32640}, {1.0F, 1.0F, 1.0F, 200, -14136},
    {1.0F, 1.0F, 1.0F, 254, -258},   {1.0F, 1.0F, 1.0F, 255, -1},
    {2.0F, 1.0F, 1.0F, 0, 4092},     {2.0F, 1.0F, 1.0F, 1, 4104},
    {2.0F, 1.0F, 1.0F, 2, 5804},     {2.0F, 1.0F, 1.0F, 17, 16921},
    {2.0F, 1.0F, 1.0F, 64, -32704},  {2.0F, 1.0F, 1.0F, 100, -24496},
    {2.0F, 1.0F, 1.0F, 127, -19287}, {2.0F, 1.0F, 1.0F, 128, -19105},
    {2.0F, 1.0F, 1.0F, 169, -12184}, {2.0F, 1.0F, 1.0F, 200, -7497},
    {2.0F, 1.0F, 1.0F, 255, -1},     {1.5F, 1.2F, 0.9F, 0, 256},
    {1.5F, 1.2F, 0.9F, 17, 256},     {1.5F, 1.2F, 0.9F, 64, 15947},
    {1.5F, 1.2F, 0.9F, 100, 27258},  {1.5F, 1.2F, 0.9F, 127, -30935},
    {1.5F, 1.2F, 0.9F, 128, -30676}, {1.5F, 1.2F, 0.9F, 200, -13691},
    {1.5F, 1.2F, 0.9F, 254, -6554},  {1.5F, 1.2F, 0.9F, 255, -6554},
    {0.5F, 0.3F, 1.6F, 0, -18187},   {0.5F, 0.3F, 1.6F, 1, -18133},
    {0.5F, 0.3F, 1.6F, 17, -17243},  {0.5F, 0.3F, 1.6F, 64, -14361},
    {0.5F, 0.3F, 1.6F, 128, -9793},  {0.5F, 0.3F, 1.6F, 200, -3765},
    {0.5F, 0.3F, 1.6F, 254, -1},     {6.0F, 1.8F, 0.4F, 0, 256},
    {6.0F, 1.8F, 0.4F, 64, 687},     {6.0F, 1.8F, 0.4F, 100, 14473},
    {6.0F, 1.8F, 0.4F, 127, 18995},  {6.0F, 1.8F, 0.4F, 128, 19133},
    {6.0F, 1.8F, 0.4F, 200, 26214},  {6.0F, 1.8F, 0.4F, 255, 26214},
    {0.5F, 0.7F, 0.9F, 85, 3076},    {0.5F, 0.7F, 0.9F, 247, -27156},
    {0.5F, 0.7F, 1.6F, 37, -22068},  {0.5F, 1.0F, 0.9F, 255, -6554},
    {0.5F, 1.0F, 1.2F, 0, 13362},    {0.5F, 1.0F, 1.2F, 7, 13362},
    {0.8F, 1.0F, 1.0F, 72, 13488},   {3.9F, 1.0F, 1.0F, 6, 25058},
    {2.5F, 1.3F, 1.0F, 145, -12499}, {5.3F, 1.3F, 1.0F, 117, -9250},
};

}  // namespace

TEST(BuildGammaRamp, MatchesSinglePrecisionLevels) {
    const GammaTable startup = linearRamp();
    for (const RampCase& row : kRampCases) {
        GammaTable custom{};
        BuildGammaRamp(startup, custom, row.gamma, row.contrast, row.brightness);
        for (int colour = 0; colour < 3; ++colour) {
            EXPECT_EQ(custom[static_cast<std::size_t>(colour * 256 + row.index)], row.expected)
                << "gamma " << row.gamma << " contrast " << row.contrast << " brightness "
                << row.brightness << " entry " << row.index << " colour " << colour;
        }
    }
}

TEST(BuildGammaRamp, NeutralSlidersKeepTheRampButLiftBlack) {
    const GammaTable startup = linearRamp();
    GammaTable custom{};
    BuildGammaRamp(startup, custom, 1.0F, 1.0F, 1.0F);
    for (std::size_t i = 0; i < custom.size(); ++i) {
        if (i % 256 == 0) {
            EXPECT_EQ(custom[i], 256) << i;
        } else {
            EXPECT_EQ(custom[i], startup[i]) << i;
        }
    }
}

TEST(BuildGammaRamp, GammaTwoLiftsTheMiddleToSeventyPercent) {
    GammaTable startup{};
    startup[128] = static_cast<std::int16_t>(static_cast<std::uint16_t>(32896));
    GammaTable custom{};
    BuildGammaRamp(startup, custom, 2.0F, 1.0F, 1.0F);
    EXPECT_LT(custom[128], 0);
    EXPECT_NEAR(level(custom[128]) / 65535.0, 0.7085, 0.0001);
}

TEST(BuildGammaRamp, FullBrightnessSaturatesFromFortyPercent) {
    const GammaTable startup = linearRamp();
    GammaTable custom{};
    BuildGammaRamp(startup, custom, 1.0F, 1.0F, 1.6F);
    for (std::size_t i = 0; i < 256; ++i) {
        if (level(startup[i]) / 65535.0 >= 0.4) {
            EXPECT_EQ(level(custom[i]), 65535) << i;
        } else {
            EXPECT_LT(level(custom[i]), 65535) << i;
        }
    }
}

TEST(BuildGammaRamp, NothingChangesUnlessEveryFactorIsPositive) {
    const GammaTable startup = linearRamp();
    for (const auto& [g, c, b] : {std::tuple{0.0F, 1.0F, 1.0F}, std::tuple{1.0F, -1.0F, 1.0F},
                                  std::tuple{1.0F, 1.0F, 0.0F}}) {
        GammaTable custom{};
        custom[5] = 1234;
        BuildGammaRamp(startup, custom, g, c, b);
        EXPECT_EQ(custom[5], 1234);
        EXPECT_EQ(custom[0], 0);
    }
}

TEST(BuildGammaRamp, DarkestLevelIsNeverBlack) {
    const GammaTable startup{};
    GammaTable custom{};
    BuildGammaRamp(startup, custom, 6.0F, 1.8F, 0.4F);
    for (const auto entry : custom) {
        EXPECT_GE(level(entry), 256);
    }
}

namespace {

// The colour manager on fake services, started as the program starts it.
class ColourManagerTest : public ::testing::Test {
protected:
    void start() {
        manager.connectHandlers(guard);
        manager.InitColourManagement();
        state.bFormReady = true;
    }
    void showGame(bool inFront) {
        processes.running = {{40, "bash"}, {77, "hl_linux"}};
        processes.windows = {{900, 77, "Counter-Strike", false}, {901, 40, "Terminal", false}};
        processes.foreground = inFront ? 900 : 901;
    }
    GammaTable customFor(float gamma, float contrast, float brightness) const {
        GammaTable custom = display.current;
        BuildGammaRamp(linearRamp(), custom, gamma, contrast, brightness);
        return custom;
    }

    WindowModel ui;
    FormState state;
    FakeSettings backend;
    SettingsStore settings{backend};
    FakeMessageBox boxes;
    std::string caption = "Squadlink";
    Messages messages{boxes, caption};
    FakeLifecycle lifecycle;
    ErrorGuard guard{messages, lifecycle};
    FakeDisplayGamma display;
    FakeProcessWindows processes;
    GameWindows windows{processes};
    ColourManager manager{ui, state, settings, display, windows};
};

}  // namespace

TEST_F(ColourManagerTest, StoredSlidersAndAutoModeComeBackAtStart) {
    backend.values = {{"Brightness", "120"}, {"Contrast", "90"}, {"Gamma", "250"}, {"AutoCM", "1"}};
    start();
    EXPECT_EQ(ui.hsBrightness.value(), 120);
    EXPECT_EQ(ui.hsContrast.value(), 90);
    EXPECT_EQ(ui.hsGamma.value(), 250);
    EXPECT_EQ(ui.lBValue.caption(), "120%");
    EXPECT_EQ(ui.lCValue.caption(), "90%");
    EXPECT_EQ(ui.lGValue.caption(), "2.50");
    EXPECT_TRUE(ui.chAutoCM.checked());
    EXPECT_EQ(manager.customRamp(), customFor(2.5F, 0.9F, 1.2F));
    // Nothing reaches the display at start-up.
    EXPECT_TRUE(display.applied.empty());
    manager.SaveSettings();
    EXPECT_EQ(backend.values["Gamma"], "250");
    EXPECT_EQ(backend.values["Brightness"], "120");
    EXPECT_EQ(backend.values["Contrast"], "90");
}

TEST_F(ColourManagerTest, FirstStartShowsNeutralValues) {
    start();
    EXPECT_EQ(ui.fCM.caption(), "Color manager");
    EXPECT_EQ(ui.lBValue.caption(), "100%");
    EXPECT_EQ(ui.lGValue.caption(), "1.00");
    EXPECT_EQ(ui.coTurn.caption(), "Turn on");
    EXPECT_FALSE(ui.chAutoCM.checked());
    EXPECT_TRUE(ui.coTurn.enabled());
}

TEST_F(ColourManagerTest, DisplayWithoutRampDisablesTheFrameButKeepsTheSliders) {
    display.supported = false;
    backend.values = {{"Gamma", "300"}, {"AutoCM", "1"}};
    start();
    EXPECT_EQ(ui.fCM.caption(), "Color manager (not supported by your display adapter)");
    for (const Control* control : std::initializer_list<const Control*>{
             &ui.fCM, &ui.coTurn, &ui.hsBrightness, &ui.hsContrast, &ui.hsGamma, &ui.lGValue,
             &ui.coResetCM, &ui.lNoteCM, &ui.chAutoCM}) {
        EXPECT_FALSE(control->enabled()) << control->name();
    }
    EXPECT_FALSE(ui.chAutoCM.checked());
    // The stored gamma survives a session without a ramp.
    manager.SaveSettings();
    EXPECT_EQ(backend.values["Gamma"], "300");
    manager.RestoreDisplay();
    EXPECT_EQ(display.restores, 0);
}

TEST_F(ColourManagerTest, ManualModeFollowsTheSlidersUntilTurnedOff) {
    start();
    ui.hsGamma.setValue(200);
    EXPECT_TRUE(display.applied.empty()) << "off: sliders do not touch the display";
    ui.coTurn.click();
    EXPECT_EQ(ui.coTurn.caption(), "Turn off");
    EXPECT_EQ(display.current, customFor(2.0F, 1.0F, 1.0F));
    ui.hsBrightness.setValue(130);
    EXPECT_EQ(display.current, customFor(2.0F, 1.0F, 1.3F));
    ui.coTurn.click();
    EXPECT_EQ(ui.coTurn.caption(), "Turn on");
    EXPECT_EQ(display.current, linearRamp());
}

TEST_F(ColourManagerTest, CheckingAutoSwitchesManualOff) {
    start();
    ui.hsContrast.setValue(150);
    ui.coTurn.click();
    ASSERT_NE(display.current, linearRamp());
    ui.chAutoCM.click();
    EXPECT_EQ(ui.coTurn.caption(), "Turn on");
    EXPECT_EQ(display.current, linearRamp());
    EXPECT_EQ(backend.values["AutoCM"], "1");
    // And turning manual on unchecks auto.
    ui.coTurn.click();
    EXPECT_FALSE(ui.chAutoCM.checked());
    EXPECT_EQ(backend.values["AutoCM"], "0");
}

TEST_F(ColourManagerTest, ResetPutsSlidersAndDisplayBack) {
    start();
    ui.hsGamma.setValue(400);
    ui.hsBrightness.setValue(60);
    ui.coTurn.click();
    ui.coResetCM.click();
    EXPECT_EQ(ui.coTurn.caption(), "Turn on");
    EXPECT_EQ(ui.hsGamma.value(), 100);
    EXPECT_EQ(ui.hsBrightness.value(), 100);
    EXPECT_EQ(ui.lGValue.caption(), "1.00");
    EXPECT_EQ(ui.lBValue.caption(), "100%");
    EXPECT_EQ(display.current, linearRamp());
}

TEST_F(ColourManagerTest, AutoModeAppliesOnlyWhileTheGameIsInFront) {
    backend.values = {{"AutoCM", "1"}, {"Gamma", "200"}};
    start();
    ui.tBanner.start();
    showGame(false);
    manager.t1secGameWatch();
    EXPECT_FALSE(state.bGameInFront);
    EXPECT_TRUE(display.applied.empty());

    showGame(true);
    manager.t1secGameWatch();
    EXPECT_TRUE(state.bGameInFront);
    EXPECT_FALSE(ui.tBanner.enabled());
    EXPECT_EQ(display.current, customFor(2.0F, 1.0F, 1.0F));
    // The hot keys move the gamma while the game is in front: applied at once.
    ui.hsGamma.setValue(250);
    EXPECT_EQ(display.current, customFor(2.5F, 1.0F, 1.0F));
    const auto appliedSoFar = display.applied.size();
    manager.t1secGameWatch();
    EXPECT_EQ(display.applied.size(), appliedSoFar) << "applied once per arrival";

    showGame(false);
    manager.t1secGameWatch();
    EXPECT_FALSE(state.bGameInFront);
    EXPECT_TRUE(ui.tBanner.enabled());
    EXPECT_EQ(display.current, linearRamp());
}

TEST_F(ColourManagerTest, GameWatchIgnoresLookalikesAndAMissingForeground) {
    backend.values = {{"AutoCM", "1"}};
    start();
    showGame(true);
    // A 9-character title of the game's process is not the game's window.
    processes.windows[0].title = "Half-Life";
    manager.t1secGameWatch();
    EXPECT_FALSE(state.bGameInFront);
    // A window titled like the game but of another program is not it either.
    processes.windows[0] = {900, 40, "Counter-Strike", false};
    manager.t1secGameWatch();
    EXPECT_FALSE(state.bGameInFront);
    // No foreground at all: the state stays as it was.
    showGame(true);
    manager.t1secGameWatch();
    ASSERT_TRUE(state.bGameInFront);
    processes.foreground = 0;
    manager.t1secGameWatch();
    EXPECT_TRUE(state.bGameInFront);
    // A dialog the game owns is not its main window.
    processes.windows[0].hasParent = true;
    processes.foreground = 900;
    manager.t1secGameWatch();
    EXPECT_FALSE(state.bGameInFront);
    // The game under Wine.
    processes.running = {{41, "HL.EXE"}};
    processes.windows = {{910, 41, "", false}};
    processes.foreground = 910;
    manager.t1secGameWatch();
    EXPECT_TRUE(state.bGameInFront);
    // Every second only the foreground window and its process are looked at, never the whole
    // process table or window list.
    EXPECT_EQ(processes.listings, 0);
}

TEST_F(ColourManagerTest, LeavingTheGameWhileMinimisedKeepsTheBannerStopped) {
    backend.values = {{"AutoCM", "1"}};
    start();
    showGame(true);
    manager.t1secGameWatch();
    ui.frmSQD.setWindowState(WindowState::Minimized);
    showGame(false);
    manager.t1secGameWatch();
    EXPECT_FALSE(ui.tBanner.enabled());
    EXPECT_EQ(display.current, linearRamp());
}

TEST_F(ColourManagerTest, ManualModeIgnoresTheGameWatch) {
    start();
    ui.coTurn.click();
    const GammaTable custom = display.current;
    showGame(true);
    manager.t1secGameWatch();
    showGame(false);
    manager.t1secGameWatch();
    EXPECT_EQ(display.current, custom);
}

TEST_F(ColourManagerTest, OnlyOurOwnRampIsTakenBack) {
    start();
    ui.hsGamma.setValue(300);
    ui.coResetCM.click();
    manager.RestoreDisplay();
    // Never applied: a ramp another program set is left alone.
    EXPECT_EQ(display.restores, 0);
    EXPECT_TRUE(display.applied.empty());
    ui.coTurn.click();
    ui.coTurn.click();
    EXPECT_EQ(display.restores, 1);
    manager.RestoreDisplay();
    EXPECT_EQ(display.restores, 1);
}

TEST_F(ColourManagerTest, HotKeyHintsBlinkInTurn) {
    start();
    EXPECT_NE(ui.pbGamaUp.toolTip().find("'CTRL + SHIFT + Numpad+'"), std::string::npos);
    EXPECT_NE(ui.pbGamaDown.toolTip().find("'CTRL + SHIFT + Numpad-'"), std::string::npos);
    for (int tick = 0; tick < 3; ++tick) {
        const bool upWasHighlighted = ui.pbGamaUp.highlighted();
        manager.HintBlink();
        EXPECT_NE(ui.pbGamaUp.highlighted(), upWasHighlighted);
        EXPECT_NE(ui.pbGamaUp.highlighted(), ui.pbGamaDown.highlighted());
    }
}

TEST_F(ColourManagerTest, UncheckingAutoInGameTakesItsRampBack) {
    backend.values = {{"AutoCM", "1"}, {"Gamma", "200"}};
    start();
    showGame(true);
    manager.t1secGameWatch();
    ASSERT_EQ(display.current, customFor(2.0F, 1.0F, 1.0F));
    ui.chAutoCM.click();
    EXPECT_EQ(display.current, linearRamp());
    // Turning manual on from there shows the custom ramp again.
    ui.chAutoCM.click();
    manager.t1secGameWatch();
    ui.coTurn.click();
    EXPECT_FALSE(ui.chAutoCM.checked());
    EXPECT_EQ(display.current, customFor(2.0F, 1.0F, 1.0F));
}
