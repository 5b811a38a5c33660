#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>
#include <map>
#include <vector>

#include "platform/HotKeys.h"

namespace squadlink {

// Global hot keys: Ctrl+Shift with numeric-keypad plus (gamma up) or minus (gamma down),
// grabbed on the X11 root window so that they work while another program (the game) has the
// focus. Without an X11 display (offscreen, Wayland) registration reports failure and nothing
// else happens.
class X11HotKeys : public HotKeys, public QAbstractNativeEventFilter {
public:
    X11HotKeys();
    ~X11HotKeys() override;
    X11HotKeys(const X11HotKeys&) = delete;
    X11HotKeys& operator=(const X11HotKeys&) = delete;

    // False when the keys are taken by another program or there is no X11 display.
    bool registerKey(Key key, std::function<void()> action) override;
    void unregisterKey(Key key) override;
    bool registered(Key key) const { return m_grabs.count(key) != 0; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Grab {
        unsigned keycode = 0;
        std::function<void()> action;
    };
    // Ctrl+Shift alone and with CapsLock and NumLock, which X11 counts as modifiers too.
    std::vector<unsigned> modifierVariants() const;
    void ungrab(unsigned keycode);

    std::map<Key, Grab> m_grabs;
    unsigned m_numLockMask = 0;
    bool m_filterInstalled = false;
};

}  // namespace squadlink
