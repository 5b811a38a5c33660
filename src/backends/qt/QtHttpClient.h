#pragma once

#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>
#include <string>

#include "platform/HttpClient.h"

namespace squadlink {

// HTTP through Qt Network and the system's proxy settings. While a request runs, a local event
// loop keeps the program responsive and shows the busy pointer; a reply that takes longer than
// the time-out counts as no reply.
class QtHttpClient : public HttpClient {
public:
    QtHttpClient(const std::string& userAgent, int timeoutMs);
    std::string get(const std::string& url) override;

private:
    static void report(const QUrl& url, const QString& reason);

    QNetworkAccessManager m_manager;
    QByteArray m_userAgent;
    int m_timeoutMs;
};

}  // namespace squadlink
