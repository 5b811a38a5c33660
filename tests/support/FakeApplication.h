#pragma once

#include "platform/Application.h"

namespace squadlink {

class FakeApplication : public Application {
public:
    void quit() override { ++quits; }
    int quits = 0;
};

}  // namespace squadlink
