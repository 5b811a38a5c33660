#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <functional>
#include <memory>
#include <vector>

#include "backends/linux/LinuxUdpSocket.h"
#include "backends/qt/QtEventPump.h"
#include "link/Codec.h"
#include "link/Link.h"
#include "link/Roster.h"
#include "support/LinkRig.h"
#include "support/WaitFor.h"

using namespace squadlink;
using squadlink::test::waitFor;
using namespace std::string_literals;

namespace {

// Sits between the real socket and the link and keeps every arrival unscrambled, so a test
// can see answers the link itself ignores.
class Tap : public UdpSocketEvents {
public:
    explicit Tap(UdpSocketEvents& next) : m_next(next) {}
    void onDataArrival(const Datagram& datagram) override {
        std::string plain = datagram.data;
        codec::unscramble(plain);
        received.push_back(plain);
        m_next.onDataArrival(datagram);
    }
    void onSocketError(int number, const std::string& description) override {
        errors.push_back(number);
        m_next.onSocketError(number, description);
    }
    bool got(const std::string& plain) const {
        return std::find(received.begin(), received.end(), plain) != received.end();
    }
    std::vector<std::string> received;
    std::vector<int> errors;

private:
    UdpSocketEvents& m_next;
};

// One copy of the program's link on a real UDP socket bound to its own loopback address;
// time, dialogs and the chat view are fakes.
struct Copy : LinkRig<LinuxUdpSocket, QtEventPump> {
    explicit Copy(const std::string& address) : LinkRig(address) {
        tap = std::make_unique<Tap>(*link);
        socket.setEvents(tap.get());
    }
    void startFighter(const std::string& nick) { LinkRig::startFighter(nick, false); }
    void connectTo(const std::string& address) {
        timers.advance(600);  // past the action lock
        ui.tServer.setText(address);
        ui.coConnect.click();
    }
    // A new tick of t1sec: the datagram counter starts again.
    void nextSecond() { timers.advance(1000); }

