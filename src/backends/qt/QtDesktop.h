#pragma once

#include "platform/Desktop.h"

namespace squadlink {

// URLs and files through the desktop's handlers (xdg-open and friends, via Qt); programs
// started detached with an argument list.
class QtDesktop : public Desktop {
public:
    bool openUrl(const std::string& url) override;
    bool openFile(const std::string& path) override;
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& workingFolder) override;
};

}  // namespace squadlink
