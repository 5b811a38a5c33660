#pragma once

#include <string_view>

namespace squadlink {

// How the chat and the reflex tester reach the other copies: a plain link message (code, NUL,
// fields each ended by NUL) sent to the War Arranger or to every Fighter but one address (an
// empty address excludes nobody).
class LinkSender {
public:
    virtual ~LinkSender() = default;
    virtual void SendToArranger(std::string_view plainMessage) = 0;
    virtual void BroadcastToFighters(std::string_view exceptAddress,
                                     std::string_view plainMessage) = 0;
};

}  // namespace squadlink
