#pragma once

#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace squadlink {

// Records what the program asks the desktop to open or start.
class FakeDesktop : public Desktop {
public:
    struct Started {
        std::string program;
        std::vector<std::string> arguments;
        std::string workingFolder;
    };
    bool openUrl(const std::string& url) override {
        urls.push_back(url);
        return succeed;
    }
    bool openFile(const std::string& path) override {
        files.push_back(path);
        return succeed;
    }
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& workingFolder) override {
        started.push_back({program, arguments, workingFolder});
        return succeed;
    }
    bool succeed = true;
    std::vector<std::string> urls;
    std::vector<std::string> files;
    std::vector<Started> started;
};

}  // namespace squadlink
