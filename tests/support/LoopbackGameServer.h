#pragma once

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>
#include <cstdint>
#include <string>
#include <vector>

namespace squadlink::test {

// A Counter-Strike game server on loopback as far as the information and ping queries go: it
// answers the information query with the older "m" reply, today's "I" reply, both, or a
// challenge first, and the ping query with "j", each after a configurable delay. Runs on the
// test's event loop.
class LoopbackGameServer {
public:
    enum class Answer { Details, Info, Both, ChallengeThenInfo, Nothing };

    explicit LoopbackGameServer(const char* address = "127.0.0.30", std::uint16_t port = 27015) {
        m_socket.bind(QHostAddress(QString::fromLatin1(address)), port);
        QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] { onReadable(); });
    }
    bool bound() const { return m_socket.state() == QAbstractSocket::BoundState; }

    // The reply bodies (after the four 0xFF bytes).
    static std::string detailsReply(std::string_view name = "Clan War Server",
                                    std::string_view map = "de_dust2", char players = 5,
                                    char slotCount = 12, char os = 'l', char cheat = 1) {
        std::string r = header() + "m";
        r += std::string("127.0.0.30:27015") + '\0';
        r += std::string(name) + '\0' + std::string(map) + '\0' + "cstrike" + '\0' +
             "Counter-Strike" + '\0';
        r += players;
        r += slotCount;
        r += '\x2F';
        r += 'd';
        r += os;
        r += '\0';
        r += '\x01';
        r += std::string("http://www.counter-strike.net") + '\0' + '\0';
        r += std::string(11, '\0');
        r += cheat;
        return r;
    }
    static std::string infoReply(std::string_view name = "Clan War Server",
                                 std::string_view map = "de_dust2", char players = 5,
                                 char slotCount = 12, char os = 'w', char cheat = 1) {
        std::string r = header() + "I";
        r += '\x30';
        r += std::string(name) + '\0' + std::string(map) + '\0' + "cstrike" + '\0' +
             "Counter-Strike" + '\0';
        r += std::string("\x0A\x00", 2);
        r += players;
        r += slotCount;
        r += '\0';
        r += 'd';
        r += os;
        r += '\0';
        r += cheat;
        r += std::string("1.1.2.7/Stdio") + '\0';
        return r;
    }
    static std::string header() { return std::string(4, '\xFF'); }

    Answer answer = Answer::Both;
    int delayMs = 0;
    // Every query received, as bytes.
    std::vector<std::string> queries;

private:
    static constexpr const char* kChallenge = "\x12\x34\x56\x78";

    void onReadable() {
        while (m_socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = m_socket.receiveDatagram();
            const QByteArray data = datagram.data();
            const std::string query(data.constData(), static_cast<std::size_t>(data.size()));
            queries.push_back(query);
            const std::string info = header() + "TSource Engine Query" + std::string(1, '\0');
            std::vector<std::string> replies;
            if (query == header() + "ping" + std::string(1, '\0')) {
                replies.push_back(header() + "j" + std::string(1, '\0'));
            } else if (query == info) {
                switch (answer) {
                    case Answer::Details:
                        replies.push_back(detailsReply());
                        break;
                    case Answer::Info:
                        replies.push_back(infoReply());
                        break;
                    case Answer::Both:
                        replies.push_back(detailsReply());
                        replies.push_back(infoReply());
                        break;
                    case Answer::ChallengeThenInfo:
                        replies.push_back(header() + "A" + kChallenge);
                        break;
                    case Answer::Nothing:
                        break;
                }
            } else if (query == info + kChallenge) {
                replies.push_back(infoReply());
            }
            for (const auto& reply : replies) {
                send(reply, datagram.senderAddress(), static_cast<quint16>(datagram.senderPort()));
            }
        }
    }
    void send(const std::string& reply, const QHostAddress& to, quint16 port) {
        const QByteArray bytes(reply.data(), static_cast<qsizetype>(reply.size()));
        if (delayMs <= 0) {
            m_socket.writeDatagram(bytes, to, port);
            return;
        }
        QTimer::singleShot(delayMs, Qt::PreciseTimer, &m_socket,
                           [this, bytes, to, port] { m_socket.writeDatagram(bytes, to, port); });
    }

    QUdpSocket m_socket;
};

}  // namespace squadlink::test
