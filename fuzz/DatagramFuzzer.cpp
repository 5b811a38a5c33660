// Feeds arbitrary datagrams to one copy of the link on fake services and checks that the
// roster, the banned list and the program's life survive whatever arrives.
//
// Input layout:
//   byte 0  set-up flags
//           bit 0     mode: 0 War Arranger, 1 Fighter
//           bits 1-2  War Arranger: Fighters joined beforehand (0, 1, 3 or 10)
//           bit 3     War Arranger: game info known; Fighter: connected to 192.168.1.2
//           bit 4     War Arranger: 10.6.6.6 banned; Fighter: the acceptance carried game info
//           bit 5     "Feedback messages" checked
//           bit 6     reply time-out running (War Arranger: game info sent beforehand)
//           bit 7     sends to 10.0.0.2 fail with 10065 and to 10.9.9.9 with 10014
//   byte 1  answers of the next eight message boxes, bit set = Yes
//   then    datagrams separated by the two bytes FE FD; each starts with a header byte:
//           bits 0-2  sender (see kSenders)
//           bit 3     scramble the rest as a peer does (else the rest is sent as it stands)
//           bits 4-5  0, 1 arrives at once; 2 arrives at the next "let events run";
//                     3 arrives while the next message box is open
//           bits 6-7  afterwards: 0 nothing; 1 one second passes; 2 thirty seconds pass;
//                     3 a user action chosen by the sender bits

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/TextUtil.h"
#include "link/Codec.h"
#include "link/Roster.h"
#include "support/LinkRig.h"

using namespace squadlink;

namespace {

constexpr std::string_view kSeparator{"\xFE\xFD", 2};
constexpr std::size_t kMaxDatagrams = 64;
constexpr const char* kArranger = "192.168.1.2";
constexpr const char* kBanned = "10.6.6.6";
constexpr std::array<const char*, 8> kSenders = {
    "10.0.0.1",     // first roster member
    "10.0.0.2",     // member with three Fighters or more; sends to it may fail
    "10.0.0.10",    // member only with a full roster
    kArranger,      // the War Arranger the Fighter is connected to
    "10.9.9.9",     // a stranger
    kBanned,        // banned on the War Arranger side
    "172.16.0.1",   // another stranger
    "192.168.1.10"  // this copy's own address
};

[[noreturn]] void fail() {
    __builtin_trap();
}

// Names the broken invariant before stopping, so that a crash report says what went wrong.
void check(bool condition, int line) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken at DatagramFuzzer.cpp:%d\n", line);
        fail();
    }
}
#define CHECK(condition) check((condition), __LINE__)

std::string_view nextSegment(std::string_view& rest) {
    const std::size_t at = rest.find(kSeparator);
    std::string_view segment = rest.substr(0, at);
    rest = at == std::string_view::npos ? std::string_view{} : rest.substr(at + kSeparator.size());
    return segment;
}

bool inRoster(const ListBox& list, std::string_view address) {
    return roster::findByAddress(list, address) >= 0;
}

// What an observer of one copy can see; datagrams that must be dropped leave it unchanged.
struct Snapshot {
    std::vector<ListBox::Entry> roster;
    std::size_t sent = 0;
    std::size_t chatLines = 0;
    std::size_t boxes = 0;
    std::string arrangerAddress;
    std::string labels;
    int reportedPing = 0;
    int bannedNext = 0;
    bool timeoutRunning = false;

    static Snapshot of(const FakeLinkRig& rig) {
        Snapshot s;
        s.roster = rig.ui.lbFighters.entries();
        s.sent = rig.socket.sent.size();
        s.chatLines = rig.chat.lines.size();
        s.boxes = rig.boxes.shown.size();
        s.arrangerAddress = rig.state.sArrangerAddress;
        s.labels = rig.ui.lServer.caption() + '\n' + rig.ui.lPassword.caption() + '\n' +
                   rig.ui.lProtection.caption() + '\n' + rig.ui.lClientPing.caption();
        s.reportedPing = rig.state.nReportedPing;
        s.bannedNext = rig.link->kickBan().bannedNext();
        s.timeoutRunning = rig.ui.tTimeout.running();
        return s;
    }

