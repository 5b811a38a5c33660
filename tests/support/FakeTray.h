#pragma once

#include "platform/TrayIcon.h"

namespace squadlink {

class FakeTray : public TrayIcon {
public:
    bool available() const override { return exists; }
    void add() override { shown = exists; }
    void remove() override { shown = false; }
    bool exists = true;
    bool shown = false;
};

}  // namespace squadlink
