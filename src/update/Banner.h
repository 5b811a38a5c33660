#pragma once

#include <string>
#include <vector>

#include "core/BannerRotation.h"
#include "update/UpdateContext.h"

namespace squadlink {

// The banner strip: the built-in picture at first, then the server's banners one per 45
// seconds, the built-in one again after the last, and back to it whenever the server is gone.
class Banner : public BannerRotation {
public:
    static constexpr int kRotationMs = 45000;

    explicit Banner(const UpdateContext& context) : m_ctx(context) {}

    void connectHandlers();
    void StartBanner();
    void ResumeBannerRotation() override;
    void tBanner_Timer();
    void tFixBanner_Timer();
    void wb_NavigateError();
    bool TestBannerServer();
    bool LoadBannerList();
    void ShowNextBanner();
    void ShowDefaultBanner();
    void LinkWebBrowser();

    const std::vector<std::string>& BannerImages() const { return m_images; }
    const std::vector<std::string>& BannerLinks() const { return m_links; }
    int nBannerCount() const { return m_count; }
    int nBannerIndex() const { return m_index; }
    bool bBannerListLoaded() const { return m_listLoaded; }
    bool bBannerHasLink() const { return m_hasLink; }

private:
    bool showsBuiltIn() const;

    UpdateContext m_ctx;
    std::vector<std::string> m_images;
    std::vector<std::string> m_links;
    int m_count = 0;
    int m_index = 1;
    bool m_listLoaded = false;
    bool m_hasLink = false;
    bool m_failed = false;
};

}  // namespace squadlink
