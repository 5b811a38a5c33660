#include <gtest/gtest.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTimer>
#include <QUdpSocket>
#include <cstdio>
#include <functional>
#include <string>

#include "backends/linux/LinuxUdpSocket.h"
#include "backends/qt/QtHttpClient.h"
#include "support/LoopbackHttpServer.h"
#include "support/UpdateRig.h"

using namespace squadlink;
using squadlink::test::LoopbackHttpServer;
using squadlink::test::UpdateRig;

namespace {

constexpr int kShortTimeoutMs = 800;

class RecordingEvents : public UdpSocketEvents {
public:
    void onDataArrival(const Datagram& datagram) override { arrived.push_back(datagram.data); }
    void onSocketError(int, const std::string&) override {}
    std::vector<std::string> arrived;
};

class HttpClient_ : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.listening()); }
    std::string file(const std::string& name) { return server.base() + name; }

    LoopbackHttpServer server;
    QtHttpClient client{"Squadlink v1.1.0", kShortTimeoutMs};
};

TEST_F(HttpClient_, UpdateCheckAgainstARealServer) {
    UpdateRig rig(&client, server.base());
    server.serve("/Squadlink/update.txt", {"200 OK", "www.squadlink.org/Squadlink\n12"});
    EXPECT_TRUE(rig.updates.CheckForUpdate(true));
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, "This is the latest version of Squadlink   ");
    EXPECT_EQ(server.lastUserAgent(), "Squadlink v1.1.0");

    server.serve("/Squadlink/update.txt", {"200 OK", "mirror.example.net/sl\n13\n"});
    rig.boxes.answers = {mb::Yes};
    rig.guard.run([&] { rig.updates.CheckForUpdate(false); });
    ASSERT_EQ(rig.boxes.shown.size(), 2u);
    EXPECT_EQ(rig.boxes.shown[1].flags, mb::YesNoInformation);
    EXPECT_EQ(rig.desktop.urls, (std::vector<std::string>{"http://mirror.example.net/sl"}));
    EXPECT_EQ(rig.lifecycle.unloads, 1);
}

TEST_F(HttpClient_, ShortAndErrorRepliesEndTheCheckSilently) {
    UpdateRig rig(&client, server.base());
    const LoopbackHttpServer::Reply replies[] = {
        {"200 OK", "ab\n1"}, {"200 OK", ""}, {"404 Not Found", "<h1>404 Not Found</h1>\n13"}};
    for (const auto& reply : replies) {
        server.serve("/Squadlink/update.txt", reply);
        EXPECT_FALSE(rig.updates.CheckForUpdate(true));
    }
    server.serve("/Squadlink/update.txt", {"200 OK", "x"});
    EXPECT_EQ(client.get(file("nothing-here.txt")), "404 Not Found");
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_GE(server.requests(), 4);
}

TEST_F(HttpClient_, StatusIsNotLookedAt) {
    server.serve("/Squadlink/update.txt", {"500 Internal Server Error", "a.b/c\n14"});
    EXPECT_EQ(client.get(file("update.txt")), "a.b/c\n14");
}

TEST_F(HttpClient_, TransferThatBreaksOffGivesNoReply) {
    // "12" cut to "1" would read as an older release: "latest version" said wrongly.
    UpdateRig rig(&client, server.base());
    server.serve("/Squadlink/update.txt",
                 {"200 OK", "www.squadlink.org/Squadlink\n1", 0, false, 40});
    EXPECT_EQ(client.get(file("update.txt")), "");
    EXPECT_FALSE(rig.updates.CheckForUpdate(true));
    EXPECT_TRUE(rig.boxes.shown.empty());

    // The same body, announced with its true length, is taken.
    server.serve("/Squadlink/update.txt", {"200 OK", "www.squadlink.org/Squadlink\n1"});
    EXPECT_EQ(client.get(file("update.txt")), "www.squadlink.org/Squadlink\n1");
}

// What the client writes on standard error while `work` runs.
std::string standardErrorOf(const std::function<void()>& work) {
    std::fflush(stderr);
    FILE* capture = std::tmpfile();
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(::fileno(capture), STDERR_FILENO);
    work();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    std::string text;
    std::rewind(capture);
    for (int c = std::fgetc(capture); c != EOF; c = std::fgetc(capture)) {
        text.push_back(static_cast<char>(c));
    }
    std::fclose(capture);
    return text;
}

