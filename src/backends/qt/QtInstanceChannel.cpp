#include "backends/qt/QtInstanceChannel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

namespace squadlink {

namespace {
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kConnectTimeoutMs = 1000;
// The running copy confirms a request as soon as it has read it (it handles it afterwards), so
// a second copy waits only for the channel itself.
constexpr int kHandledTimeoutMs = 5000;
constexpr char kUrlExec = 'U';
constexpr char kActivate = 'A';
constexpr char kHandled = 'K';

// Only processes of this user reach the socket, but any of them may misbehave: the running
// copy keeps a bounded number of silent peers and drops those that stay silent, so that
// neither memory nor descriptors grow with what they do. A second copy connects a moment
// before it sends, well within the limit.
constexpr std::size_t kMaxConnections = 8;
constexpr milliseconds kIdleLimit{5000};
constexpr int kIdleSweepMs = 1000;
constexpr int kBacklog = 16;
// Connections taken from the queue in one turn of the event loop; the rest wait for the next
// turn, so that a flood of them does not keep the loop from everything else.
constexpr int kAcceptsPerTurn = 16;
// Out of descriptors, the queued connection cannot be taken and the listener would report it
// again at once; it rests for this long instead.
constexpr int kListenerRestMs = 100;

// False when the path does not fit (sun_path is a fixed 108 bytes) or cannot be a path.
bool socketAddress(const QString& path, sockaddr_un& address) {
    const QByteArray native = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (native.isEmpty() || native.contains('\0') ||
        static_cast<std::size_t>(native.size()) >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    return true;
}

int streamSocket() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

// A new socket for the channel at `name`, its address filled in; -1 when the name is too long
// for a socket address or no socket can be had.
int channelSocket(const QString& name, sockaddr_un& address) {
    return socketAddress(name, address) ? streamSocket() : -1;
}

// 0 when connected, otherwise the errno.
int connectTo(int fd, const sockaddr_un& address) {
    for (;;) {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            return 0;
        }
        if (errno == EISCONN) {
            return 0;
        }
        if (errno != EINTR) {
            return errno;
        }
    }
}

// Waits until `fd` is ready for `events` or the deadline passes. A hang-up or an error counts
// as ready: the read or write that follows reports it.
bool waitUntilReady(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd waiter{fd, events, 0};
        const int ready = ::poll(&waiter, 1, static_cast<int>(left.count()));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

// The name is taken. A crashed copy leaves its socket file behind, on which nobody answers; a
// copy that started in the same moment does answer, and keeps its channel.
bool removeStaleChannel(const sockaddr_un& address) {
    const int probe = streamSocket();
    if (probe < 0) {
        return false;
    }
    const int error = connectTo(probe, address);
    ::close(probe);
    // EAGAIN: a live listener whose queue is full.
    if (error == 0 || error == EAGAIN) {
        return false;
    }
    return ::unlink(address.sun_path) == 0 || errno == ENOENT;
}
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
    closeClient();
    sockaddr_un address{};
    const int fd = channelSocket(m_name, address);
    if (fd < 0) {
        return false;
    }
    const Clock::time_point deadline = Clock::now() + milliseconds(kConnectTimeoutMs);
    for (;;) {
        const int error = connectTo(fd, address);
        if (error == 0) {
            m_client = fd;
            return true;
        }
        // The running copy's queue is full; it empties it from its event loop.
        if (error != EAGAIN || Clock::now() >= deadline) {
            ::close(fd);
            return false;
        }
        std::this_thread::sleep_for(milliseconds(5));
    }
}

bool QtInstanceChannel::send(Request request) {
    if (m_client < 0) {
        return false;
    }
    const char code = request == Request::UrlExec ? kUrlExec : kActivate;
    const Clock::time_point writeDeadline = Clock::now() + milliseconds(kConnectTimeoutMs);
    bool written = false;
    while (!written) {
        if (::send(m_client, &code, 1, MSG_NOSIGNAL) == 1) {
            written = true;
        } else if (errno == EINTR || ((errno == EAGAIN || errno == EWOULDBLOCK) &&
                                      waitUntilReady(m_client, POLLOUT, writeDeadline))) {
            continue;
        } else {
            closeClient();
            return false;
        }
    }
    const Clock::time_point answerDeadline = Clock::now() + milliseconds(kHandledTimeoutMs);
    char answer = 0;
    for (;;) {
        const ssize_t got = ::recv(m_client, &answer, 1, 0);
        if (got == 1) {
            break;
        }
        if (got < 0 && (errno == EINTR || ((errno == EAGAIN || errno == EWOULDBLOCK) &&
                                           waitUntilReady(m_client, POLLIN, answerDeadline)))) {
            continue;
        }
        closeClient();
        return false;
    }
    closeClient();
    return answer == kHandled;
}

void QtInstanceChannel::closeClient() {
    if (m_client >= 0) {
        ::close(m_client);
        m_client = -1;
    }
}

bool QtInstanceChannel::listen(std::function<void(Request)> handler) {
    stopListening();
    sockaddr_un address{};
    const int fd = channelSocket(m_name, address);
    if (fd < 0) {
        return false;
    }
    const auto bindName = [&] {
        return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    };
    // Nobody answered on the name, so what is left there belongs to a copy that crashed (unless
    // another copy has started since, which keeps it).
    const bool bound =
        bindName() || (errno == EADDRINUSE && removeStaleChannel(address) && bindName());
    if (!bound) {
        ::close(fd);
        return false;
    }
    // The folder keeps other users out already; the socket itself does too, should the
    // folder's mode ever be loosened.
    struct stat info {};
    if (::chmod(address.sun_path, 0600) != 0 || ::lstat(address.sun_path, &info) != 0 ||
        ::listen(fd, kBacklog) != 0) {
        ::unlink(address.sun_path);
        ::close(fd);
        return false;
    }
    m_listener = fd;
    m_socketDevice = static_cast<std::uint64_t>(info.st_dev);
    m_socketInode = static_cast<std::uint64_t>(info.st_ino);
    m_handler = std::make_shared<std::function<void(Request)>>(std::move(handler));
    if (!m_context) {
        m_context = std::make_unique<QObject>();
        m_idleTimer = new QTimer(m_context.get());
        m_idleTimer->setInterval(kIdleSweepMs);
        QObject::connect(m_idleTimer, &QTimer::timeout, m_context.get(),
                         [this] { closeIdleConnections(); });
    }
    m_listenNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, m_context.get());
    QObject::connect(m_listenNotifier, &QSocketNotifier::activated, m_context.get(),
                     [this] { onListenerReady(); });
    return true;
}

void QtInstanceChannel::onListenerReady() {
    for (int taken = 0; taken < kAcceptsPerTurn && m_listener >= 0; ++taken) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            if (error == EINTR || error == ECONNABORTED) {
                continue;
            }
            if (error != EAGAIN && error != EWOULDBLOCK) {
                m_listenNotifier->setEnabled(false);
                QTimer::singleShot(kListenerRestMs, m_context.get(), [this] {
                    if (m_listenNotifier != nullptr) {
                        m_listenNotifier->setEnabled(true);
                    }
                });
            }
            return;
        }
        // A second copy writes right after it connects, so its byte is usually here already
        // and the connection never has to wait (nor be pushed out by newer ones).
        if (!serve(fd)) {
            ::close(fd);
            continue;
        }
        if (m_connections.size() >= kMaxConnections) {
            closeConnection(m_connections.front().fd);
        }
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, m_context.get());
        QObject::connect(notifier, &QSocketNotifier::activated, m_context.get(),
                         [this, fd] { onConnectionReady(fd); });
        m_connections.push_back(Connection{fd, notifier, Clock::now()});
        if (!m_idleTimer->isActive()) {
            m_idleTimer->start();
        }
    }
}

