#pragma once

#include <string>
#include <string_view>

#include "platform/HttpClient.h"

namespace squadlink {

// The maker's web server: update.txt, banner.txt and test.txt under one base address, and the
// banner pictures wherever banner.txt points. One request at a time: a request asked for while
// another is waiting (a timer that fired underneath it) gets no reply.
class UpdateServer {
public:
    static constexpr const char* kHost = "www.squadlink.org";
    static constexpr const char* kPath = "/Squadlink/";
    // Tests and mirrors point the program elsewhere with a base address such as
    // http://127.0.0.1:8080/Squadlink/.
    static constexpr const char* kOverrideVariable = "SQUADLINK_UPDATE_URL";

    // The override when it is set, else "http://" kHost kPath.
    static std::string defaultBaseUrl();

    // A null client never answers (a program built without a network).
    UpdateServer(HttpClient* http, std::string baseUrl);

    const std::string& baseUrl() const { return m_baseUrl; }
    // One of the server's files, by name.
    std::string HttpGetFile(std::string_view name) {
        return HttpGet(m_baseUrl + std::string(name));
    }
    std::string HttpGet(const std::string& url);
    bool busy() const { return m_busy; }

private:
    HttpClient* m_http;
    std::string m_baseUrl;
    bool m_busy = false;
};

}  // namespace squadlink
