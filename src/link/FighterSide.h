#pragma once

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

private:
    bool fromArranger(const std::string& sender) const;
    void clearGameLabels();
    void feedback(const std::string& line);
    void onAccepted(const std::string& message, const std::string& sender);
    void onAddressChanged(const std::string& message, const std::string& sender);

    LinkContext& m_ctx;
};

}  // namespace squadlink
