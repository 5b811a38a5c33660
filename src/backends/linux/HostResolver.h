#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace squadlink {

// Turns the socket's remote host into an IPv4 address without holding the window for long.
// Dotted addresses need no lookup. A host name is looked up once when the address changes and
// the answer is kept for a while, so sends to the same name never wait on the resolver again;
// a lookup that outlasts its bound counts as "not reachable".
class HostResolver {
public:
    // IPv4 address in network byte order, or nothing when the name does not resolve in time.
    using Lookup =
        std::function<std::optional<std::uint32_t>(const std::string&, std::chrono::milliseconds)>;

    static constexpr std::chrono::milliseconds kLookupBound{2000};
    static constexpr std::chrono::minutes kKeepFor{5};

    // `lookup` stands in for the system resolver in tests.
    explicit HostResolver(Lookup lookup = {});
    ~HostResolver();
    HostResolver(const HostResolver&) = delete;
    HostResolver& operator=(const HostResolver&) = delete;

    std::optional<std::uint32_t> resolve(const std::string& host);

private:
    struct Pending;
    std::optional<std::uint32_t> systemLookup(const std::string& host,
                                              std::chrono::milliseconds bound);
    void collectFinished();

    Lookup m_lookup;
    std::string m_host;
    std::optional<std::uint32_t> m_address;
    std::chrono::steady_clock::time_point m_resolvedAt;
    // Lookups given up on but still running in the C library: their requests must outlive them.
    std::vector<std::unique_ptr<Pending>> m_abandoned;
};

}  // namespace squadlink
