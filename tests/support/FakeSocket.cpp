#include "support/FakeSocket.h"

#include "platform/RuntimeError.h"

namespace squadlink {

void FakeSocket::bind(std::uint16_t localPort) {
    if (failNextBind != 0) {
        const int number = failNextBind;
        failNextBind = 0;
        throw RuntimeError(number);
    }
    m_boundPort = localPort;
    ++m_bindCount;
}

void FakeSocket::sendData(std::string_view bytes) {
    const auto failing = failingHosts.find(m_remoteHost);
    if (failing != failingHosts.end()) {
        throw RuntimeError(failing->second);
    }
    sent.push_back(Sent{m_remoteHost, m_remotePort, std::string(bytes)});
    if (afterSend) {
        const Sent copy = sent.back();
        afterSend(copy);
    }
}

void FakeSocket::deliver(const std::string& data, const std::string& senderIp) {
    if (m_events != nullptr) {
        m_events->onDataArrival(Datagram{data, senderIp});
    }
}

void FakeSocket::raiseError(int number, const std::string& description) {
    if (m_events != nullptr) {
        m_events->onSocketError(number, description);
    }
}

}  // namespace squadlink
