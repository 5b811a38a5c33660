// Feeds arbitrary bytes, as the update server (or anyone on the way) may send them, to the
// readers of update.txt and banner.txt, and checks that what they accept is well formed.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "update/ServerFiles.h"

using namespace squadlink;

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (const auto info = parseUpdateInfo(text)) {
        require(info->release >= 0 && info->release <= 255);
        require(info->home.size() >= 2 && info->home.size() <= 254);
        require(info->home.find('\n') == std::string::npos);
        require(text.size() > 4);
    }

    if (const auto list = parseBannerList(text)) {
        require(!list->images.empty() && list->images.size() <= 255);
        require(list->images.size() == list->links.size());
        for (std::size_t i = 0; i < list->images.size(); ++i) {
            require(list->images[i].size() >= 10 && list->images[i].size() <= 254);
            require(list->images[i].find('\n') == std::string::npos);
            if (i + 1 < list->links.size()) {
                require(list->links[i].size() <= 254);
                require(list->links[i].find('\n') == std::string::npos);
            }
        }
    }
    return 0;
}
