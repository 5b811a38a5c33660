#pragma once

#include "core/model/Control.h"

namespace squadlink {

// A horizontal scroll bar (slider). Setting a different value raises Change.
class ScrollBar : public Control {
public:
    ScrollBar(std::string name, int min, int max, int largeChange, int value)
        : Control(std::move(name)),
          m_min(min),
          m_max(max),
          m_largeChange(largeChange),
          m_value(value) {}
    int min() const { return m_min; }
    int max() const { return m_max; }
    int largeChange() const { return m_largeChange; }
    int value() const { return m_value; }
    void setValue(int value) {
        if (value == m_value) {
            return;
        }
        m_value = value < m_min ? m_min : (value > m_max ? m_max : value);
        changed.raise();
        Change.raise();
    }

    Event<> Change;

private:
    int m_min;
    int m_max;
    int m_largeChange;
    int m_value;
};

}  // namespace squadlink
