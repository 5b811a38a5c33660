#pragma once

#include <functional>
#include <map>

#include "platform/HotKeys.h"

namespace squadlink {

class FakeHotKeys : public HotKeys {
public:
    bool registerKey(Key key, std::function<void()> action) override {
        if (!works) {
            return false;
        }
        actions[key] = std::move(action);
        return true;
    }
    void unregisterKey(Key key) override { actions.erase(key); }
    void press(Key key) {
        if (actions.count(key) != 0) {
            actions[key]();
        }
    }
    bool works = true;
    std::map<Key, std::function<void()>> actions;
};

}  // namespace squadlink
