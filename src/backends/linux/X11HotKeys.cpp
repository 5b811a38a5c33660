#include "backends/linux/X11HotKeys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <memory>

// After Qt: Xlib's macros would break Qt's headers.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace squadlink {

namespace {

struct X11Connection {
    Display* display = nullptr;
    xcb_connection_t* connection = nullptr;
};

X11Connection x11() {
    const auto* native = qGuiApp == nullptr
                             ? nullptr
                             : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (native == nullptr || native->display() == nullptr || native->connection() == nullptr) {
        return {};
    }
    return {native->display(), native->connection()};
}

xcb_window_t rootWindow(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    return xcb_setup_roots_iterator(setup).data->root;
}

unsigned long keysymFor(HotKeys::Key key) {
    return key == HotKeys::Key::GammaUp ? XK_KP_Add : XK_KP_Subtract;
}

constexpr unsigned kRequiredModifiers = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

unsigned findNumLockMask(Display* display) {
    const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
    XModifierKeymap* map = XGetModifierMapping(display);
    if (map == nullptr) {
        return 0;
    }
    unsigned mask = 0;
    for (int modifier = 0; modifier < 8 && numLock != 0; ++modifier) {
        for (int k = 0; k < map->max_keypermod; ++k) {
            if (map->modifiermap[modifier * map->max_keypermod + k] == numLock) {
                mask = 1U << modifier;
            }
        }
    }
    XFreeModifiermap(map);
    return mask;
}

}  // namespace

X11HotKeys::X11HotKeys() = default;

X11HotKeys::~X11HotKeys() {
    while (!m_grabs.empty()) {
        unregisterKey(m_grabs.begin()->first);
    }
    if (m_filterInstalled && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

std::vector<unsigned> X11HotKeys::modifierVariants() const {
    std::vector<unsigned> variants{kRequiredModifiers, kRequiredModifiers | XCB_MOD_MASK_LOCK};
    if (m_numLockMask != 0) {
        variants.push_back(kRequiredModifiers | m_numLockMask);
        variants.push_back(kRequiredModifiers | m_numLockMask | XCB_MOD_MASK_LOCK);
    }
    return variants;
}

bool X11HotKeys::registerKey(Key key, std::function<void()> action) {
    const X11Connection x = x11();
    if (x.display == nullptr || registered(key)) {
        return false;
    }
    const KeyCode keycode = XKeysymToKeycode(x.display, keysymFor(key));
    if (keycode == 0) {
        return false;
    }
    m_numLockMask = findNumLockMask(x.display);
    const xcb_window_t root = rootWindow(x.connection);
    // Checked requests: a key another client holds answers BadAccess here, silently, instead of
    // reaching the toolkit's error output.
    std::vector<xcb_void_cookie_t> cookies;
    for (const unsigned modifiers : modifierVariants()) {
        cookies.push_back(xcb_grab_key_checked(x.connection, 1, root,
                                               static_cast<std::uint16_t>(modifiers), keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool ok = true;
    for (const auto cookie : cookies) {
        const std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(
            xcb_request_check(x.connection, cookie));
        ok = ok && error == nullptr;
    }
    if (!ok) {
        ungrab(keycode);
        return false;
    }
    m_grabs[key] = Grab{keycode, std::move(action)};
    if (!m_filterInstalled) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filterInstalled = true;
    }
    return true;
}

void X11HotKeys::ungrab(unsigned keycode) {
    const X11Connection x = x11();
    if (x.connection == nullptr) {
        return;
    }
    const xcb_window_t root = rootWindow(x.connection);
    for (const unsigned modifiers : modifierVariants()) {
        xcb_ungrab_key(x.connection, static_cast<xcb_keycode_t>(keycode), root,
                       static_cast<std::uint16_t>(modifiers));
    }
    xcb_flush(x.connection);
}

void X11HotKeys::unregisterKey(Key key) {
    const auto found = m_grabs.find(key);
    if (found == m_grabs.end()) {
        return;
    }
    const unsigned keycode = found->second.keycode;
    m_grabs.erase(found);
    // Both keys may share nothing, but a keycode still grabbed for the other key stays grabbed.
    for (const auto& [other, grab] : m_grabs) {
        if (grab.keycode == keycode) {
            return;
        }
    }
    ungrab(keycode);
}

bool X11HotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) {
    (void)result;
    if (eventType != "xcb_generic_event_t" || message == nullptr) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_KEY_PRESS) {
        return false;
    }
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    const unsigned ignored = XCB_MOD_MASK_LOCK | m_numLockMask;
    if ((press->state & ~ignored & 0xFFU) != kRequiredModifiers) {
        return false;
    }
    for (const auto& [key, grab] : m_grabs) {
        if (grab.keycode == press->detail) {
            // Copy: the action may unregister this very key.
            const auto action = grab.action;
            if (action) {
                action();
            }
            return true;
        }
    }
    return false;
}

}  // namespace squadlink
