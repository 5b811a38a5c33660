#pragma once

#include <vector>

#include "platform/DisplayGamma.h"

namespace squadlink {

// A display whose ramp a test sets up; records every ramp loaded into it.
class FakeDisplayGamma : public DisplayGamma {
public:
    FakeDisplayGamma() {
        for (std::size_t i = 0; i < current.size(); ++i) {
            current[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(257 * (i % 256)));
        }
    }
    bool read(GammaTable& table) override {
        if (!supported) {
            return false;
        }
        if (!m_read) {
            m_firstRead = current;
            m_read = true;
        }
        table = current;
        return true;
    }
    void apply(const GammaTable& table) override {
        current = table;
        applied.push_back(table);
    }
    void restoreFirstRead() override {
        if (m_read) {
            current = m_firstRead;
            ++restores;
        }
    }

    bool supported = true;
    GammaTable current{};
    std::vector<GammaTable> applied;
    int restores = 0;

private:
    GammaTable m_firstRead{};
    bool m_read = false;
};

}  // namespace squadlink
