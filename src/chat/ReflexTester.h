#pragma once

#include <cstdint>
#include <functional>

#include "chat/ChatContext.h"
#include "core/model/ListBox.h"

namespace squadlink {

// The reflex tester: hold the left button in the test area, wait 3 to 7 seconds for its colour
// to change, release as fast as possible; five attempts make a test whose average can be
// announced in the chat.
class ReflexTester {
public:
    static constexpr int kAttempts = 5;
    static constexpr std::int64_t kMaxAttemptMs = 999;

    explicit ReflexTester(ChatContext& ctx);

    void pbReflex_MouseDown(MouseButton button);
    void pbReflex_MouseUp(MouseButton button);
    void tSW_Timer();
    void coReflexClear_Click();
    void ResetReflexTest();

    int nReflexCount() const { return m_count; }
    int nReflexTotal() const { return m_total; }
    // A uniform number in [0, 1) from a generator seeded with the given clock reading; tests
    // may put their own in.
    void setRandom(std::function<float(std::int64_t seed)> random) { m_random = std::move(random); }

private:
    ChatContext& m_ctx;
    std::function<float(std::int64_t)> m_random;
    int m_count = 0;
    int m_total = 0;
    std::int64_t m_startMs = 0;
};

}  // namespace squadlink
