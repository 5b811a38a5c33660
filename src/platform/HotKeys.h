#pragma once

#include <functional>

namespace squadlink {

// The two global gamma hot keys (Ctrl+Shift+keypad plus and minus).
class HotKeys {
public:
    enum class Key { GammaUp, GammaDown };
    virtual ~HotKeys() = default;
    // Returns whether the key could be registered; failure is silent.
    virtual bool registerKey(Key key, std::function<void()> action) = 0;
    virtual void unregisterKey(Key key) = 0;
};

}  // namespace squadlink
