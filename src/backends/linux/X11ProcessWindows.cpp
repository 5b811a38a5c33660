#include "backends/linux/X11ProcessWindows.h"

#include <QString>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <iterator>
#include <optional>

#include "backends/qt/Cp1252.h"

// After Qt: Xlib's macros would break Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <X11/Xutil.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

namespace squadlink {

namespace {

constexpr std::size_t kLongestProcFile = 64 * 1024;
// The kernel keeps 15 characters of a process's name.
constexpr std::size_t kKernelNameLength = 15;

std::string readProcFile(const std::filesystem::path& path) {
    // Read with plain system calls: the once-a-second look at the foreground window reads one
    // of these, and a C++ stream would build a locale and a 64 KiB buffer for a 16-byte file.
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return {};
    }
    std::string text;
    char buffer[4096];
    while (text.size() < kLongestProcFile) {
        const ssize_t got = ::read(file, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        text.append(buffer,
                    std::min(static_cast<std::size_t>(got), kLongestProcFile - text.size()));
    }
    ::close(file);
    return text;
}

// All values of a format-32 property (CARDINAL or WINDOW); empty when it is missing.
std::vector<unsigned long> longProperty(Display* display, ::Window window, const char* name,
                                        Atom type) {
    std::vector<unsigned long> values;
    const Atom property = XInternAtom(display, name, True);
    if (property == 0) {
        return values;
    }
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 4096, False, type,
                                          &actualType, &actualFormat, &count, &remaining, &data);
    if (status == Success && data != nullptr && actualFormat == 32) {
        // Format-32 properties come back as an array of C longs.
        const auto* words = reinterpret_cast<const unsigned long*>(data);
        values.assign(words, words + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return values;
}

std::optional<std::string> utf8Property(Display* display, ::Window window, const char* name) {
    const Atom property = XInternAtom(display, name, True);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", True);
    if (property == 0 || utf8 == 0) {
        return std::nullopt;
    }
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1024, False, utf8,
                                          &actualType, &actualFormat, &count, &remaining, &data);
    std::optional<std::string> value;
    if (status == Success && data != nullptr && actualFormat == 8 && actualType == utf8) {
        value = std::string(reinterpret_cast<const char*>(data), count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return value;
}

// The title as the program reads titles: Windows-1252, one byte per character.
std::string windowTitle(Display* display, ::Window window) {
    if (const auto utf8 = utf8Property(display, window, "_NET_WM_NAME")) {
        return Cp1252::fromUnicode(QString::fromUtf8(utf8->data(), static_cast<int>(utf8->size())));
    }
    char* name = nullptr;
    std::string title;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        title = Cp1252::fromUnicode(QString::fromLatin1(name));
    }
    if (name != nullptr) {
        XFree(name);
    }
    return title;
}

// The value of a one-window property reply (as the root's _NET_ACTIVE_WINDOW); 0 when it is
// missing or malformed. Frees the reply.
xcb_window_t windowValue(xcb_get_property_reply_t* reply) {
    xcb_window_t value = 0;
    if (reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) == 4) {
        value = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    return value;
}

// The top-level window (a child of the root) holding `window`; 0 when it is gone.
xcb_window_t topLevelOf(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window,
                        std::uint64_t& roundTrips) {
    while (window != 0 && window != root) {
        ++roundTrips;
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
        if (tree == nullptr) {
            return 0;
        }
        const xcb_window_t parent = tree->parent;
        std::free(tree);
        if (parent == root) {
            return window;
        }
        window = parent;
    }
    return 0;
}

}  // namespace

// The game watch asks every second which window is in front and whose it is. Over a
// connection of its own, the X server tells without being asked when that may have changed:
// - with a window manager, when it names another active window on the root, or when its check
//   window goes away;
// - without one, when the focus leaves the top-level window that holds it, or comes from the
//   root (PointerRoot or none);
// - when the window whose process was looked up is destroyed or names another process.
// While nothing changes, the watch then asks the server nothing. A question it does ask waits
// on this connection alone, not on the one Qt reads from another thread, where each answer
// costs a hand-over between threads.
struct X11ProcessWindows::Watch {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t activeAtom = 0;
    xcb_atom_t checkAtom = 0;
    xcb_atom_t pidAtom = 0;
    // The front window as last found; it holds until the server tells of a change.
    xcb_window_t front = 0;
    bool frontKnown = false;
    // Watched for the focus leaving it: the top-level window that held the focus when no
    // window manager ran.
    xcb_window_t focusWindow = 0;
    // Watched for its end: the window manager's check window, while it names no active window.
    xcb_window_t checkWindow = 0;
    // The process of one window; it holds until that window is destroyed or names another.
    xcb_window_t pidWindow = 0;
    std::int64_t pid = 0;
    // Questions that waited for the server's answer, for the tests of the quiet idle.
    std::uint64_t roundTrips = 0;
    // False for the stand-in over Qt's connection: it asks, but selects nothing there (the
    // masks are per connection, and Qt's own windows need Qt's) and closes nothing.
    bool ownConnection = true;

