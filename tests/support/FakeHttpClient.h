#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/HttpClient.h"

namespace squadlink {

// Serves scripted bodies by URL (anything else gets no reply) and records every request.
class FakeHttpClient : public HttpClient {
public:
    std::string get(const std::string& url) override {
        requests.push_back(url);
        if (whileWaiting) {
            whileWaiting();
        }
        const auto found = replies.find(url);
        return found == replies.end() ? std::string() : found->second;
    }
    std::map<std::string, std::string> replies;
    std::vector<std::string> requests;
    // Runs while a request is outstanding, as pending events do under the real client.
    std::function<void()> whileWaiting;
};

}  // namespace squadlink