    bool rosterEquals(const Snapshot& other) const {
        if (roster.size() != other.roster.size()) {
            return false;
        }
        for (std::size_t i = 0; i < roster.size(); ++i) {
            if (roster[i].text != other.roster[i].text ||
                roster[i].itemData != other.roster[i].itemData) {
                return false;
            }
        }
        return true;
    }

    bool equals(const Snapshot& other) const {
        return rosterEquals(other) && sent == other.sent && chatLines == other.chatLines &&
               boxes == other.boxes && arrangerAddress == other.arrangerAddress &&
               labels == other.labels && reportedPing == other.reportedPing &&
               bannedNext == other.bannedNext && timeoutRunning == other.timeoutRunning;
    }
};

class Session {
public:
    Session(std::uint8_t flags, std::uint8_t answers) : m_flags(flags) {
        m_arrangerMode = (flags & 0x01) == 0;
        if (m_arrangerMode) {
            setUpArranger();
        } else {
            setUpFighter();
        }
        if ((flags & 0x80) != 0) {
            m_rig.socket.failingHosts["10.0.0.2"] = err::HostUnreachable;
            m_rig.socket.failingHosts["10.9.9.9"] = err::BadAddress;
        }
        m_rig.socket.sent.clear();
        m_rig.boxes.shown.clear();
        m_rig.boxes.answers.clear();
        for (int bit = 0; bit < 8; ++bit) {
            m_rig.boxes.answers.push_back(((answers >> bit) & 1) != 0 ? mb::Yes : mb::No);
        }
        m_rig.link->flood().resetCount();
        checkInvariants();
    }

    // Returns false once the program has ended.
    bool handle(std::string_view segment) {
        if (segment.empty() || m_datagrams >= kMaxDatagrams) {
            return !m_rig.lifecycle.ended();
        }
        ++m_datagrams;
        const auto header = static_cast<std::uint8_t>(segment[0]);
        const std::string sender = kSenders[header & 0x07];
        const std::string_view body = segment.substr(1);
        const std::string wire = (header & 0x08) != 0 ? codec::scramble(body) : std::string(body);
        switch ((header >> 4) & 0x03) {
            case 2:
                m_rig.pump.queued.push_back([this, wire, sender] { arrive(wire, sender); });
                break;
            case 3:
                if (!m_rig.boxes.whileOpen) {
                    m_rig.boxes.whileOpen = [this, wire, sender] { arrive(wire, sender); };
                    break;
                }
                [[fallthrough]];
            default:
                arriveChecked(wire, sender);
                break;
        }
        if (m_rig.lifecycle.ended()) {
            return false;
        }
        switch ((header >> 6) & 0x03) {
            case 1:
                guarded([this] { m_rig.timers.advance(1000); });
                break;
            case 2:
                guarded([this] { m_rig.timers.advance(30000); });
                break;
            case 3:
                userAction(header & 0x07);
                break;
            default:
                break;
        }
        checkInvariants();
        return !m_rig.lifecycle.ended();
    }