    std::unique_ptr<Tap> tap;
};

void settle() {
    waitFor([] { return false; }, 150);
}

constexpr const char* kArranger = "127.0.0.2";

std::string fighterAddress(int n) {
    return "127.0.0." + std::to_string(10 + n);
}

TEST(LoopbackLink, ArrangerAndTenFightersCarryOutEveryExchange) {
    Copy wa(kArranger);
    wa.startArranger("Boss");
    ASSERT_EQ(wa.socket.localIp(), kArranger);
    std::vector<std::unique_ptr<Copy>> fighters;
    for (int n = 1; n <= 10; ++n) {
        fighters.push_back(std::make_unique<Copy>(fighterAddress(n)));
        fighters.back()->startFighter("F" + std::to_string(n));
    }
    auto& roster = wa.ui.lbFighters;

    // All ten join.
    for (auto& fighter : fighters) {
        fighter->connectTo(kArranger);
    }
    ASSERT_TRUE(waitFor([&] {
        for (auto& fighter : fighters) {
            if (fighter->state.sArrangerAddress != kArranger) {
                return false;
            }
        }
        return roster.listCount() == 10;
    }));
    EXPECT_EQ(roster.list(0), "F1\t127.0.0.11\t???? ms");
    EXPECT_TRUE(wa.chat.has("[event] F10 (IP: 127.0.0.20) connected"));
    EXPECT_TRUE(fighters[0]->chat.has("[event] Successfully connected to War Arranger"));

    // An eleventh is refused with "6".
    Copy eleventh(fighterAddress(11));
    eleventh.startFighter("F11");
    eleventh.connectTo(kArranger);
    ASSERT_TRUE(waitFor([&] { return eleventh.tap->got("6\0"s); }));
    EXPECT_EQ(roster.listCount(), 10);
    wa.nextSecond();

    // Send reaches all and the acknowledgements land.
    wa.ui.tGame.setText("127.0.0.99:27015");
    wa.ui.tPassword.setText("pw");
    wa.ui.lGameName.setCaption("Clan War");
    wa.ui.lGameSecure.setCaption("Valve Anti-Cheat (VAC)");
    wa.ui.coSendInfo.click();
    ASSERT_TRUE(waitFor([&] {
        for (int i = 0; i < roster.listCount(); ++i) {
            if (roster.itemData(i) != 1) {
                return false;
            }
        }
        return true;
    }));
    for (auto& fighter : fighters) {
        EXPECT_EQ(fighter->ui.lServer.caption(), "127.0.0.99:27015");
        EXPECT_EQ(fighter->ui.lProtection.caption(), "Valve Anti-Cheat (VAC)");
        EXPECT_EQ(fighter->ui.lPassword.caption(), "pw");
    }
    wa.nextSecond();

    // A Fighter's chat line reaches the other nine and not the sender.
    fighters[0]->link->fighter().SendToArranger(codec::build('7', {"hello clan"}));
    ASSERT_TRUE(waitFor([&] {
        for (std::size_t i = 1; i < fighters.size(); ++i) {
            if (!fighters[i]->chat.has("[received normal] F1|hello clan|")) {
                return false;
            }
        }
        return true;
    }));
    EXPECT_TRUE(wa.chat.has("[normal] F1: hello clan"));
    ASSERT_TRUE(waitFor([&] { return fighters[0]->tap->got("E\0"s); }));
    settle();
    EXPECT_FALSE(fighters[0]->tap->got("B\0F1\0hello clan\0"s));
    wa.nextSecond();

    // The who list counts eleven.
    fighters[1]->link->fighter().SendToArranger(codec::build('5'));
    ASSERT_TRUE(waitFor([&] {
        for (const auto& line : fighters[1]->chat.lines) {
            if (line.rfind("[who] 11|F1|127.0.0.11|", 0) == 0 &&
                line.find("Boss|127.0.0.2|") != std::string::npos) {
                return true;
            }
        }
        return false;
    }));

    // A ping report fills the roster's ping column.
    fighters[2]->link->fighter().SendToArranger(codec::build('2', {"45", "127.0.0.99:27015"}));
    ASSERT_TRUE(waitFor([&] { return roster.list(2) == "F3\t127.0.0.13\t    45 ms"; }));
    ASSERT_TRUE(waitFor([&] {
        return fighters[2]->boxes.anyContains("Your game ping was reported to War Arranger");
    }));
    wa.nextSecond();

    // A leave.
    fighters[3]->link->fighter().LeaveArranger();
    ASSERT_TRUE(waitFor([&] { return roster.listCount() == 9; }));
    EXPECT_TRUE(wa.chat.has("[event] F4 (IP: 127.0.0.14) left the server"));

    // A kick.
    roster.selectNone();
    roster.setSelected(roster::findByAddress(roster, fighterAddress(5)), true);
    wa.boxes.answers = {mb::Yes};
    wa.ui.coKick.click();
    ASSERT_TRUE(waitFor([&] { return fighters[4]->state.sArrangerAddress.empty(); }));
    EXPECT_TRUE(fighters[4]->chat.has("[event] You were kicked or banned"));
    EXPECT_EQ(roster.listCount(), 8);
    wa.nextSecond();

    // A ban, after which the banned address's join is answered with "4".
    roster.selectNone();
    roster.setSelected(roster::findByAddress(roster, fighterAddress(6)), true);
    wa.boxes.answers = {mb::Yes};
    wa.ui.coBan.click();
    ASSERT_TRUE(waitFor([&] { return fighters[5]->state.sArrangerAddress.empty(); }));
    EXPECT_EQ(roster.listCount(), 7);
    fighters[5]->tap->received.clear();
    fighters[5]->connectTo(kArranger);
    ASSERT_TRUE(waitFor([&] { return fighters[5]->tap->got("4\0"s); }));
    settle();
    EXPECT_EQ(roster.listCount(), 7);
    EXPECT_EQ(roster::findByAddress(roster, fighterAddress(6)), -1);
    EXPECT_FALSE(wa.lifecycle.ended());

    // The 51st datagram within one tick triggers the flood path.
    wa.nextSecond();
    Copy flooder("127.0.0.40");
    flooder.socket.bind(27221);
    flooder.socket.setRemoteHost(kArranger);
    flooder.socket.setRemotePort(27220);
    for (int i = 0; i < 51; ++i) {
        flooder.socket.sendData("x");
    }
    ASSERT_TRUE(waitFor([&] { return wa.lifecycle.ended(); }));
    EXPECT_TRUE(wa.boxes.anyContains("Received data packets rate limit reached"));
}

TEST(LoopbackLink, ConnectingWhereNothingListensTakesTheResetPath) {
    Copy fighter(fighterAddress(1));
    fighter.startFighter("Viper");
    fighter.connectTo("127.0.0.3");
    ASSERT_TRUE(waitFor([&] { return fighter.boxes.anyContains("Connection reset occured"); }));
    EXPECT_EQ(fighter.tap->errors, std::vector<int>{10054});
    EXPECT_EQ(fighter.ui.lUserIP.caption(), "IP: 127.0.0.11");
    EXPECT_FALSE(fighter.lifecycle.ended());
    // The socket was bound again and still works.
    Copy arranger("127.0.0.3");
    arranger.startArranger("Boss");
    fighter.connectTo("127.0.0.3");
    ASSERT_TRUE(waitFor([&] { return fighter.state.sArrangerAddress == "127.0.0.3"; }));
}

}  // namespace
