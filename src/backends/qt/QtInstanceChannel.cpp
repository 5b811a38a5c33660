#include "backends/qt/QtInstanceChannel.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTimer>

namespace squadlink {

namespace {
constexpr int kConnectTimeoutMs = 1000;
// The running copy confirms a request as soon as it has read it (it handles it afterwards), so
// a second copy waits only for the channel itself.
constexpr int kHandledTimeoutMs = 5000;
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
    const QString name = QStringLiteral("squadlink-%1-%2")
                             .arg(QString::number(getuid()), QString::fromLatin1(digest));
    return privateFolder() + QLatin1Char('/') + name;
}

namespace {
// A folder only this user can enter: anybody who can create the channel first would receive
// every later start's hand-over and make it end.
bool isPrivateFolder(const QString& path) {
    struct stat info {};
    const QByteArray native = QFile::encodeName(path);
    return ::lstat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

QString makePrivateFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    return isPrivateFolder(path) ? path : QString();
}
}  // namespace

QString QtInstanceChannel::privateFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime)) {
        return runtime;
    }
    // Without a runtime folder of the session: one of our own under the temporary folder, or,
    // when somebody else holds that name, one in the home folder.
    const QString temporary = makePrivateFolder(
        QDir::tempPath() + QStringLiteral("/squadlink-runtime-") + QString::number(::getuid()));
    if (!temporary.isEmpty()) {
        return temporary;
    }
    QDir::home().mkpath(QStringLiteral(".cache"));
    const QString home = makePrivateFolder(QDir::homePath() + QStringLiteral("/.cache/squadlink"));
    return home.isEmpty() ? QDir::homePath() : home;
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
            if (code != kUrlExec && code != kActivate) {
                return;
            }
            connection->write(&kHandled, 1);
            connection->flush();
            // Handled once this notification has returned: the handling may open a message
            // box, and the connection (with this very slot) may be deleted while it is open
            // when the second copy ends.
            const Request request = code == kUrlExec ? Request::UrlExec : Request::Activate;
            QTimer::singleShot(0, m_server.get(), [this, request] {
                if (m_handler) {
                    m_handler(request);
                }
            });
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
