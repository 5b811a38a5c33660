#pragma once

#include <functional>
#include <string>

#include "update/UpdateCheck.h"
#include "update/UpdateContext.h"

namespace squadlink {

// The menu bar and tray commands, the quick links of the "Misc" tab, help and about.
class SmallTools {
public:
    static constexpr const char* kAuthorMail = "orvell@squadlink.org";
    static constexpr int kIrcLinkCount = 6;
    static constexpr int kWebLinkCount = 3;

    // `close` is the window's own close (shut-down, then the end).
    SmallTools(const UpdateContext& context, UpdateCheck& updates, std::function<void()> close)
        : m_ctx(context), m_updates(updates), m_close(std::move(close)) {}

    void connectHandlers();
    // Captions and state of the quick links and the focus box.
    void initControls();

    void mUpgradeCheck_Click();
    void mVisitHomepage_Click();
    void mSendMail_Click();
    void mExit_Click();
    void mHelpContents_Click();
    void mAbout_Click();
    void lIRCLinks_Click(int index);
    void lWWWLink_Click(int index);

    static std::string ircTarget(int index);
    static std::string webTarget(int index);
    std::string helpFilePath() const;

private:
    UpdateContext m_ctx;
    UpdateCheck& m_updates;
    std::function<void()> m_close;
};

}  // namespace squadlink
