#pragma once

#include <cstddef>
#include <string>

namespace squadlink {

// Plain HTTP GET for the update server's small text files and the banner pictures. The call
// returns only when the reply is complete, but the window and the socket keep being served
// while it waits (handlers may therefore run re-entrantly across it).
class HttpClient {
public:
    // More than any text file or banner picture the program fetches; the rest is not read.
    static constexpr std::size_t kMaxBody = 1024 * 1024;

    virtual ~HttpClient() = default;
    // The body exactly as sent (whatever the HTTP status), at most kMaxBody bytes, bypassing
    // any cache. Empty when the server cannot be reached, does not answer in time, or the
    // transfer breaks off before the body is whole.
    virtual std::string get(const std::string& url) = 0;
};

}  // namespace squadlink