    Watch(xcb_connection_t* on, _XDisplay* display, bool own)
        : connection(on),
          root(static_cast<xcb_window_t>(DefaultRootWindow(display))),
          activeAtom(atomOf(display, "_NET_ACTIVE_WINDOW")),
          checkAtom(atomOf(display, "_NET_SUPPORTING_WM_CHECK")),
          pidAtom(atomOf(display, "_NET_WM_PID")),
          ownConnection(own) {}
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    static xcb_atom_t atomOf(_XDisplay* display, const char* name) {
        return static_cast<xcb_atom_t>(XInternAtom(display, name, False));
    }

    ~Watch() {
        if (ownConnection && connection != nullptr) {
            xcb_disconnect(connection);
        }
    }

    // The events this connection takes on a window: the union of what each of its roles needs.
    // The mask is the connection's own; other programs' interest in the window is untouched.
    static constexpr std::uint32_t kFocusEvents =
        XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    static constexpr std::uint32_t kCheckEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    static constexpr std::uint32_t kProcessEvents =
        XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    std::uint32_t maskOf(xcb_window_t window) const {
        std::uint32_t mask = XCB_EVENT_MASK_NO_EVENT;
        if (window == focusWindow) {
            mask |= kFocusEvents;
        }
        if (window == checkWindow) {
            mask |= kCheckEvents;
        }
        if (window == pidWindow) {
            mask |= kProcessEvents;
        }
        return mask;
    }
    // Sends the mask of a window whose roles changed, with `more` for a role about to be given;
    // the cookie tells whether the window still exists.
    xcb_void_cookie_t select(xcb_window_t window, std::uint32_t more = 0) {
        const std::uint32_t mask = maskOf(window) | more;
        return xcb_change_window_attributes_checked(connection, window, XCB_CW_EVENT_MASK, &mask);
    }
    void forget(xcb_void_cookie_t cookie) { xcb_discard_reply(connection, cookie.sequence); }

    // Gives `window` the role held in `slot`, taking it from the window that held it.
    void assign(xcb_window_t& slot, xcb_window_t window) {
        if (slot == window || !ownConnection) {
            return;
        }
        const xcb_window_t before = slot;
        slot = window;
        if (before != 0) {
            forget(select(before));
        }
        if (window != 0) {
            forget(select(window));
        }
    }

