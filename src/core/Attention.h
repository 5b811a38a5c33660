#pragma once

namespace squadlink {

// How the link asks for the user's attention and refreshes the connection lamp.
class Attention {
public:
    virtual ~Attention() = default;
    virtual void RequestAttention(int tab, int sound, bool wait) = 0;
    virtual void NotifyChatMessage() = 0;
    virtual void ShowConnectionLamp() = 0;
};

}  // namespace squadlink
