#include "gameserver/GameInfo.h"

#include "core/TextUtil.h"
#include "gameserver/EntryRules.h"
#include "gameserver/ServerReply.h"

namespace squadlink {

bool GameInfo::gameInfoKnown() const {
    // Both protection texts are longer than 19 characters; anything shorter is no protection.
    return m_ui.tGame.text().size() >= 3 && !m_ui.lGameName.caption().empty() &&
           m_ui.lGameSecure.caption().size() >= 20;
}

std::string GameInfo::protectionCode() const {
    const auto& secure = m_ui.lGameSecure.caption();
    if (equalsIgnoreCase(secure, kCheatingDeath)) {
        return "c";
    }
    if (equalsIgnoreCase(secure, kValveAntiCheat)) {
        return "v";
    }
    return {};
}

std::string GameInfo::protectionText(std::string_view code) const {
    // Letter case never matters in a comparison; an unknown code is shown as it came.
    if (equalsIgnoreCase(code, "c")) {
        return std::string(kCheatingDeath);
    }
    if (equalsIgnoreCase(code, "v")) {
        return std::string(kValveAntiCheat);
    }
    return std::string(code);
}

bool GameInfo::acceptsGameInfo(std::string_view address, std::string_view password) const {
    return IsValidGameAddress(address) && IsValidGamePassword(password);
}

}  // namespace squadlink