    // Reads what the server sent since the last look, without waiting. False when the
    // connection is lost.
    bool catchUp() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const auto type = static_cast<std::uint8_t>(event->response_type & 0x7F);
            if (type == XCB_PROPERTY_NOTIFY) {
                const auto* change = reinterpret_cast<xcb_property_notify_event_t*>(event);
                if (change->window == root &&
                    (change->atom == activeAtom || change->atom == checkAtom)) {
                    frontKnown = false;
                } else if (change->window == pidWindow && change->atom == pidAtom) {
                    forgetProcess();
                }
            } else if (type == XCB_FOCUS_IN || type == XCB_FOCUS_OUT) {
                // Also the moves inside one window: one look more, and only on a change.
                frontKnown = false;
            } else if (type == XCB_DESTROY_NOTIFY || type == XCB_UNMAP_NOTIFY ||
                       type == XCB_REPARENT_NOTIFY) {
                xcb_window_t window = 0;
                if (type == XCB_DESTROY_NOTIFY) {
                    window = reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window;
                } else if (type == XCB_UNMAP_NOTIFY) {
                    window = reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window;
                } else {
                    window = reinterpret_cast<xcb_reparent_notify_event_t*>(event)->window;
                }
                if (window == focusWindow || window == checkWindow) {
                    frontKnown = false;
                }
                if (type == XCB_DESTROY_NOTIFY && window == pidWindow) {
                    forgetProcess();
                }
            }
            // Anything else (errors of windows already gone, the moves of a watched window)
            // says nothing the watch keeps.
            std::free(event);
        }
        return xcb_connection_has_error(connection) == 0;
    }

    void forgetProcess() {
        pid = 0;
        assign(pidWindow, 0);
    }

    // The value of one window property; 0 when it is missing or not a window.
    xcb_window_t windowOf(xcb_get_property_cookie_t cookie) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
        if (reply != nullptr && reply->type != XCB_ATOM_WINDOW) {
            std::free(reply);
            reply = nullptr;
        }
        return windowValue(reply);
    }
    xcb_get_property_cookie_t askWindow(xcb_window_t on, xcb_atom_t property) {
        return xcb_get_property(connection, 0, on, property, XCB_ATOM_WINDOW, 0, 1);
    }
    // The window holding the focus: none, PointerRoot or a window.
    xcb_window_t focusOf(xcb_get_input_focus_cookie_t cookie) {
        xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(connection, cookie, nullptr);
        const xcb_window_t focus = reply == nullptr ? XCB_NONE : reply->focus;
        std::free(reply);
        return focus;
    }
    // The top-level window holding the focus, 0 for none.
    xcb_window_t topLevelOfFocus(xcb_window_t focus) {
        if (focus == XCB_NONE || focus == XCB_INPUT_FOCUS_POINTER_ROOT) {
            return 0;
        }
        return topLevelOf(connection, root, focus, roundTrips);
    }

    // Finds the front window by asking, and watches for what would change the answer.
    xcb_window_t findFront() {
        // The three questions go out together and cost one round trip.
        const auto activeCookie = askWindow(root, activeAtom);
        const auto checkCookie = askWindow(root, checkAtom);
        const auto focusCookie = xcb_get_input_focus(connection);
        ++roundTrips;
        const xcb_window_t active = windowOf(activeCookie);
        const xcb_window_t check = windowOf(checkCookie);
        const xcb_window_t focus = focusOf(focusCookie);
        if (active != 0) {
            // The window manager's word holds until it changes the root's property.
            assign(focusWindow, 0);
            assign(checkWindow, 0);
            return known(active);
        }
        if (check != 0) {
            // Watched first: a window manager that ends after the question is still heard of.
            assign(checkWindow, check);
            const auto selfCookie = askWindow(check, checkAtom);
            ++roundTrips;
            if (windowOf(selfCookie) == check) {
                // A window manager runs and names no active window.
                assign(focusWindow, 0);
                return known(0);
            }
            assign(checkWindow, 0);
        }
        // Without a window manager the focus is the foreground: its top-level window. Its
        // leaving that window is heard of only once the window is watched, so the focus is
        // asked again after; a change in between is followed at the next look.
        const xcb_window_t top = topLevelOfFocus(focus);
        if (!ownConnection) {
            return top;
        }
        assign(focusWindow, top);
        const auto againCookie = xcb_get_input_focus(connection);
        ++roundTrips;
        const xcb_window_t again = focusOf(againCookie);
        if (again == focus || topLevelOfFocus(again) == top) {
            return known(top);
        }
        return top;
    }

    xcb_window_t known(xcb_window_t window) {
        front = window;
        frontKnown = true;
        return window;
    }
};

X11ProcessWindows::X11ProcessWindows(_XDisplay* display, std::string procRoot)
    : m_display(display), m_procRoot(std::move(procRoot)) {
}

