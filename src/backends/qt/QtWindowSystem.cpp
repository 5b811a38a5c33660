#include "backends/qt/QtWindowSystem.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <functional>
#include <utility>
#include <vector>

// After Qt: Xlib's macros would break Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

// Xlib defines these as macros; they clash with Qt names used below.
#undef None
#undef Bool
#undef Status

namespace squadlink {

namespace {

constexpr unsigned long kNoWindow = 0;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string baseName(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string readProcFile(long pid, const char* name) {
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll().toStdString();
}

Display* x11Display() {
    const auto* x11 = qGuiApp == nullptr
                          ? nullptr
                          : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->display();
}

// One CARDINAL or WINDOW value of a property; nullopt when the property is missing.
std::optional<unsigned long> readLongProperty(Display* display, unsigned long window,
                                              const char* name, Atom type) {
    const Atom property = XInternAtom(display, name, True);
    if (property == 0) {
        return std::nullopt;
    }
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1, False, type, &actualType,
                                          &actualFormat, &count, &remaining, &data);
    std::optional<unsigned long> value;
    if (status == Success && data != nullptr && actualFormat == 32 && count == 1) {
        // Format-32 properties come back as an array of C longs.
        unsigned long word = 0;
        std::copy_n(data, sizeof word, reinterpret_cast<unsigned char*>(&word));
        value = word;
    }
    if (data != nullptr) {
        XFree(data);
    }
    return value;
}

}  // namespace

// Lives as a child of the main window, so that nothing waiting runs once the window is gone.
class QtWindowSystem::FirstFrame : public QObject {
public:
    explicit FirstFrame(QWidget& window) : QObject(&window) {
        window.installEventFilter(this);
        m_fallback.setSingleShot(true);
        m_fallback.callOnTimeout(this, [this] { runWaiting(); });
    }

    void add(std::function<void()> work) {
        m_waiting.push_back(std::move(work));
        if (m_painted) {
            schedule();
        } else if (!m_fallback.isActive()) {
            // A window that is never painted (hidden at once, no display) still gets its
            // work done, a little later.
            m_fallback.start(kLongestWaitMs);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_painted && event->type() == QEvent::Paint && watched == parent()) {
            m_painted = true;
            // Queued: it runs once this paint has been put on the screen.
            schedule();
        }
        return false;
    }

private:
    static constexpr int kLongestWaitMs = 1000;

    void schedule() {
        QTimer::singleShot(0, this, [this] { runWaiting(); });
    }

    void runWaiting() {
        m_fallback.stop();
        auto waiting = std::move(m_waiting);
        m_waiting.clear();
        for (auto& work : waiting) {
            work();
        }
    }

    bool m_painted = false;
    QTimer m_fallback;
    std::vector<std::function<void()>> m_waiting;
};

QtWindowSystem::QtWindowSystem(QWidget& mainWindow)
    : m_window(&mainWindow), m_firstFrame(new FirstFrame(mainWindow)) {
}

void QtWindowSystem::afterFirstFrame(std::function<void()> work) {
    if (!m_window.isNull()) {
        m_firstFrame->add(std::move(work));
    }
}

bool QtWindowSystem::isGameProcess(const std::string& comm, const std::string& cmdline) {
    const auto matches = [](const std::string& name) {
        const std::string exe = lower(baseName(name));
        return exe == "hl.exe" || exe == "hl_linux";
    };
    std::string trimmedComm = comm;
    while (!trimmedComm.empty() && (trimmedComm.back() == '\n' || trimmedComm.back() == '\0')) {
        trimmedComm.pop_back();
    }
    // The first NUL-separated word of the command line is the program as it was started.
    return matches(trimmedComm) || matches(cmdline.substr(0, cmdline.find('\0')));
}

std::optional<ForegroundWindow> QtWindowSystem::foregroundFromX11() const {
    Display* display = x11Display();
    if (display == nullptr) {
        return std::nullopt;
    }
    const auto active =
        readLongProperty(display, DefaultRootWindow(display), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    if (!active || *active == kNoWindow) {
        return ForegroundWindow::None;
    }
    if (m_window != nullptr && m_window->internalWinId() == *active) {
        return ForegroundWindow::MainWindow;
    }
    const auto pid = readLongProperty(display, *active, "_NET_WM_PID", XA_CARDINAL);
    if (pid && *pid > 0 &&
        isGameProcess(readProcFile(static_cast<long>(*pid), "comm"),
                      readProcFile(static_cast<long>(*pid), "cmdline"))) {
        return ForegroundWindow::Game;
    }
    return ForegroundWindow::Other;
}

ForegroundWindow QtWindowSystem::foreground() const {
    if (m_window != nullptr && QApplication::activeWindow() == m_window) {
        return ForegroundWindow::MainWindow;
    }
    if (const auto fromX11 = foregroundFromX11()) {
        return *fromX11;
    }
    // Without X11 only our own windows are known: another of them, or nothing of ours.
    return QApplication::activeWindow() != nullptr ? ForegroundWindow::Other
                                                   : ForegroundWindow::None;
}

Rect QtWindowSystem::workArea() const {
    QScreen* screen = m_window != nullptr && m_window->screen() != nullptr
                          ? m_window->screen()
                          : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    const QRect area = screen->availableGeometry();
    return Rect{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

void QtWindowSystem::restoreAndActivateMainWindow() {
    if (m_window == nullptr) {
        return;
    }
    m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}

void QtWindowSystem::activateMainWindow() {
    if (m_window == nullptr) {
        return;
    }
    m_window->raise();
    m_window->activateWindow();
}

}  // namespace squadlink
