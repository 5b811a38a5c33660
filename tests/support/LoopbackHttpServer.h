#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <map>
#include <memory>
#include <string>

namespace squadlink::test {

// A small HTTP/1.0 server on a loopback address, run by the test's own event loop: fixed
// replies by path, paths that accept and never answer, and paths that stream a large body in
// pieces (so the server itself never holds it).
class LoopbackHttpServer {
public:
    struct Reply {
        std::string status = "200 OK";
        std::string body;
        // When set, the body is this many bytes of 'x', sent as the client takes them.
        qint64 streamedBytes = 0;
        bool silent = false;
        // When set, the length announced in the header; the connection closes after the body,
        // so a larger figure makes a transfer that breaks off.
        qint64 announcedBytes = 0;
    };

    explicit LoopbackHttpServer(const char* address = "127.0.0.5") {
        m_server.listen(QHostAddress(QString::fromLatin1(address)), 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
    }
    bool listening() const { return m_server.isListening(); }
    // The base address of the update files, e.g. http://127.0.0.5:41234/Squadlink/.
    std::string base() const {
        return "http://" + m_server.serverAddress().toString().toStdString() + ":" +
               std::to_string(m_server.serverPort()) + "/Squadlink/";
    }
    void serve(const std::string& path, Reply reply) { m_replies[path] = std::move(reply); }
    int requests() const { return m_requests; }
    const std::string& lastUserAgent() const { return m_userAgent; }
    const std::string& lastPath() const { return m_path; }
    qint64 streamedSoFar() const { return m_streamed; }

private:
    void accept() {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            auto request = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                request->append(socket->readAll());
                if (request->contains("\r\n\r\n") && !request->isEmpty()) {
                    answer(socket, *request);
                    request->clear();
                }
            });
        }
    }
    void answer(QTcpSocket* socket, const QByteArray& request) {
        ++m_requests;
        const QList<QByteArray> lines = request.split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        const std::string path = first.value(1).toStdString();
        m_path = path;
        for (const QByteArray& line : lines) {
            if (line.toLower().startsWith("user-agent:")) {
                m_userAgent = line.mid(11).trimmed().toStdString();
            }
        }
        const auto found = m_replies.find(path);
        const Reply reply =
            found == m_replies.end() ? Reply{"404 Not Found", "404 Not Found"} : found->second;
        if (reply.silent) {
            return;
        }
        const qint64 length = reply.announcedBytes > 0  ? reply.announcedBytes
                              : reply.streamedBytes > 0 ? reply.streamedBytes
                                                        : static_cast<qint64>(reply.body.size());
        socket->write(QByteArray::fromStdString("HTTP/1.0 " + reply.status +
                                                "\r\nContent-Type: text/plain\r\nContent-Length: " +
                                                std::to_string(length) + "\r\n\r\n"));
        if (reply.streamedBytes == 0) {
            socket->write(QByteArray::fromStdString(reply.body));
            socket->disconnectFromHost();
            return;
        }
        auto left = std::make_shared<qint64>(reply.streamedBytes);
        auto more = [this, socket, left] {
            constexpr qint64 kPiece = 64 * 1024;
            // Keep only a little queued: the client decides how fast the body goes.
            while (*left > 0 && socket->bytesToWrite() < 4 * kPiece) {
                const qint64 piece = std::min(kPiece, *left);
                socket->write(QByteArray(static_cast<int>(piece), 'x'));
                *left -= piece;
                m_streamed += piece;
            }
            if (*left == 0) {
                socket->disconnectFromHost();
            }
        };
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
    }

    QTcpServer m_server;
    std::map<std::string, Reply> m_replies;
    int m_requests = 0;
    std::string m_userAgent;
    std::string m_path;
    qint64 m_streamed = 0;
};

}  // namespace squadlink::test
