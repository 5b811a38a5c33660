#include "backends/qt/QtInstanceChannel.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QPointer>

namespace squadlink {

namespace {
constexpr int kConnectTimeoutMs = 1000;
// The running copy may show a message box before it has handled a link.
constexpr int kHandledTimeoutMs = 60000;
constexpr char kUrlExec = 'U';
constexpr char kActivate = 'A';
constexpr char kHandled = 'K';
}  // namespace

QtInstanceChannel::QtInstanceChannel(const std::string& appCaption)
    : m_name(channelName(appCaption)) {
}

QtInstanceChannel::~QtInstanceChannel() {
    stop();
}

QString QtInstanceChannel::channelName(const std::string& appCaption) {
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(appCaption), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return QStringLiteral("squadlink-%1-%2")
        .arg(QString::number(getuid()), QString::fromLatin1(digest));
}

bool QtInstanceChannel::otherInstanceRunning() {
    m_client = std::make_unique<QLocalSocket>();
    m_client->connectToServer(m_name);
    if (m_client->waitForConnected(kConnectTimeoutMs)) {
        return true;
    }
    m_client.reset();
    return false;
}

bool QtInstanceChannel::send(Request request) {
    if (!m_client || m_client->state() != QLocalSocket::ConnectedState) {
        return false;
    }
    const char code = request == Request::UrlExec ? kUrlExec : kActivate;
    m_client->write(&code, 1);
    if (!m_client->waitForBytesWritten(kConnectTimeoutMs)) {
        return false;
    }
    while (m_client->bytesAvailable() < 1) {
        if (!m_client->waitForReadyRead(kHandledTimeoutMs)) {
            return false;
        }
    }
    char answer = 0;
    m_client->read(&answer, 1);
    m_client->disconnectFromServer();
    return answer == kHandled;
}

bool QtInstanceChannel::listen(std::function<void(Request)> handler) {
    m_handler = std::move(handler);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Nobody answered on the name, so what is left there belongs to a copy that crashed.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name)) {
            m_server.reset();
            return false;
        }
    }
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(),
                     [this] { onNewConnection(); });
    return true;
}

void QtInstanceChannel::onNewConnection() {
    while (m_server && m_server->hasPendingConnections()) {
        QPointer<QLocalSocket> connection = m_server->nextPendingConnection();
        QObject::connect(connection, &QLocalSocket::disconnected, connection,
                         &QObject::deleteLater);
        QObject::connect(connection, &QLocalSocket::readyRead, connection, [this, connection] {
            if (!connection) {
                return;
            }
            char code = 0;
            if (connection->read(&code, 1) != 1) {
                return;
            }
            if (m_handler && (code == kUrlExec || code == kActivate)) {
                m_handler(code == kUrlExec ? Request::UrlExec : Request::Activate);
            }
            if (connection) {
                connection->write(&kHandled, 1);
                connection->flush();
            }
        });
    }
}

void QtInstanceChannel::stop() {
    if (m_server) {
        m_server->close();
        m_server.reset();
    }
    m_client.reset();
}

}  // namespace squadlink
