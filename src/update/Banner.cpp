#include "update/Banner.h"

#include <cstdio>
#include <filesystem>
#include <memory>
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

// Whether path is a plain file (not a link) that holds exactly these bytes. Read through the C
// library: a start reads this file, and a C++ stream would first build its locale.
bool holds(const std::filesystem::path& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_regular_file(fs::symlink_status(path, error)) ||
        fs::file_size(path, error) != bytes.size() || error) {
        return false;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
    if (!in) {
        return false;
    }
    std::string content(bytes.size(), '\0');
    return std::fread(content.data(), 1, content.size(), in.get()) == content.size() &&
           content == bytes;
}

// Writes a data file into the "data" folder under base, creating the folder; any old file is
// removed first, so a link there is replaced rather than written through. A file that already
// holds these bytes is left as it is: creating a file is the costliest step of a start.
// Returns the file's path, or empty when it could not be written or there is no base.
std::string WriteDataFile(const std::string& base, const std::string& name,
                          std::string_view bytes) {
    if (base.empty()) {
        return {};
    }
    namespace fs = std::filesystem;
    std::error_code ignored;
    const fs::path folder = fs::path(base) / "data";
    const fs::path file = folder / name;
    if (holds(file, bytes)) {
        return file.string();
    }
    fs::create_directories(folder, ignored);
    fs::remove(file, ignored);
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) {
        return {};
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written ? file.string() : std::string();
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
        const std::string path = WriteDataFile(base, "banner.gif", picture);
        if (!path.empty()) {
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
