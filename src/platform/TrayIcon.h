#pragma once

namespace squadlink {

// The notification-area icon.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    virtual bool available() const = 0;
    virtual void add() = 0;
    virtual void remove() = 0;
};

}  // namespace squadlink
