#include "backends/qt/QtHttpClient.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <memory>

#include "backends/qt/Cp1252.h"

namespace squadlink {

QtHttpClient::QtHttpClient(const std::string& userAgent, int timeoutMs)
    : m_userAgent(QByteArray::fromStdString(userAgent)), m_timeoutMs(timeoutMs) {
    QNetworkProxyFactory::setUseSystemConfiguration(true);
}

void QtHttpClient::report(const QUrl& url, const QString& reason) {
    // Nothing the user asked for waits on these requests, so a failure shows no box; one line on
    // standard error lets whoever looks into a missing banner or update check see why. The
    // address and the server's own wording may come from a hostile server: no control
    // character reaches the terminal or the log.
    QByteArray line = url.toEncoded() + ": " + reason.toUtf8();
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f') {
            c = '?';
        }
    }
    std::fprintf(stderr, "squadlink: %s\n", line.constData());
}

std::string QtHttpClient::get(const std::string& url) {
    const QUrl target(Cp1252::toUnicode(url), QUrl::TolerantMode);
    // Only the web: a picture address from the server must not read local files or resources.
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        return {};
    }
    QNetworkRequest request(target);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);

    const std::unique_ptr<QNetworkReply> reply(m_manager.get(request));
    QByteArray body;
    bool timedOut = false;
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        // Drained as it arrives, so that a huge body never piles up in the reply's buffer.
        const qint64 room = static_cast<qint64>(kMaxBody) - body.size();
        body.append(reply->read(room));
        if (body.size() >= static_cast<qint64>(kMaxBody)) {
            reply->abort();
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    deadline.start(m_timeoutMs);

    // The busy pointer needs a window system; tools without one just wait.
    const bool pointer = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (pointer) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    if (!reply->isFinished()) {
        // Ends with the reply, the time-out, or the application quitting (which ends every
        // running event loop).
        loop.exec();
    }
    if (pointer) {
        QGuiApplication::restoreOverrideCursor();
    }
    deadline.stop();
    if (!reply->isFinished()) {
        reply->abort();
        report(target, QStringLiteral("no answer before the program ended the wait"));
        return {};
    }
    if (timedOut) {
        report(target, QStringLiteral("no answer within %1 ms").arg(m_timeoutMs));
        return {};
    }
    // The stop at the size limit is our own and keeps what came.
    const bool cutAtLimit = body.size() >= static_cast<qint64>(kMaxBody);
    const QNetworkReply::NetworkError error = reply->error();
    if (error != QNetworkReply::NoError && !cutAtLimit) {
        report(target, reply->errorString());
        // A transfer that broke off (the connection or a proxy failed) leaves a body cut short
        // that reads like a whole one: "12" cut to "1" is an older release. A server's error
        // page is whole and handed on, for the callers judge what they got.
        if (error < QNetworkReply::ContentAccessDenied) {
            return {};
        }
    }
    if (body.size() < static_cast<qint64>(kMaxBody)) {
        body.append(reply->read(static_cast<qint64>(kMaxBody) - body.size()));
    }
    return body.toStdString();
}

}  // namespace squadlink

// The HTTP module's entry point.
extern "C" __attribute__((visibility("default"))) squadlink::HttpClient*
squadlink_create_http_client(const char* userAgent, int timeoutMs) {
    return new squadlink::QtHttpClient(userAgent, timeoutMs);
}
