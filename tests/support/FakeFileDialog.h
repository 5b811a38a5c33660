#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/FileDialog.h"

namespace squadlink {

// Answers each open-file dialog with the next scripted path (empty: cancelled).
class FakeFileDialog : public FileDialog {
public:
    struct Asked {
        std::string title;
        std::string description;
        std::vector<std::string> patterns;
    };
    std::string openFile(const std::string& title, const std::string& description,
                         const std::vector<std::string>& patterns) override {
        asked.push_back({title, description, patterns});
        if (answers.empty()) {
            return {};
        }
        std::string next = answers.front();
        answers.pop_front();
        return next;
    }
    std::deque<std::string> answers;
    std::vector<Asked> asked;
};

}  // namespace squadlink