TEST_F(HttpClient_, FailuresAreToldOnOneLineWithoutTheServersControlCharacters) {
    // A hostile server's wording must not reach the terminal as escape sequences.
    server.serve("/Squadlink/update.txt", {"404 Not\x1b[2J\x07Here", "x"});
    const std::string told = standardErrorOf([&] { client.get(file("update.txt")); });
    EXPECT_NE(told.find("update.txt"), std::string::npos) << told;
    EXPECT_NE(told.find("Not?[2J?Here"), std::string::npos) << told;
    EXPECT_EQ(told.find_first_of("\x1b\x07"), std::string::npos);
    EXPECT_EQ(told.find('\n'), told.size() - 1);

    // Success says nothing.
    server.serve("/Squadlink/update.txt", {"200 OK", "a.b/c\n14"});
    EXPECT_EQ(standardErrorOf([&] { client.get(file("update.txt")); }), "");
}

TEST_F(HttpClient_, SilentServerTimesOutWhileDatagramsAreServed) {
    server.serve("/Squadlink/update.txt", {"200 OK", "", 0, true});
    RecordingEvents events;
    LinuxUdpSocket receiver("127.0.0.11");
    receiver.setEvents(&events);
    receiver.bind(27221);
    QUdpSocket sender;
    std::size_t arrivedBeforeReturn = 0;
    QTimer::singleShot(100, [&] {
        sender.writeDatagram("hello", QHostAddress(QStringLiteral("127.0.0.11")), 27221);
    });
    QTimer::singleShot(kShortTimeoutMs / 2, [&] { arrivedBeforeReturn = events.arrived.size(); });
    QElapsedTimer clock;
    clock.start();
    const std::string body = client.get(file("update.txt"));
    const qint64 waited = clock.elapsed();
    EXPECT_EQ(body, "");
    EXPECT_GE(waited, kShortTimeoutMs - 50);
    EXPECT_LT(waited, kShortTimeoutMs + 5000);
    EXPECT_EQ(arrivedBeforeReturn, 1u);
    EXPECT_EQ(events.arrived, (std::vector<std::string>{"hello"}));
}

TEST_F(HttpClient_, HugeBodyIsCutOffAtTheLimit) {
    constexpr qint64 kFiftyMegabytes = 50LL * 1024 * 1024;
    server.serve("/Squadlink/banner.txt", {"200 OK", "", kFiftyMegabytes, false});
    QtHttpClient patient("Squadlink v1.1.0", 30000);
    std::string body;
    // The stop at the limit is the program's own, not a failure to tell of.
    EXPECT_EQ(standardErrorOf([&] { body = patient.get(file("banner.txt")); }), "");
    EXPECT_EQ(body.size(), HttpClient::kMaxBody);
    EXPECT_EQ(body.find_first_not_of('x'), std::string::npos);
    // The rest was never fetched: the client stopped reading and hung up.
    EXPECT_LT(server.streamedSoFar(), kFiftyMegabytes / 2);
}

TEST_F(HttpClient_, UnreachableOrForeignAddressesGiveNoReply) {
    EXPECT_EQ(client.get("http://127.0.0.5:1/Squadlink/update.txt"), "");
    EXPECT_EQ(client.get("file:///etc/hostname"), "");
    EXPECT_EQ(client.get("qrc:/icons/squadlink-16.png"), "");
    EXPECT_EQ(client.get("not a url at all"), "");
}

TEST_F(HttpClient_, BannerRotatesOnPicturesFromTheServer) {
    UpdateRig rig(&client, server.base());
    const std::string picture = "GIF89a" + std::string(100, '\x01');
    server.serve("/Squadlink/banner.txt",
                 {"200 OK", "1\n" + file("a.gif") + "\nhttp://news.test/a.html\n"});
    server.serve("/Squadlink/a.gif", {"200 OK", picture});
    server.serve("/Squadlink/test.txt", {"200 OK", "ok"});
    rig.banner.StartBanner();
    rig.timers.advance(Banner::kRotationMs);
    EXPECT_EQ(rig.ui.wb.picture(), picture);
    rig.ui.wb.click();
    EXPECT_EQ(rig.desktop.urls, (std::vector<std::string>{"http://news.test/a.html"}));
}

}  // namespace
