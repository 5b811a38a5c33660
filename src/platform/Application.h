#pragma once

namespace squadlink {

class Application {
public:
    virtual ~Application() = default;
    // Stops the event loop; the program ends once the current handler has unwound.
    virtual void quit() = 0;
};

}  // namespace squadlink