    // Whatever is still waiting arrives now.
    void finish() {
        if (!m_rig.lifecycle.ended()) {
            guarded([this] { m_rig.pump.doEvents(); });
        }
        if (!m_rig.lifecycle.ended() && m_rig.boxes.whileOpen) {
            auto pending = std::move(m_rig.boxes.whileOpen);
            m_rig.boxes.whileOpen = nullptr;
            guarded(pending);
        }
        checkInvariants();
    }

private:
    void setUpArranger() {
        m_rig.startArranger("Boss");
        if ((m_flags & 0x10) != 0) {
            m_rig.join("Rogue", kBanned);
            m_rig.ui.lbFighters.selectNone();
            m_rig.ui.lbFighters.setSelected(0, true);
            m_rig.boxes.answers = {mb::Yes};
            m_rig.link->kickBan().coBan_Click();
        }
        static constexpr std::array<int, 4> kJoined = {0, 1, 3, 10};
        const int joined = kJoined[(m_flags >> 1) & 0x03];
        for (int n = 1; n <= joined; ++n) {
            m_rig.join("F" + std::to_string(n), "10.0.0." + std::to_string(n));
        }
        if ((m_flags & 0x08) != 0) {
            m_rig.setGameInfo("203.0.113.5:27015", "pw", false);
        }
        if ((m_flags & 0x40) != 0) {
            if (m_rig.ui.lbFighters.empty() || (m_flags & 0x08) == 0) {
                m_rig.ui.tTimeout.restart();
            } else {
                m_rig.boxes.answers = {mb::Ok};
                m_rig.link->arranger().coSendInfo_Click();
                m_rig.timers.advance(600);
            }
        }
        m_rig.ui.chFeedback.setValue((m_flags & 0x20) != 0 ? 1 : 0);
    }

    void setUpFighter() {
        m_rig.startFighter("Viper");
        m_rig.ui.tServer.setText(kArranger);
        if ((m_flags & 0x08) != 0) {
            // An acceptance counts only as the answer to a join of this Fighter's own.
            if ((m_flags & 0x10) != 0) {
                m_rig.connectTo(kArranger, codec::build('1', {"203.0.113.5:27015", "v", "pw"}));
            } else {
                m_rig.connectTo(kArranger, codec::build('1'));
            }
            CHECK(m_rig.state.sArrangerAddress == kArranger);
        }
        if ((m_flags & 0x40) != 0) {
            m_rig.ui.tTimeout.restart();
        }
        m_rig.ui.chFeedback.setValue((m_flags & 0x20) != 0 ? 1 : 0);
    }

    void userAction(int which) {
        if (m_arrangerMode) {
            switch (which & 0x03) {
                case 0:
                    m_rig.ui.coSendInfo.click();
                    break;
                case 1:
                    m_rig.ui.coKick.click();
                    break;
                case 2:
                    m_rig.ui.coBan.click();
                    break;
                default:
                    m_rig.ui.mSelectAll.click();
                    break;
            }
        } else {
            switch (which & 0x03) {
                case 0:
                case 1:
                    m_rig.ui.coConnect.click();
                    break;
                default:
                    guarded([this] {
                        if (m_rig.state.sArrangerAddress.size() > 2) {
                            m_rig.link->fighter().SendToArranger(codec::build('7', {"hello"}));
                            m_rig.ui.tTimeout.restart();
                        }
                    });
                    break;
            }
        }
    }

    // Runs something outside the link's own guarded entry points; nothing may escape it but
    // the end of the program.
    template <typename F>
    void guarded(F&& action) {
        try {
            action();
        } catch (const ProgramEnd&) {
            CHECK(m_rig.lifecycle.ended());
        } catch (...) {
            fail();
        }
    }

    void arrive(const std::string& wire, const std::string& sender) {
        guarded([&] { m_rig.socket.deliver(wire, sender); });
    }

