#pragma once

#include <QString>
#include <memory>
#include <string>

#include "Program.h"
#include "support/FakeServices.h"
#include "support/FakeShellServices.h"

namespace squadlink::test {

// One real program copy in this process: its real window, socket, clock and timers, with the
// dialogs, sounds, settings store, hand-over channel, the desktop's handler registration and
// its "open" faked. A test adjusts `options` in its own constructor, then calls create().
struct ProgramCopy {
    explicit ProgramCopy(const std::string& bindAddress,
                         const std::string& executablePath = "/usr/bin/squadlink") {
        options.bindAddress = bindAddress;
        options.executablePath = executablePath;
        options.messageBox = &boxes;
        options.sound = &sound;
        options.settings = &settings;
        options.instances = &instances;
        options.urlScheme = &urlScheme;
        options.desktop = &desktop;
        // Several copies share this process; only the real program listens for signals.
        options.handleSignals = false;
    }
    void create() { program = std::make_unique<Program>(options); }
    template <typename Widget>
    Widget* widget(const char* name) {
        // The program builds a tab page when it is first shown; a test may reach for any.
        program->window().buildAllPages();
        return program->window().findChild<Widget*>(QString::fromLatin1(name));
    }

    FakeMessageBox boxes;
    FakeSound sound;
    FakeSettings settings;
    FakeInstanceChannel instances;
    FakeUrlScheme urlScheme;
    FakeDesktop desktop;
    ProgramOptions options;
    std::unique_ptr<Program> program;
};

}  // namespace squadlink::test
