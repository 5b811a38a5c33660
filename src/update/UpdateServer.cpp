#include "update/UpdateServer.h"

#include <cstdlib>

namespace squadlink {

std::string UpdateServer::defaultBaseUrl() {
    const char* override = std::getenv(kOverrideVariable);
    if (override != nullptr && *override != '\0') {
        std::string base(override);
        if (base.back() != '/') {
            base.push_back('/');
        }
        return base;
    }
    return std::string("http://") + kHost + kPath;
}

UpdateServer::UpdateServer(HttpClient* http, std::string baseUrl)
    : m_http(http), m_baseUrl(baseUrl.empty() ? defaultBaseUrl() : std::move(baseUrl)) {
}

std::string UpdateServer::HttpGet(const std::string& url) {
    if (m_http == nullptr || m_busy) {
        return {};
    }
    m_busy = true;
    struct Release {
        bool& busy;
        ~Release() { busy = false; }
    } release{m_busy};
    return m_http->get(url);
}

}  // namespace squadlink
