#pragma once

#include <string>

#include "core/model/Label.h"

namespace squadlink {

// A small picture carrying a tip, drawn in one of two background colours: the button shadow,
// or (highlighted) the tip background. Blinking between them draws the eye to the tip.
class HintPicture : public Label {
public:
    using Label::Label;
    const std::string& toolTip() const { return m_toolTip; }
    void setToolTip(std::string tip) {
        m_toolTip = std::move(tip);
        changed.raise();
    }
    bool highlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted) {
        if (highlighted != m_highlighted) {
            m_highlighted = highlighted;
            changed.raise();
        }
    }

private:
    std::string m_toolTip;
    bool m_highlighted = false;
};

}  // namespace squadlink
