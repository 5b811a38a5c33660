#include "CommandLine.h"

#include <QString>

#include "backends/qt/Cp1252.h"

namespace squadlink {

std::vector<std::string> CommandLine::arguments(int argc, const char* const* argv) {
    std::vector<std::string> result;
    for (int i = 1; i < argc; ++i) {
        result.push_back(Cp1252::fromUnicode(QString::fromLocal8Bit(argv[i])));
    }
    return result;
}

}  // namespace squadlink
