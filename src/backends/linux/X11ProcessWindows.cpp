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
xcb_window_t topLevelOf(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window) {
    while (window != 0 && window != root) {
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
// connection of its own, the X server tells without being asked when the window manager names
// another active window, and when the window whose process was looked up is destroyed: while
// nothing changes, the watch then asks the server nothing. A question it does ask waits on this
// connection alone, not on the one Qt reads from another thread, where each answer costs a
// hand-over between threads.
struct X11ProcessWindows::Watch {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t activeAtom = 0;
    xcb_atom_t checkAtom = 0;
    xcb_atom_t pidAtom = 0;
    // The window manager's active window as last read; it holds until the root says otherwise.
    xcb_window_t active = 0;
    bool activeKnown = false;
    // The process of one window; it holds until that window is destroyed or names another.
    xcb_window_t pidWindow = 0;
    std::int64_t pid = 0;

    ~Watch() {
        if (connection != nullptr) {
            xcb_disconnect(connection);
        }
    }

    // Reads what the server sent since the last look, without waiting: a change of the active
    // window or of the window manager, or the end of the window whose process is known. False
    // when the connection is lost.
    bool catchUp() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const auto type = static_cast<std::uint8_t>(event->response_type & 0x7F);
            if (type == XCB_PROPERTY_NOTIFY) {
                const auto* change = reinterpret_cast<xcb_property_notify_event_t*>(event);
                if (change->window == root &&
                    (change->atom == activeAtom || change->atom == checkAtom)) {
                    activeKnown = false;
                } else if (change->window == pidWindow && change->atom == pidAtom) {
                    pidWindow = 0;
                    pid = 0;
                }
            } else if (type == XCB_DESTROY_NOTIFY) {
                const auto* end = reinterpret_cast<xcb_destroy_notify_event_t*>(event);
                if (end->window == pidWindow) {
                    pidWindow = 0;
                    pid = 0;
                }
            }
            // Anything else (errors of windows already gone, other structure events of the
            // watched window) says nothing the watch keeps.
            std::free(event);
        }
        return xcb_connection_has_error(connection) == 0;
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
    auto made = std::make_unique<Watch>();
    made->connection = xcb_connect(XDisplayString(m_display), nullptr);
    if (xcb_connection_has_error(made->connection) != 0) {
        return nullptr;
    }
    made->root = static_cast<xcb_window_t>(DefaultRootWindow(m_display));
    const auto atom = [this](const char* name) {
        return static_cast<xcb_atom_t>(XInternAtom(m_display, name, False));
    };
    made->activeAtom = atom("_NET_ACTIVE_WINDOW");
    made->checkAtom = atom("_NET_SUPPORTING_WM_CHECK");
    made->pidAtom = atom("_NET_WM_PID");
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
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
    // read, so a known process never outlives what the window says. A window already gone fails the
    // first request and is not kept.
    xcb_connection_t* connection = watching->connection;
    const std::uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    const auto selected =
        xcb_change_window_attributes_checked(connection, window, XCB_CW_EVENT_MASK, &events);
    const auto pidCookie =
        xcb_get_property(connection, 0, window, watching->pidAtom, XCB_ATOM_CARDINAL, 0, 1);
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
        const std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &none);
        xcb_flush(connection);
        return 0;
    }
    if (watching->pidWindow != 0) {
        // The window known before is no longer of interest.
        const std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(connection, watching->pidWindow, XCB_CW_EVENT_MASK, &none);
    }
    watching->pidWindow = window;
    watching->pid = pid;
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
    Watch* watching = watch();
    if (watching != nullptr && watching->activeKnown) {
        return watching->active;
    }
    xcb_connection_t* connection =
        watching != nullptr ? watching->connection : XGetXCBConnection(m_display);
    const auto root = static_cast<xcb_window_t>(DefaultRootWindow(m_display));
    const auto atom = [this](const char* name) {
        return static_cast<xcb_atom_t>(XInternAtom(m_display, name, False));
    };
    // The three questions go out together and cost one round trip to the X server.
    const auto activeCookie =
        xcb_get_property(connection, 0, root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1);
    const auto checkCookie = xcb_get_property(connection, 0, root, atom("_NET_SUPPORTING_WM_CHECK"),
                                              XCB_ATOM_WINDOW, 0, 1);
    const auto focusCookie = xcb_get_input_focus(connection);
    const auto windowReply = [connection](xcb_get_property_cookie_t cookie) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
        if (reply != nullptr && reply->type != XCB_ATOM_WINDOW) {
            std::free(reply);
            reply = nullptr;
        }
        return windowValue(reply);
    };
    const xcb_window_t active = windowReply(activeCookie);
    const xcb_window_t checkWindow = windowReply(checkCookie);
    xcb_get_input_focus_reply_t* focusReply =
        xcb_get_input_focus_reply(connection, focusCookie, nullptr);
    const xcb_window_t focus = focusReply == nullptr ? 0 : focusReply->focus;
    std::free(focusReply);
    if (active != 0) {
        // The window manager's word holds until it changes the root's property; the watch
        // hears of that.
        if (watching != nullptr) {
            watching->active = active;
            watching->activeKnown = true;
        }
        return active;
    }
    if (checkWindow != 0 && windowManagerRuns()) {
        return 0;
    }
    // Without a window manager the focus is the foreground: its top-level window. Nothing
    // tells of a change of focus between other programs' windows, so this is asked each time.
    if (focus == XCB_NONE || focus == XCB_INPUT_FOCUS_POINTER_ROOT) {
        return 0;
    }
    return topLevelOf(connection, root, focus);
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
