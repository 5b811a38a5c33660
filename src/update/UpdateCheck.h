#pragma once

#include "update/UpdateContext.h"

namespace squadlink {

// Asks the update server for the latest release number (monthly on its own, or when the user
// asks) and offers the download when there is a newer one.
class UpdateCheck {
public:
    // The first release number that is newer than this program.
    static constexpr int kNewerRelease = 13;

    explicit UpdateCheck(const UpdateContext& context) : m_ctx(context) {}

    // True when the server answered with a usable update.txt ("done").
    bool CheckForUpdate(bool interactive);
    void tDelayUpdate_Timer();

private:
    UpdateContext m_ctx;
};

}  // namespace squadlink
