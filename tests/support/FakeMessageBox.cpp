#include "support/FakeMessageBox.h"

namespace squadlink {

int FakeMessageBox::show(const std::string& text, const std::string& caption, int flags) {
    shown.push_back(Shown{text, caption, flags});
    if (whileOpen) {
        auto during = std::move(whileOpen);
        whileOpen = nullptr;
        during();
    }
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    const bool question = flags == mb::YesNoInformation || flags == mb::YesNoInformationDefaultNo;
    return question ? mb::No : mb::Ok;
}

bool FakeMessageBox::anyContains(const std::string& part) const {
    return std::any_of(shown.begin(), shown.end(),
                       [&](const Shown& s) { return s.text.find(part) != std::string::npos; });
}

}  // namespace squadlink