X11ProcessWindows::~X11ProcessWindows() = default;

X11ProcessWindows::Watch* X11ProcessWindows::watch() const {
    if (m_watch != nullptr) {
        if (!m_watch->catchUp()) {
            // The server dropped the connection: ask over Qt's from now on.
            m_watch.reset();
        }
        return m_watch.get();
    }
    if (m_watchTried || m_display == nullptr) {
        return nullptr;
    }
    // Opened on the first look, after the window is on the screen, not at start.
    m_watchTried = true;
    auto made =
        std::make_unique<Watch>(xcb_connect(XDisplayString(m_display), nullptr), m_display, true);
    if (xcb_connection_has_error(made->connection) != 0) {
        return nullptr;
    }
    // The root tells of the window manager's changes, and of the focus coming from or going to
    // the root itself (PointerRoot, none).
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_FOCUS_CHANGE;
    xcb_change_window_attributes(made->connection, made->root, XCB_CW_EVENT_MASK, &events);
    xcb_flush(made->connection);
    m_watch = std::move(made);
    return m_watch.get();
}

std::string X11ProcessWindows::processName(const std::string& comm, const std::string& cmdline) {
    std::string name = comm;
    while (!name.empty() && (name.back() == '\n' || name.back() == '\0')) {
        name.pop_back();
    }
    const std::string program = cmdline.substr(0, cmdline.find('\0'));
    const auto cut = program.find_last_of("/\\");
    const std::string started = cut == std::string::npos ? program : program.substr(cut + 1);
    // The kernel's name is the executable's (Wine sets it to the Windows program's), but cut to
    // 15 characters: then the name the program was started by, when it begins the same.
    if (name.empty() || (name.size() == kKernelNameLength && started.rfind(name, 0) == 0)) {
        return started;
    }
    return name;
}

std::vector<ProcessWindows::Process> X11ProcessWindows::processes() const {
    std::vector<Process> found;
    std::error_code error;
    std::filesystem::directory_iterator entries(m_procRoot, error);
    if (error) {
        return found;
    }
    for (const auto& entry : entries) {
        const std::string pid = entry.path().filename().string();
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), [](char c) {
                return std::isdigit(static_cast<unsigned char>(c)) != 0;
            })) {
            continue;
        }
        // A process may end between the listing and the reads: it then has no name and is
        // skipped.
        const std::string name = processNameAt(entry.path().string());
        if (!name.empty()) {
            found.push_back(Process{std::stoll(pid), name});
        }
    }
    // The kernel lists in process id order; directory iteration need not.
    std::sort(found.begin(), found.end(),
              [](const Process& a, const Process& b) { return a.id < b.id; });
    return found;
}

