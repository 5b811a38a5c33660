#pragma once

#include <utility>
#include <vector>

#include "core/Attention.h"

namespace squadlink {

class FakeAttention : public Attention {
public:
    void RequestAttention(int tab, int sound, bool wait) override {
        requests.push_back({tab, sound});
        (void)wait;
    }
    void NotifyChatMessage() override { ++chatNotifications; }
    void ShowConnectionLamp() override { ++lampRefreshes; }
    std::vector<std::pair<int, int>> requests;
    int chatNotifications = 0;
    int lampRefreshes = 0;
};

}  // namespace squadlink
