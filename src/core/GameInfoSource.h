#pragma once

#include <string>
#include <string_view>

namespace squadlink {

// What the link needs to know about the game info it sends (War Arranger) and receives
// (Fighter); the game server tools own the rules.
class GameInfoSource {
public:
    virtual ~GameInfoSource() = default;
    // War Arranger: a scan succeeded for the address now in the game box.
    virtual bool gameInfoKnown() const = 0;
    // War Arranger: "v" or "c" for the scanned protection, empty when there is none.
    virtual std::string protectionCode() const = 0;
    // Fighter: the shown text for a received one-letter code; other codes come back as they are.
    virtual std::string protectionText(std::string_view code) const = 0;
    // Fighter: received game info whose address or password could carry extra game switches or
    // console commands is refused.
    virtual bool acceptsGameInfo(std::string_view address, std::string_view password) const = 0;
};

}  // namespace squadlink