bool X11ProcessWindows::windowManagerRuns() const {
    // The EWMH test: the root names a check window that names itself.
    const ::Window root = DefaultRootWindow(m_display);
    const auto check = longProperty(m_display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (check.size() != 1 || check.front() == 0) {
        return false;
    }
    const auto self = longProperty(m_display, check.front(), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    return self.size() == 1 && self.front() == check.front();
}

std::vector<ProcessWindows::Window> X11ProcessWindows::topLevelWindows() const {
    std::vector<Window> windows;
    if (m_display == nullptr) {
        return windows;
    }
    const ::Window root = DefaultRootWindow(m_display);
    std::vector<unsigned long> ids;
    if (windowManagerRuns()) {
        ids = longProperty(m_display, root, "_NET_CLIENT_LIST", XA_WINDOW);
    } else {
        ::Window rootReturn = 0;
        ::Window parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(m_display, root, &rootReturn, &parent, &children, &count) != 0 &&
            children != nullptr) {
            ids.assign(children, children + count);
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    for (const unsigned long id : ids) {
        windows.push_back(describeWindow(id));
    }
    return windows;
}

ProcessWindows::Window X11ProcessWindows::describeWindow(WindowId id) const {
    Window window;
    window.id = id;
    if (m_display == nullptr || id == 0) {
        return window;
    }
    window.processId = windowProcessId(id);
    window.title = windowTitle(m_display, id);
    ::Window owner = 0;
    window.hasParent = XGetTransientForHint(m_display, id, &owner) != 0 && owner != 0;
    return window;
}

std::int64_t X11ProcessWindows::windowProcessId(WindowId id) const {
    if (m_display == nullptr || id == 0) {
        return 0;
    }
    Watch* watching = watch();
    if (watching == nullptr || id > 0xFFFFFFFFU) {
        const auto pid = longProperty(m_display, id, "_NET_WM_PID", XA_CARDINAL);
        return pid.size() == 1 ? static_cast<std::int64_t>(pid.front()) : 0;
    }
    const auto window = static_cast<xcb_window_t>(id);
    if (window == watching->pidWindow) {
        return watching->pid;
    }
    // The window's end, or a change of its process, is heard of from before its process is
    // read, so a known process never outlives what the window says. A window already gone fails
    // the first request and is not kept.
    const auto selected = watching->select(window, Watch::kProcessEvents);
    xcb_connection_t* connection = watching->connection;
    const auto pidCookie =
        xcb_get_property(connection, 0, window, watching->pidAtom, XCB_ATOM_CARDINAL, 0, 1);
    ++watching->roundTrips;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, pidCookie, nullptr);
    std::int64_t pid = 0;
    if (reply != nullptr && reply->type == XCB_ATOM_CARDINAL && reply->format == 32 &&
        xcb_get_property_value_length(reply) == 4) {
        pid = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    // Answered already: the reply above came after it.
    xcb_generic_error_t* error = xcb_request_check(connection, selected);
    if (error != nullptr) {
        std::free(error);
        return pid;
    }
    if (pid == 0) {
        // No process named yet: a program may name it later, so it is asked again next time.
        watching->forget(watching->select(window));
    } else {
        // The window known before is no longer of interest.
        watching->assign(watching->pidWindow, window);
        watching->pid = pid;
    }
    xcb_flush(connection);
    return pid;
}

std::string X11ProcessWindows::processNameAt(const std::string& folder) const {
    const std::filesystem::path path(folder);
    const std::string comm = readProcFile(path / "comm");
    // The command line only matters where the kernel's name may have been cut short.
    const bool cut = comm.empty() || comm.size() > kKernelNameLength;
    return processName(comm, cut ? readProcFile(path / "cmdline") : std::string());
}

std::string X11ProcessWindows::processName(std::int64_t processId) const {
    if (processId <= 0) {
        return {};
    }
    return processNameAt(m_procRoot + "/" + std::to_string(processId));
}

ProcessWindows::WindowId X11ProcessWindows::foregroundWindow() const {
    if (m_display == nullptr) {
        return 0;
    }
    if (Watch* watching = watch()) {
        if (watching->frontKnown) {
            return watching->front;
        }
        const xcb_window_t front = watching->findFront();
        xcb_flush(watching->connection);
        return front;
    }
    // No connection of its own: the same questions, asked each time over Qt's.
    Watch asking(XGetXCBConnection(m_display), m_display, false);
    return asking.findFront();
}

std::uint64_t X11ProcessWindows::roundTrips() const {
    return m_watch == nullptr ? 0 : m_watch->roundTrips;
}

bool X11ProcessWindows::closeWindow(WindowId window) {
    if (m_display == nullptr) {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.format = 32;
    event.xclient.window = window;
    Status sent = 0;
    if (windowManagerRuns()) {
        // The window manager closes it as its own close button would.
        const ::Window root = DefaultRootWindow(m_display);
        event.xclient.message_type = XInternAtom(m_display, "_NET_CLOSE_WINDOW", False);
        event.xclient.data.l[0] = CurrentTime;
        event.xclient.data.l[1] = 2;  // a request from a pager-like tool
        sent = XSendEvent(m_display, root, False, SubstructureRedirectMask | SubstructureNotifyMask,
                          &event);
    } else {
        event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        sent = XSendEvent(m_display, window, False, NoEventMask, &event);
    }
    XFlush(m_display);
    return sent != 0;
}

}  // namespace squadlink
