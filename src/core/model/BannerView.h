#pragma once

#include <string>

#include "core/model/Control.h"

namespace squadlink {

// The banner strip at the top of the window: black, or one picture (GIF, animated or not,
// PNG or JPEG) given as the bytes fetched. Its location names where the picture came from
// ("file://" and a path for the built-in one).
class BannerView : public Control {
public:
    static constexpr int kWidth = 472;
    static constexpr int kHeight = 64;

    using Control::Control;
    const std::string& locationName() const { return m_location; }
    const std::string& picture() const { return m_picture; }
    // Counts every navigation, so the window shows a picture again even when its bytes repeat.
    unsigned navigations() const { return m_navigations; }

    void showBlank() { navigate({}, {}); }
    void showPicture(std::string location, std::string bytes) {
        navigate(std::move(location), std::move(bytes));
    }
    // The window reports a left click, and a picture it cannot show.
    void click() { Click.raise(); }
    void navigateError() { NavigateError.raise(); }

    Event<> Click;
    Event<> NavigateError;

private:
    void navigate(std::string location, std::string bytes) {
        m_location = std::move(location);
        m_picture = std::move(bytes);
        ++m_navigations;
        changed.raise();
    }

    std::string m_location;
    std::string m_picture;
    unsigned m_navigations = 0;
};

}  // namespace squadlink
