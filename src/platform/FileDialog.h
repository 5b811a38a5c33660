#pragma once

#include <string>
#include <vector>

namespace squadlink {

// The desktop's open-file dialog, owned by the main window: an existing file only.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    // The chosen file's full path, or empty when cancelled. `patterns` are file-name wildcards
    // offered under one filter described by `description`.
    virtual std::string openFile(const std::string& title, const std::string& description,
                                 const std::vector<std::string>& patterns) = 0;
};

}  // namespace squadlink
