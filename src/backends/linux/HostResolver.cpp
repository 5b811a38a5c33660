#include "backends/linux/HostResolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>

#include <cerrno>
#include <cstring>

namespace squadlink {

struct HostResolver::Pending {
    std::string name;
    addrinfo hints{};
    gaicb request{};
};

HostResolver::HostResolver(Lookup lookup) : m_lookup(std::move(lookup)) {
    if (!m_lookup) {
        m_lookup = [this](const std::string& host, std::chrono::milliseconds bound) {
            return systemLookup(host, bound);
        };
    }
}

HostResolver::~HostResolver() {
    collectFinished();
    // A lookup still running keeps writing into its request: leave those to the process end.
    for (auto& pending : m_abandoned) {
        static_cast<void>(pending.release());
    }
}

std::optional<std::uint32_t> HostResolver::resolve(const std::string& host) {
    in_addr literal{};
    if (inet_pton(AF_INET, host.c_str(), &literal) == 1) {
        return literal.s_addr;
    }
    const auto now = std::chrono::steady_clock::now();
    if (host == m_host && m_address && now - m_resolvedAt < kKeepFor) {
        return m_address;
    }
    collectFinished();
    const std::optional<std::uint32_t> address = m_lookup(host, kLookupBound);
    if (address) {
        m_host = host;
        m_address = address;
        m_resolvedAt = now;
    }
    return address;
}

std::optional<std::uint32_t> HostResolver::systemLookup(const std::string& host,
                                                        std::chrono::milliseconds bound) {
    auto pending = std::make_unique<Pending>();
    pending->name = host;
    pending->hints.ai_family = AF_INET;
    pending->hints.ai_socktype = SOCK_DGRAM;
    pending->request.ar_name = pending->name.c_str();
    pending->request.ar_request = &pending->hints;
    gaicb* list[] = {&pending->request};
    if (getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr) != 0) {
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + bound;
    const gaicb* waitList[] = {&pending->request};
    while (gai_error(&pending->request) == EAI_INPROGRESS) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            break;
        }
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec timeout{
            static_cast<time_t>(seconds.count()),
            static_cast<long>(
                std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count())};
        gai_suspend(waitList, 1, &timeout);
    }
    const int status = gai_error(&pending->request);
    if (status == EAI_INPROGRESS) {
        if (gai_cancel(&pending->request) != EAI_CANCELED) {
            m_abandoned.push_back(std::move(pending));
        }
        return std::nullopt;
    }
    addrinfo* const found = pending->request.ar_result;
    if (status != 0 || found == nullptr) {
        return std::nullopt;
    }
    std::optional<std::uint32_t> address;
    if (found->ai_family == AF_INET && found->ai_addrlen >= sizeof(sockaddr_in)) {
        sockaddr_in destination{};
        std::memcpy(&destination, found->ai_addr, sizeof destination);
        address = destination.sin_addr.s_addr;
    }
    freeaddrinfo(found);
    return address;
}

void HostResolver::collectFinished() {
    for (auto it = m_abandoned.begin(); it != m_abandoned.end();) {
        if (gai_error(&(*it)->request) == EAI_INPROGRESS) {
            ++it;
            continue;
        }
        if ((*it)->request.ar_result != nullptr) {
            freeaddrinfo((*it)->request.ar_result);
        }
        it = m_abandoned.erase(it);
    }
}

}  // namespace squadlink
