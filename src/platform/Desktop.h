#pragma once

#include <string>
#include <vector>

namespace squadlink {

// The desktop's "open" verb: URLs and documents through the user's handlers, programs started
// with an argument list (never through a shell). Each call answers false when nothing was
// started, which the behaviour reports with its own message.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual bool openUrl(const std::string& url) = 0;
    virtual bool openFile(const std::string& path) = 0;
    virtual bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                              const std::string& workingFolder) = 0;
};

}  // namespace squadlink
