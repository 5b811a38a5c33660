#include "update/Banner.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/TextUtil.h"
#include "update/BuiltInBanner.h"
#include "update/ServerFiles.h"

namespace squadlink {

namespace {

constexpr std::size_t kMinLinkLength = 9;

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// Lines may end in CR LF where the files were written on Windows.
std::string withoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.pop_back();
    }
    return text;
}

// A banner's link comes over plain HTTP: only web pages are opened from it, never local files
// or other programs' schemes.
bool isWebLink(std::string_view link) {
    return startsWithIgnoreCase(link, "http://") || startsWithIgnoreCase(link, "https://");
}

bool writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// The path of a data file in the "data" folder under base, the folder created and any old
// file removed; empty when there is no base.
std::string DataFilePath(const std::string& base, const std::string& name) {
    if (base.empty()) {
        return {};
    }
    namespace fs = std::filesystem;
    std::error_code ignored;
    const fs::path folder = fs::path(base) / "data";
    fs::create_directories(folder, ignored);
    const fs::path file = folder / name;
    fs::remove(file, ignored);
    return file.string();
}

}  // namespace

void Banner::connectHandlers() {
    auto guarded = [this](auto handler) { return [this, handler] { m_ctx.guard.run(handler); }; };
    m_ctx.ui.tBanner.Tick.connect(guarded([this] { tBanner_Timer(); }));
    m_ctx.ui.tFixBanner.Tick.connect(guarded([this] { tFixBanner_Timer(); }));
    m_ctx.ui.wb.Click.connect(guarded([this] { LinkWebBrowser(); }));
    m_ctx.ui.wb.NavigateError.connect(guarded([this] { wb_NavigateError(); }));
}

void Banner::StartBanner() {
    m_failed = false;
    m_index = 1;
    m_ctx.ui.wb.showBlank();
    m_ctx.platform.pump.doEvents();
    ShowDefaultBanner();
    m_listLoaded = false;
    m_ctx.ui.tBanner.setInterval(kRotationMs);
    ResumeBannerRotation();
}

void Banner::ResumeBannerRotation() {
    if (m_ctx.ui.frmSQD.windowState() == WindowState::Minimized || m_ctx.state.bGameInFront) {
        return;
    }
    // Enabling a running timer must not restart its countdown: every datagram comes here.
    if (!m_ctx.ui.tBanner.enabled()) {
        m_ctx.ui.tBanner.start();
    }
}

void Banner::tBanner_Timer() {
    // Fired while another request (an update check) waits: try again next period rather than
    // take the missing answer for a lost server.
    if (m_ctx.server.busy()) {
        return;
    }
    if (m_listLoaded) {
        if (TestBannerServer()) {
            ShowNextBanner();
            return;
        }
        m_listLoaded = false;
    } else if (LoadBannerList()) {
        m_listLoaded = true;
        ShowNextBanner();
        return;
    }
    m_ctx.ui.tBanner.stop();
    if (!showsBuiltIn()) {
        ShowDefaultBanner();
    }
}

bool Banner::TestBannerServer() {
    return isPresentReply(m_ctx.server.HttpGetFile("test.txt"));
}

bool Banner::LoadBannerList() {
    std::optional<BannerList> list = parseBannerList(m_ctx.server.HttpGetFile("banner.txt"));
    if (!list) {
        return false;
    }
    m_images = std::move(list->images);
    m_links = std::move(list->links);
    m_count = static_cast<int>(m_images.size());
    return true;
}

void Banner::ShowNextBanner() {
    if (m_index > m_count) {
        m_index = 1;
        ShowDefaultBanner();
        return;
    }
    const auto i = static_cast<std::size_t>(m_index - 1);
    if (i >= m_images.size() || i >= m_links.size()) {
        m_listLoaded = false;
        ShowDefaultBanner();
        return;
    }
    const std::string image = withoutLineEnd(m_images[i]);
    const std::string link = withoutLineEnd(m_links[i]);
    const std::string bytes = m_ctx.server.HttpGet(image);
    if (bytes.empty()) {
        wb_NavigateError();
    } else {
        m_hasLink = link.size() >= kMinLinkLength && isWebLink(link);
        m_ctx.ui.wb.showPicture(image, bytes);
    }
    m_ctx.platform.pump.doEvents();
    ++m_index;
}

void Banner::ShowDefaultBanner() {
    m_hasLink = false;
    const std::string_view picture = builtInBanner();
    // Beside the executable, or in the user's own data folder where that is not writable.
    for (const std::string& base : {m_ctx.programFolder, m_ctx.userDataFolder}) {
        const std::string path = DataFilePath(base, "banner.gif");
        if (!path.empty() && writeFile(path, picture)) {
            m_ctx.ui.wb.showPicture("file://" + path, std::string(picture));
            return;
        }
    }
    m_ctx.ui.wb.showBlank();
}

void Banner::wb_NavigateError() {
    m_hasLink = false;
    m_failed = true;
    m_ctx.ui.tFixBanner.restart();
}

void Banner::tFixBanner_Timer() {
    m_ctx.ui.tFixBanner.stop();
    if (m_failed) {
        m_failed = false;
        ShowDefaultBanner();
    }
}

void Banner::LinkWebBrowser() {
    if (!m_hasLink || m_index < 2 || m_index > m_count + 1) {
        return;
    }
    const auto i = static_cast<std::size_t>(m_index - 2);
    if (i < m_links.size()) {
        // A failure is not reported: the banner is not worth a message box.
        m_ctx.platform.desktop.openUrl(withoutLineEnd(m_links[i]));
    }
}

bool Banner::showsBuiltIn() const {
    return m_ctx.ui.wb.locationName().find("file://") != std::string::npos;
}

}  // namespace squadlink
