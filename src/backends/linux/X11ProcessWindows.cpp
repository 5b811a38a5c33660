#include "backends/linux/X11ProcessWindows.h"

#include <QString>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "backends/qt/Cp1252.h"

// After Qt: Xlib's macros would break Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <X11/Xutil.h>
#include <cstdlib>

namespace squadlink {

namespace {

constexpr std::size_t kLongestProcFile = 64 * 1024;
// The kernel keeps 15 characters of a process's name.
constexpr std::size_t kKernelNameLength = 15;

std::string readProcFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    std::string text(kLongestProcFile, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
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

::Window topLevelOf(Display* display, ::Window window) {
    const ::Window root = DefaultRootWindow(display);
    while (window != 0 && window != root) {
        ::Window rootReturn = 0;
        ::Window parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, window, &rootReturn, &parent, &children, &count) == 0) {
            return 0;
        }
        if (children != nullptr) {
            XFree(children);
        }
        if (parent == root) {
            return window;
        }
        window = parent;
    }
    return 0;
}

}  // namespace

X11ProcessWindows::X11ProcessWindows(_XDisplay* display, std::string procRoot)
    : m_display(display), m_procRoot(std::move(procRoot)) {
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
    const auto pid = longProperty(m_display, id, "_NET_WM_PID", XA_CARDINAL);
    return pid.size() == 1 ? static_cast<std::int64_t>(pid.front()) : 0;
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
    // The three questions go out together and cost one round trip to the X server: this
    // runs every second.
    xcb_connection_t* connection = XGetXCBConnection(m_display);
    const auto root = static_cast<xcb_window_t>(DefaultRootWindow(m_display));
    const auto atom = [this](const char* name) {
        return static_cast<xcb_atom_t>(XInternAtom(m_display, name, False));
    };
    const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK");
    const auto activeCookie =
        xcb_get_property(connection, 0, root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1);
    const auto checkCookie = xcb_get_property(connection, 0, root, check, XCB_ATOM_WINDOW, 0, 1);
    const auto focusCookie = xcb_get_input_focus(connection);
    const auto windowValue = [](xcb_get_property_reply_t* reply) -> xcb_window_t {
        xcb_window_t value = 0;
        if (reply != nullptr && reply->type == XCB_ATOM_WINDOW && reply->format == 32 &&
            xcb_get_property_value_length(reply) == 4) {
            value = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
        }
        std::free(reply);
        return value;
    };
    const xcb_window_t active =
        windowValue(xcb_get_property_reply(connection, activeCookie, nullptr));
    const xcb_window_t checkWindow =
        windowValue(xcb_get_property_reply(connection, checkCookie, nullptr));
    xcb_get_input_focus_reply_t* focusReply =
        xcb_get_input_focus_reply(connection, focusCookie, nullptr);
    const xcb_window_t focus = focusReply == nullptr ? 0 : focusReply->focus;
    std::free(focusReply);
    if (active != 0) {
        return active;
    }
    if (checkWindow != 0 && windowManagerRuns()) {
        return 0;
    }
    // Without a window manager the focus is the foreground: its top-level window.
    if (focus == XCB_NONE || focus == XCB_INPUT_FOCUS_POINTER_ROOT) {
        return 0;
    }
    return topLevelOf(m_display, focus);
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
