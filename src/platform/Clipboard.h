#pragma once

#include <string>

namespace squadlink {

// The desktop's clipboard, in Windows-1252 text. Both calls throw RuntimeError 521 when the
// clipboard cannot be opened (another program holds it), as the behaviour's retry rules expect.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

}  // namespace squadlink
