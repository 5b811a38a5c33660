#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "link/LinkContext.h"

namespace squadlink {

// The War Arranger: the hub of the link on port 27220 with the roster of at most ten Fighters.
class ArrangerSide {
public:
    explicit ArrangerSide(LinkContext& context) : m_ctx(context) {}

    void EnterArrangerMode(bool keepSocket);
    void ResetModeDisplay();
    void ShowOwnAddress();
    void CloseAllFighters(bool quiet, std::string_view previousAddress);
    void BroadcastToFighters(std::string_view exceptAddress, std::string_view plainMessage);
    void coSendInfo_Click();
    void coRefresh_Click();

    bool gameInfoKnown() const;
    std::string protectionCode() const;

    // Handles one unscrambled message from `sender`; the sender's roster entry is looked up here.
    void handleMessage(const std::string& message, const std::string& sender);

    // Runs a roster action; an invalid roster index sets War Arranger mode up again.
    void guardRoster(const std::function<void()>& action);
    void resetAfterInvalidIndex();

    // The longest who answer a Fighter of the original program accepts.
    static constexpr std::size_t kWhoAnswerLimit = 380;

    // True once this side's mode has been set up, until the other mode is.
    bool entered() const { return m_entered; }
    void setEntered(bool entered) { m_entered = entered; }

private:
    void reply(const std::string& sender, std::string_view plainMessage);
    // Sends one roster walk's datagram; a Fighter whose address cannot be reached is dropped
    // from the roster and false returned.
    bool sendOrDrop(const std::string& address, const std::string& wire);
    void onJoin(const std::string& message, const std::string& sender);
    void onPingReport(const std::string& message, const std::string& sender, int index);
    void onLeave(const std::string& sender, int index);
    void onWho(const std::string& sender);
    void onChat(const std::string& message, const std::string& sender, int index, char code);

    LinkContext& m_ctx;
    bool m_entered = false;
};

}  // namespace squadlink
