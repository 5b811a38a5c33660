#pragma once

#include <string>

namespace squadlink {

// Message-box flags and answers keep their Windows values: stored habits and the handlers'
// tests (for example "the answer No is 7") are written in them.
namespace mb {
inline constexpr int Error = 16;
inline constexpr int Warning = 48;
inline constexpr int Information = 64;
inline constexpr int YesNoInformation = 68;
inline constexpr int YesNoInformationDefaultNo = 324;
inline constexpr int Ok = 1;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
inline constexpr int Cancel = 2;
inline constexpr int Abort = 3;

// The answer that changes nothing: what a box closed without a button press stands for (the
// program shutting down, a box that was never shown). Callers test only for No, so reading
// such a close as OK would answer a question "Yes".
constexpr int safeAnswer(int flags) {
    switch (flags & 0x0F) {
        case 1:
        case 3:
        case 5:
            return Cancel;
        case 2:
            return Abort;
        case 4:
            return No;
        default:
            return Ok;
    }
}
}  // namespace mb

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Shows a modal box; pending events keep running underneath while it is open.
    virtual int show(const std::string& text, const std::string& caption, int flags) = 0;
};

}  // namespace squadlink
