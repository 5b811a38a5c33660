#include "chat/ReflexTester.h"

#include <cmath>
#include <random>
#include <string>

#include "chat/RichChatView.h"
#include "core/TextUtil.h"

namespace squadlink {

namespace {

constexpr const char* kTitle = "Reflex tester";
constexpr const char* kTestArea = "TEST AREA";
constexpr const char* kGetReady = "GET READY";
constexpr const char* kTiming = "TIMING";

float clockSeededRandom(std::int64_t seed) {
    std::mt19937 generator(static_cast<std::uint32_t>(seed));
    return std::uniform_real_distribution<float>(0.0F, 1.0F)(generator);
}

std::string message(char code, std::initializer_list<std::string_view> fields) {
    std::string out(1, code);
    out.push_back('\0');
    for (const std::string_view field : fields) {
        out.append(field).push_back('\0');
    }
    return out;
}

}  // namespace

ReflexTester::ReflexTester(ChatContext& ctx) : m_ctx(ctx), m_random(clockSeededRandom) {
    auto& ui = m_ctx.ui;
    ui.fReflex.setCaption("Reflex tester");
    ui.coReflexClear.setCaption("Clear");
    ui.lReflexReset.setCaption("Click to clear your current test results and start a new test");
    ui.lReflex.setCaption(
        "Press and hold left mouse button down in the test area to start the test. Test area "
        "will change its color.  Wait for test area to change its color again and try to "
        "release mouse button as soon as you can. Repeat 5 times to finish the test and see "
        "your average reaction time.");
    ui.lReflexTest.setCaption(kTestArea);
    ui.pbReflex.setBackColour(PictureBox::Colour::TooltipBackground);
    for (int i = 0; i < kAttempts; ++i) {
        ui.lReflexTime(i)->setCaption(std::to_string(i + 1) + ") ??? ms");
    }
    ui.lReflexAverage.setCaption("Your average reaction time was: ??? ms");
}

void ReflexTester::ResetReflexTest() {
    auto& ui = m_ctx.ui;
    ui.tSW.stop();
    m_count = 0;
    ui.pbReflex.setBackColour(PictureBox::Colour::TooltipBackground);
    ui.lReflexTest.setCaption(kTestArea);
    for (int i = 0; i < kAttempts; ++i) {
        ui.lReflexTime(i)->setCaption(std::to_string(i + 1) + ") ??? ms");
    }
    ui.lReflexAverage.setCaption("Your average reaction time was: ??? ms");
}

void ReflexTester::pbReflex_MouseDown(MouseButton button) {
    if (button != MouseButton::Left) {
        return;
    }
    auto& ui = m_ctx.ui;
    if (!equalsIgnoreCase(ui.lReflexTest.caption(), kTestArea)) {
        ResetReflexTest();
        return;
    }
    if (m_count == 0) {
        m_total = 0;
    }
    if (m_count > 4) {
        m_ctx.messages.ShowMessage("Clear your current test results to start a new test",
                                   mb::Warning, kTitle);
        return;
    }
    ui.pbReflex.setBackColour(PictureBox::Colour::ButtonText);
    ui.lReflexTest.setCaption(kGetReady);
    const float r = m_random(m_ctx.platform.clock.tickMs());
    // Halves go to the even number: 3 and 7 seconds are half as likely as the others.
    const float wait = std::nearbyint(3.0F + 4.0F * r);
    ui.tSW.setInterval(static_cast<int>(wait) * 1000);
    ui.tSW.restart();
    if (ui.tBanner.running()) {
        ui.tBanner.stop();
        if (ui.frmSQD.windowState() != WindowState::Minimized) {
            ui.tBanner.start();
        }
    }
}

void ReflexTester::tSW_Timer() {
    auto& ui = m_ctx.ui;
    ui.tSW.stop();
    ui.pbReflex.setBackColour(PictureBox::Colour::TooltipBackground);
    ui.lReflexTest.setCaption(kTiming);
    // The tester keeps its own start instant: a game-server reply arriving meanwhile must not
    // spoil the attempt.
    m_startMs = m_ctx.platform.clock.tickMs();
}

void ReflexTester::pbReflex_MouseUp(MouseButton button) {
    if (button != MouseButton::Left) {
        return;
    }
    auto& ui = m_ctx.ui;
    if (ui.tSW.running()) {
        ResetReflexTest();
        m_ctx.messages.ShowMessage(
            std::string("You released mouse button before test area changed its color") +
                kLineBreak + "Take a new test and do not cheat next time",
            mb::Warning, kTitle);
        return;
    }
    if (!equalsIgnoreCase(ui.lReflexTest.caption(), kTiming)) {
        return;
    }
    std::int64_t ms = m_ctx.platform.clock.tickMs() - m_startMs;
    if (ms < 0) {
        ms = -ms;
    }
    if (ms > kMaxAttemptMs) {
        ms = kMaxAttemptMs;
    }
    m_total += static_cast<int>(ms);
    ui.pbReflex.setBackColour(PictureBox::Colour::TooltipBackground);
    ui.lReflexTest.setCaption(kTestArea);
    ui.lReflexTime(m_count)->setCaption(std::to_string(m_count + 1) + ") " + std::to_string(ms) +
                                        " ms");
    ++m_count;
    if (m_count < kAttempts) {
        return;
    }
    const int average = m_total / kAttempts;
    m_total = average;
    const std::string avg = std::to_string(average);
    ui.lReflexAverage.setCaption("Your average reaction time was: " + avg + " ms");
    const std::string finished =
        "You finished the test with average reaction time of " + avg + " ms";
    const bool arrangerWithFighters = ui.oServer.value() && !ui.lbFighters.empty();
    const bool connectedFighter = ui.oClient.value() && m_ctx.state.sArrangerAddress.size() > 2;
    if (!arrangerWithFighters && !connectedFighter) {
        m_ctx.messages.ShowMessage(finished, mb::Information, kTitle);
        return;
    }
    const int answer = m_ctx.messages.ShowMessage(
        finished + kLineBreak + "Do you want to announce your score on chat?", mb::YesNoInformation,
        kTitle);
    if (answer != mb::Yes) {
        return;
    }
    const std::string& nick = m_ctx.state.sNick;
    m_ctx.view.AppendChatLine(true, nick, avg, false, ChatLineKind::ReflexScore);
    if (arrangerWithFighters) {
        m_ctx.link().BroadcastToFighters({}, message('C', {nick, avg}));
    } else {
        // Waiting starts first: the acknowledgement may come while the send lets events run.
        ui.tTimeout.restart();
        m_ctx.link().SendToArranger(message('8', {avg}));
    }
}

void ReflexTester::coReflexClear_Click() {
    if (m_count != 0) {
        ResetReflexTest();
        m_ctx.messages.ShowMessage("Current test results have been cleared", mb::Information,
                                   kTitle);
    } else {
        m_ctx.messages.ShowMessage("No test results to clear", mb::Warning, kTitle);
    }
}

}  // namespace squadlink
