#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "platform/InstanceChannel.h"

namespace squadlink {

// The hand-over channel between two copies: a local socket named from the application caption
// and the user, so that only the same version of the program run by the same user is found.
class QtInstanceChannel : public InstanceChannel {
public:
    explicit QtInstanceChannel(const std::string& appCaption);
    ~QtInstanceChannel() override;

    // A full path in the user's private runtime folder.
    static QString channelName(const std::string& appCaption);
    // $XDG_RUNTIME_DIR when it is private to the user, otherwise a private folder of our own.
    static QString privateFolder();

    bool otherInstanceRunning() override;
    bool send(Request request) override;
    bool listen(std::function<void(Request)> handler) override;
    void stop() override;

private:
    void onNewConnection();

    QString m_name;
    std::unique_ptr<QLocalSocket> m_client;
    std::unique_ptr<QLocalServer> m_server;
    std::function<void(Request)> m_handler;
};

}  // namespace squadlink