    // Delivers one datagram at once and checks what it may change.
    void arriveChecked(const std::string& wire, const std::string& sender) {
        const bool quiet = m_rig.pump.queued.empty() && !m_rig.boxes.whileOpen &&
                           m_rig.link->flood().datagramCount() < 50 && !m_rig.lifecycle.ended();
        const Snapshot before = Snapshot::of(m_rig);
        const bool member = inRoster(m_rig.ui.lbFighters, sender);
        arrive(wire, sender);
        if (!quiet || m_rig.lifecycle.ended()) {
            return;
        }
        const Snapshot after = Snapshot::of(m_rig);
        std::string plain = wire;
        codec::unscramble(plain);
        if (m_arrangerMode) {
            if (codec::isGameServerReply(wire, 'm')) {
                return;
            }
            if (isBanned(sender)) {
                // A banned sender gets "4" and nothing else happens for it. When that answer
                // cannot be sent, the sender's own entry (if it still has one) goes instead.
                if (m_rig.socket.failingHosts.count(sender) != 0) {
                    CHECK(after.sent == before.sent);
                    CHECK(!inRoster(m_rig.ui.lbFighters, sender));
                    CHECK(after.roster.size() + (member ? 1 : 0) == before.roster.size());
                    return;
                }
                CHECK(after.rosterEquals(before));
                CHECK(after.sent == before.sent + 1);
                CHECK(m_rig.sentPlain(-1) == codec::build('4'));
                CHECK(m_rig.socket.sent.back().host == sender);
                CHECK(m_rig.socket.sent.back().port == kFighterPort);
                return;
            }
            const bool join = codec::hasCode(plain, '1', 4, 26);
            if (!join && !member) {
                CHECK(after.equals(before));
            }
        } else {
            if (codec::isGameServerReply(wire, 'j')) {
                return;
            }
            const bool fromAnyone =
                codec::hasCode(plain, '1', 2, 58) || codec::hasCode(plain, 'D', 6, 18);
            const bool entitled = before.arrangerAddress.size() >= 3 &&
                                  equalsIgnoreCase(before.arrangerAddress, sender);
            if (!fromAnyone && !entitled) {
                CHECK(after.equals(before));
            }
        }
    }

    bool isBanned(const std::string& sender) const {
        if (m_rig.link->kickBan().bannedNext() == 0) {
            return false;
        }
        for (const auto& slot : m_rig.link->kickBan().bannedAddresses()) {
            if (slot.size() < 3) {
                break;
            }
            if (equalsIgnoreCase(slot, sender)) {
                return true;
            }
        }
        return false;
    }

    void checkInvariants() {
        if (m_rig.lifecycle.ended()) {
            // The only way a datagram may end the program is the flood limit.
            if (!m_rig.boxes.anyContains("Received data packets rate limit reached")) {
                for (const auto& box : m_rig.boxes.shown) {
                    std::fprintf(stderr, "box: %s\n", box.text.c_str());
                }
                CHECK(false);
            }
            return;
        }
        const auto& list = m_rig.ui.lbFighters;
        CHECK(list.listCount() <= roster::kMaxFighters);
        if (!m_arrangerMode) {
            CHECK(list.empty());
        }
        for (int i = 0; i < list.listCount(); ++i) {
            const std::string& text = list.list(i);
            std::size_t tabs = 0;
            for (const char c : text) {
                tabs += c == '\t' ? 1 : 0;
            }
            CHECK(tabs == 2);
            CHECK(!roster::nick(text).empty());
            const std::string_view address = roster::address(text);
            CHECK(!address.empty());
            for (int j = i + 1; j < list.listCount(); ++j) {
                CHECK(!equalsIgnoreCase(roster::address(list.list(j)), address));
                CHECK(!equalsIgnoreCase(roster::nick(list.list(j)), roster::nick(text)));
            }
        }
        CHECK(m_rig.link->kickBan().bannedNext() >= 0 && m_rig.link->kickBan().bannedNext() <= 20);
        // Every message this copy sends is well formed and goes to the other side's port.
        const std::uint16_t peerPort = m_arrangerMode ? kFighterPort : kArrangerPort;
        for (std::size_t i = m_checkedSends; i < m_rig.socket.sent.size(); ++i) {
            const auto& sent = m_rig.socket.sent[i];
            CHECK(sent.port == peerPort);
            CHECK(!sent.host.empty());
            std::string plain = sent.data;
            codec::unscramble(plain);
            CHECK(plain.size() >= 2 && plain[1] == '\0' && plain.back() == '\0');
        }
        m_checkedSends = m_rig.socket.sent.size();
    }

    FakeLinkRig m_rig;
    std::uint8_t m_flags;
    bool m_arrangerMode = true;
    std::size_t m_datagrams = 0;
    std::size_t m_checkedSends = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    try {
        Session session(data[0], data[1]);
        std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
        while (!rest.empty()) {
            if (!session.handle(nextSegment(rest))) {
                break;
            }
        }
        session.finish();
    } catch (...) {
        fail();
    }
    return 0;
}
