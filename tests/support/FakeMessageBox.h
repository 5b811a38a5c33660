#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace squadlink {

// Records every box and answers from a script (default: OK for plain boxes, No for questions).
class FakeMessageBox : public MessageBox {
public:
    struct Shown {
        std::string text;
        std::string caption;
        int flags = 0;
    };
    int show(const std::string& text, const std::string& caption, int flags) override;
    std::vector<Shown> shown;
    std::deque<int> answers;
    // Runs while the box is open, as pending events do under a real modal box.
    std::function<void()> whileOpen;
    bool anyContains(const std::string& part) const;
};

}  // namespace squadlink
