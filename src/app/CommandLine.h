#pragma once

#include <string>
#include <vector>

namespace squadlink {

// The program's own arguments, as the logic reads them.
class CommandLine {
public:
    // Taken before QApplication sees argv: Qt removes the options it knows ("-style fusion",
    // "-reverse"), and those must end the program as invalid like any other argument. Each
    // argument arrives in the system's encoding (UTF-8) and is converted to Windows-1252, the
    // logic's text.
    static std::vector<std::string> arguments(int argc, const char* const* argv);
};

}  // namespace squadlink
