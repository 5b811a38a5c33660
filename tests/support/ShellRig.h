#pragma once

#include <memory>
#include <string>
#include <vector>

#include "chat/MemoryChatDocument.h"
#include "shell/MainForm.h"
#include "support/FakeDisplayGamma.h"
#include "support/FakeFileDialog.h"
#include "support/FakeProcessWindows.h"
#include "support/FakeServices.h"
#include "support/FakeShellServices.h"
#include "support/FakeSocket.h"
#include "support/FakeTextMetrics.h"
#include "support/FakeTimerDriver.h"
#include "support/TempFolder.h"

namespace squadlink {

// One whole program copy on fake services: the program's own MainForm, which builds and wires
// every subsystem, started and stopped the way the real one is. Time, dialogs, the chat view's
// document and the OS pieces are fakes; the model's timers run on virtual time.
struct ShellRig {
    MainForm& form() {
        if (!m_form) {
            m_form = std::make_unique<MainForm>(
                model,
                ShellServices{platform, urlScheme, instances, hotKeys, tray, executable,
                              GameServices{display, processes, fileDialog, metrics, "/home/nobody"},
                              &document});
            for (Timer* timer : model.timers()) {
                timers.attach(*timer);
            }
        }
        return *m_form;
    }
    bool start(std::vector<std::string> args = {}) { return form().Form_Load(args); }
    std::string stored(const std::string& key) const {
        const auto found = settings.values.find(key);
        return found == settings.values.end() ? "<missing>" : found->second;
    }

    // The banner writes its picture into a "data" folder beside the executable.
    test::TempFolder programFolder;
    std::string executable = programFolder.path() + "/squadlink";
    WindowModel model;
    FakeSocket socket;
    FakePump pump;
    FakeClock clock;
    FakeMessageBox boxes;
    FakeSettings settings;
    FakeSound sound;
    FakeWindowSystem windows;
    FakeApplication application;
    FakeClipboard clipboard;
    FakeDesktop desktop;
    FakeUrlScheme urlScheme;
    FakeInstanceChannel instances;
    FakeHotKeys hotKeys;
    FakeTray tray;
    FakeDisplayGamma display;
    FakeProcessWindows processes;
    FakeFileDialog fileDialog;
    FakeTextMetrics metrics;
    MemoryChatDocument document;
    FakeTimerDriver timers{clock};
    Platform platform{socket, pump,    clock,       boxes,     settings,
                      sound,  windows, application, clipboard, desktop};
    std::unique_ptr<MainForm> m_form;
};

}  // namespace squadlink
