#pragma once

namespace squadlink {

// How the behaviour ends the program. Both throw ProgramEnd after asking the event loop to
// stop, so that nothing after the request runs.
class Lifecycle {
public:
    virtual ~Lifecycle() = default;
    // Runs the shut-down (peers told, socket closed, settings saved), then ends.
    [[noreturn]] virtual void unloadAndEnd() = 0;
    // Ends at once, without the shut-down.
    [[noreturn]] virtual void end() = 0;
    virtual bool ended() const = 0;
};

}  // namespace squadlink
