#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/Attention.h"
#include "core/ChatView.h"
#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "platform/SettingsBackend.h"
#include "platform/SoundPlayer.h"
#include "platform/WindowSystem.h"

namespace squadlink {

// Runs whatever the test queued, once per "let pending events run".
class FakePump : public EventPump {
public:
    void doEvents() override {
        ++calls;
        while (!queued.empty()) {
            auto next = std::move(queued.front());
            queued.pop_front();
            next();
        }
    }
    std::deque<std::function<void()>> queued;
    int calls = 0;
};

class FakeClock : public Clock {
public:
    std::int64_t tickMs() const override { return ms; }
    std::int64_t tickUs() const override { return ms * 1000 + us; }
    LocalDateTime now() const override { return date; }
    std::int64_t ms = 1'000'000;
    // Microseconds on top of `ms`, for round trips finer than a millisecond.
    std::int64_t us = 0;
    LocalDateTime date{2026, 12, 8, 9, 5, 7};
};

// Records every box and answers from a script (default: OK for plain boxes, No for questions).
class FakeMessageBox : public MessageBox {
public:
    struct Shown {
        std::string text;
        std::string caption;
        int flags = 0;
    };
    int show(const std::string& text, const std::string& caption, int flags) override;
    std::vector<Shown> shown;
    std::deque<int> answers;
    // Runs while the box is open, as pending events do under a real modal box.
    std::function<void()> whileOpen;
    bool anyContains(const std::string& part) const;
};

class FakeSettings : public SettingsBackend {
public:
    std::optional<std::string> read(const std::string& key) const override;
    void write(const std::string& key, const std::string& value) override { values[key] = value; }
    bool remove(const std::string& key) override { return values.erase(key) > 0; }
    bool removeSection() override {
        const bool any = !values.empty();
        values.clear();
        return any;
    }
    std::map<std::string, std::string> values;
};

class FakeSound : public SoundPlayer {
public:
    int outputDeviceCount() const override { return devices; }
    void play(int soundId, bool wait) override { played.push_back({soundId, wait}); }
    int devices = 1;
    std::vector<std::pair<int, bool>> played;
};

class FakeWindowSystem : public WindowSystem {
public:
    ForegroundWindow foreground() const override { return front; }
    Rect workArea() const override { return area; }
    void restoreAndActivateMainWindow() override {
        ++restores;
        front = ForegroundWindow::MainWindow;
    }
    void activateMainWindow() override {
        ++activations;
        front = ForegroundWindow::MainWindow;
    }
    ForegroundWindow front = ForegroundWindow::MainWindow;
    Rect area{0, 0, 1280, 1024};
    int restores = 0;
    int activations = 0;
};

class FakeApplication : public Application {
public:
    void quit() override { ++quits; }
    int quits = 0;
};

// Holds text like the desktop's clipboard; a test makes it busy to see the retry rules.
class FakeClipboard : public Clipboard {
public:
    std::string text() const override;
    void setText(const std::string& text) override;
    std::string content;
    // While above zero, each call fails with 521 and counts this down.
    mutable int busyCalls = 0;
    int writes = 0;
};

// Records what the program asks the desktop to open or start.
class FakeDesktop : public Desktop {
public:
    struct Started {
        std::string program;
        std::vector<std::string> arguments;
        std::string workingFolder;
    };
    bool openUrl(const std::string& url) override {
        urls.push_back(url);
        return succeed;
    }
    bool openFile(const std::string& path) override {
        files.push_back(path);
        return succeed;
    }
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& workingFolder) override {
        started.push_back({program, arguments, workingFolder});
        return succeed;
    }
    bool succeed = true;
    std::vector<std::string> urls;
    std::vector<std::string> files;
    std::vector<Started> started;
};

// Records what the link asks the chat view to show, one readable line per call.
class FakeChatView : public ChatView {
public:
    void InitChatView() override { lines.push_back("[init]"); }
    void AddEventLine(std::string_view text) override {
        lines.push_back("[event] " + std::string(text));
    }
    void AddChatMessage(std::string_view nick, std::string_view text, ChatLineKind kind) override;
    void AppendChatLine(bool newLine, std::string_view nick, std::string_view text, bool linkStyle,
                        ChatLineKind kind) override;
    void ShowReceivedChat(std::string_view payload, ChatLineKind kind) override;
    void ShowChattersList(std::string_view payload) override;
    bool has(const std::string& line) const;
    std::vector<std::string> lines;
};

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
