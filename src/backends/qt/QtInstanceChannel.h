#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/InstanceChannel.h"

class QObject;
class QSocketNotifier;
class QTimer;

namespace squadlink {

// The hand-over channel between two copies: a Unix stream socket named from the application
// caption and the user, so that only the same version of the program run by the same user is
// found. Plain sockets watched by the event loop keep Qt's network module off the start path.
//
// On the wire the second copy writes one byte ('U' hand over the link in the settings, 'A'
// come to the front) and the running copy answers 'K' once it has read it.
class QtInstanceChannel : public InstanceChannel {
public:
    explicit QtInstanceChannel(const std::string& appCaption);
    ~QtInstanceChannel() override;
    QtInstanceChannel(const QtInstanceChannel&) = delete;
    QtInstanceChannel& operator=(const QtInstanceChannel&) = delete;

    // A full path in the user's private runtime folder.
    static QString channelName(const std::string& appCaption);
    // $XDG_RUNTIME_DIR when it is private to the user, otherwise a private folder of our own.
    static QString privateFolder();

    bool otherInstanceRunning() override;
    bool send(Request request) override;
    bool listen(std::function<void(Request)> handler) override;
    void stop() override;

private:
    // A peer of the running copy that has not sent its byte yet.
    struct Connection {
        int fd = -1;
        QSocketNotifier* notifier = nullptr;
        std::chrono::steady_clock::time_point opened;
    };

    void closeClient();
    void stopListening();
    void onListenerReady();
    void onConnectionReady(int fd);
    // Reads the peer's byte if it is there; false once the connection is done with.
    bool serve(int fd);
    void closeConnection(int fd);
    void closeIdleConnections();

    QString m_name;
    int m_client = -1;
    int m_listener = -1;
    // Which file at m_name is ours, so that stop() never removes a successor's channel.
    std::uint64_t m_socketDevice = 0;
    std::uint64_t m_socketInode = 0;
    // Owns every notifier and timer of the channel and is the context of the queued handler
    // calls, so that none of them outlives the channel.
    std::unique_ptr<QObject> m_context;
    QSocketNotifier* m_listenNotifier = nullptr;
    QTimer* m_idleTimer = nullptr;
    // Oldest first.
    std::vector<Connection> m_connections;
    // Queued calls hold it weakly: stop() drops it, and a call after that does nothing.
    std::shared_ptr<std::function<void(Request)>> m_handler;
};

}  // namespace squadlink