void QtInstanceChannel::onConnectionReady(int fd) {
    if (!serve(fd)) {
        closeConnection(fd);
    }
}

bool QtInstanceChannel::serve(int fd) {
    char code = 0;
    ssize_t got = 0;
    do {
        got = ::recv(fd, &code, 1, 0);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
    if (got == 0 || (code != kUrlExec && code != kActivate)) {
        return false;
    }
    // A full buffer or a peer that has gone changes nothing: the request was made.
    [[maybe_unused]] const ssize_t confirmed =
        ::send(fd, &kHandled, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    // Handled once this notification has returned: the handling may open a message box, and
    // the connection (with this very notifier) may go away while it is open when the second
    // copy ends. A call still queued when the channel stops does nothing.
    const Request request = code == kUrlExec ? Request::UrlExec : Request::Activate;
    QTimer::singleShot(0, m_context.get(), [handler = std::weak_ptr(m_handler), request] {
        // Held for the call, which may stop the channel.
        if (const auto current = handler.lock(); current && *current) {
            (*current)(request);
        }
    });
    return false;
}

void QtInstanceChannel::closeConnection(int fd) {
    const auto found = std::find_if(m_connections.begin(), m_connections.end(),
                                    [fd](const Connection& each) { return each.fd == fd; });
    if (found == m_connections.end()) {
        return;
    }
    // Off the event loop before the number can be reused; deleted later, as this may run
    // inside the notifier's own report.
    found->notifier->setEnabled(false);
    found->notifier->deleteLater();
    ::close(fd);
    m_connections.erase(found);
    if (m_connections.empty()) {
        m_idleTimer->stop();
    }
}

void QtInstanceChannel::closeIdleConnections() {
    const Clock::time_point oldest = Clock::now() - kIdleLimit;
    while (!m_connections.empty() && m_connections.front().opened <= oldest) {
        closeConnection(m_connections.front().fd);
    }
}

void QtInstanceChannel::stopListening() {
    m_handler.reset();
    while (!m_connections.empty()) {
        closeConnection(m_connections.front().fd);
    }
    if (m_listenNotifier != nullptr) {
        m_listenNotifier->setEnabled(false);
        m_listenNotifier->deleteLater();
        m_listenNotifier = nullptr;
    }
    if (m_listener < 0) {
        return;
    }
    // Only our own file: once it was removed, a copy started since may be serving the name.
    sockaddr_un address{};
    struct stat info {};
    if (socketAddress(m_name, address) && ::lstat(address.sun_path, &info) == 0 &&
        S_ISSOCK(info.st_mode) && static_cast<std::uint64_t>(info.st_dev) == m_socketDevice &&
        static_cast<std::uint64_t>(info.st_ino) == m_socketInode) {
        ::unlink(address.sun_path);
    }
    ::close(m_listener);
    m_listener = -1;
}

void QtInstanceChannel::stop() {
    stopListening();
    closeClient();
}

}  // namespace squadlink
