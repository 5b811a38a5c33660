#pragma once

namespace squadlink {

// The banner's rotation timer, as the other subsystems see it: activity on the link (and the
// game leaving the foreground, or the window coming back) lets a paused rotation go on.
class BannerRotation {
public:
    virtual ~BannerRotation() = default;
    virtual void ResumeBannerRotation() = 0;
};

}  // namespace squadlink
