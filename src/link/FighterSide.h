#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/LinkContext.h"

namespace squadlink {

// A Fighter: port 27221, connected to at most one War Arranger at a time.
class FighterSide {
public:
    explicit FighterSide(LinkContext& context) : m_ctx(context) {}

    void EnterFighterMode(bool restoreAddress);
    void coConnect_Click();
    void LeaveArranger();
    void SendToArranger(std::string_view plainMessage);
    // Game info after a code and its NUL; fills the Fighter's labels on success.
    bool ParseGameInfo(std::string_view text);

    // Handles one unscrambled message from `sender`.
    void handleMessage(const std::string& message, const std::string& sender);

    // How long after a join its acceptance is taken: the reply time-out of the link.
    static constexpr std::int64_t kJoinReplyWindowMs = 30000;
    // Longer than the 380 a War Arranger should send: eleven persons with the longest nicks
    // and addresses need 445, and other War Arrangers send the whole list.
    static constexpr std::size_t kWhoAnswerWindow = 512;

    // True once this side's mode has been set up, until the other mode is.
    bool entered() const { return m_entered; }
    void setEntered(bool entered) { m_entered = entered; }

private:
    bool joinAwaited() const;
    void showLeftOut(std::string_view payload);
    bool fromArranger(const std::string& sender) const;
    void clearGameLabels();
    void feedback(const std::string& line);
    void onAccepted(const std::string& message, const std::string& sender);
    void onAddressChanged(const std::string& message, const std::string& sender);

    LinkContext& m_ctx;
    bool m_entered = false;
    bool m_joinAwaited = false;
    std::int64_t m_joinSentAtMs = 0;
};

}  // namespace squadlink
