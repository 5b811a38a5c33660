#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/HotKeys.h"
#include "platform/InstanceChannel.h"
#include "platform/TrayIcon.h"
#include "platform/UrlSchemeRegistry.h"

namespace squadlink {

class FakeUrlScheme : public UrlSchemeRegistry {
public:
    std::string currentCommand() const override { return command; }
    void registerHandler(const std::string& executablePath) override {
        ++registrations;
        command = executablePath;
    }
    bool unregisterHandler() override {
        if (!removable) {
            return false;
        }
        command.clear();
        return true;
    }
    std::string command;
    int registrations = 0;
    bool removable = true;
};

// Another copy is "running" when `running` is set; requests sent to it are recorded, and a
// listening copy receives what a test delivers.
class FakeInstanceChannel : public InstanceChannel {
public:
    bool otherInstanceRunning() override { return running; }
    bool send(Request request) override {
        sent.push_back(request);
        if (onSend) {
            onSend(request);
        }
        return running;
    }
    bool listen(std::function<void(Request)> handler) override {
        m_handler = std::move(handler);
        listening = true;
        return true;
    }
    void stop() override { listening = false; }
    void deliver(Request request) {
        if (m_handler) {
            m_handler(request);
        }
    }
    bool running = false;
    bool listening = false;
    std::vector<Request> sent;
    std::function<void(Request)> onSend;

private:
    std::function<void(Request)> m_handler;
};

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

class FakeTray : public TrayIcon {
public:
    bool available() const override { return exists; }
    void add() override { shown = exists; }
    void remove() override { shown = false; }
    bool exists = true;
    bool shown = false;
};

}  // namespace squadlink
