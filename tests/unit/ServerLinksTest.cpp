#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/ServerLinks.h"
#include "support/FakeServices.h"
#include "support/FakeSocket.h"

namespace squadlink {
namespace {

struct AddressCase {
    const char* address;
    bool valid;
};

class LinkAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(LinkAddressTest, AddressRule) {
    EXPECT_EQ(ServerLinks::IsValidLinkAddress(GetParam().address), GetParam().valid)
        << GetParam().address;
}

INSTANTIATE_TEST_SUITE_P(Addresses, LinkAddressTest,
                         ::testing::Values(AddressCase{"a..b", false}, AddressCase{"-abc", false},
                                           AddressCase{"abc.", false}, AddressCase{"a/.b", false},
                                           AddressCase{"ab", false}, AddressCase{"", false},
                                           AddressCase{"a-b.c", true}, AddressCase{"abc", true},
                                           AddressCase{"1.2.3.4:27220", true},
                                           AddressCase{"war.example.org", true},
                                           AddressCase{".abc", false}, AddressCase{"/abc", false},
                                           AddressCase{"abc-", false}, AddressCase{"abc/", false},
                                           AddressCase{"a//b", false}, AddressCase{"a--b", false},
                                           AddressCase{"a/-b", false}, AddressCase{"a-/b", false},
                                           AddressCase{"a./b", false}, AddressCase{"a-.b", false},
                                           AddressCase{"a.-b", false}, AddressCase{"a/b", true}));

struct ArgumentCase {
    const char* argument;
    LinkArgument::Kind kind;
    const char* address;
};

class LinkArgumentTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(LinkArgumentTest, CommandLine) {
    const LinkArgument result = ServerLinks::ParseLinkArgument(GetParam().argument);
    EXPECT_EQ(result.kind, GetParam().kind) << GetParam().argument;
    EXPECT_EQ(result.address, GetParam().address) << GetParam().argument;
}

using Kind = LinkArgument::Kind;

INSTANTIATE_TEST_SUITE_P(
    Arguments, LinkArgumentTest,
    ::testing::Values(ArgumentCase{"", Kind::Empty, ""},
                      ArgumentCase{"\"sqd://1.2.3.4:27220/\"", Kind::Address, "1.2.3.4:27220"},
                      ArgumentCase{"\"SQD://1.2.3.4:27220/\"", Kind::Address, "1.2.3.4:27220"},
                      ArgumentCase{"\"Sqd://war.example.org/\"", Kind::Address, "war.example.org"},
                      // Desktops on Linux pass the link without the quotes.
                      ArgumentCase{"sqd://1.2.3.4/", Kind::Address, "1.2.3.4"},
                      ArgumentCase{"SQD://1.2.3.4:27220/", Kind::Address, "1.2.3.4:27220"},
                      // Eleven characters is too short to be a link.
                      ArgumentCase{"\"sqd://ab/\"", Kind::Invalid, ""},
                      ArgumentCase{"sqd://ab/", Kind::Invalid, ""},
                      ArgumentCase{"\"sqd://abc/\"", Kind::Address, "abc"},
                      // Well-formed links whose address breaks the rule.
                      ArgumentCase{"\"sqd://a..b/\"", Kind::Invalid, ""},
                      ArgumentCase{"sqd://-abc/", Kind::Invalid, ""},
                      ArgumentCase{"\"sqd://abc./\"", Kind::Invalid, ""},
                      ArgumentCase{"\"sqd://abc//\"", Kind::Invalid, ""},
                      // Not links at all.
                      ArgumentCase{"\"sqd://1.2.3.4\"", Kind::Invalid, ""},
                      ArgumentCase{"sqd://1.2.3.4", Kind::Invalid, ""},
                      ArgumentCase{"\"http://1.2.3.4/\"", Kind::Invalid, ""},
                      ArgumentCase{"\"sqd:/1.2.3.4/\"", Kind::Invalid, ""},
                      ArgumentCase{"\"sqd://1.2.3.4/", Kind::Invalid, ""},
                      ArgumentCase{"sqd://1.2.3.4/\"", Kind::Invalid, ""},
                      ArgumentCase{"--help", Kind::Invalid, ""},
                      ArgumentCase{"1.2.3.4", Kind::Invalid, ""},
                      ArgumentCase{"\"\"", Kind::Invalid, ""}));

TEST(LinkCommandLineTest, QuotedFormOnly) {
    EXPECT_TRUE(ServerLinks::isLinkCommandLine("\"sqd://abc/\""));
    EXPECT_FALSE(ServerLinks::isLinkCommandLine("sqd://abc/"));
    EXPECT_FALSE(ServerLinks::isLinkCommandLine("\"sqd://ab/\""));
    // The pattern's "*" also takes slashes and quotes; the address rule then refuses them.
    EXPECT_TRUE(ServerLinks::isLinkCommandLine("\"sqd://a/b\"c/\""));
}

TEST(LinkCommandLineTest, MoreThanOneArgumentIsInvalid) {
    EXPECT_EQ(ServerLinks::ParseLinkArguments({}).kind, Kind::Empty);
    const auto one = ServerLinks::ParseLinkArguments({"sqd://1.2.3.4/"});
    EXPECT_EQ(one.kind, Kind::Address);
    EXPECT_EQ(one.address, "1.2.3.4");
    EXPECT_EQ(ServerLinks::ParseLinkArguments({"sqd://1.2.3.4/", "x"}).kind, Kind::Invalid);
}

TEST(LinkCommandLineTest, MadeLinksParseBack) {
    const std::string link = ServerLinks::makeLink("1.2.3.4:27220");
    EXPECT_EQ(link, "sqd://1.2.3.4:27220/");
    EXPECT_EQ(ServerLinks::ParseLinkArgument(link).address, "1.2.3.4:27220");
}

class FakeRegistry : public UrlSchemeRegistry {
public:
    std::string currentCommand() const override {
        ++queries;
        return current;
    }
    void registerHandler(const std::string& executablePath) override {
        registered.push_back(executablePath);
        current = executablePath;
    }
    bool unregisterHandler() override {
        current.clear();
        return true;
    }
    std::string current;
    mutable int queries = 0;
    std::vector<std::string> registered;
};

class ReceivedLinkTest : public ::testing::Test {
protected:
    ReceivedLinkTest() {
        form.sAppCaption = "Squadlink v1.1.0";
        model.oClient.setValue(true);
        model.chSound.setValue(1);
        model.chAutoConnect.setValue(1);
        windows.front = ForegroundWindow::Other;
    }

    void handOver(const std::string& address) {
        backend.values[key::Temp] = address;
        links.ReceivedURLEXEC();
    }

    WindowModel model;
    FormState form;
    FakeSettings backend;
    SettingsStore settings{backend};
    FakeMessageBox box;
    Messages messages{box, form.sAppCaption};
    FakeWindowSystem windows;
    FakePump pump;
    FakeSound sound;
    FakeSocket socket;
    FakeRegistry registry;
    int connects = 0;
    ServerLinks links{{model, form, settings, messages, windows, pump, sound, socket, registry},
                      [this] { ++connects; }};
};

TEST_F(ReceivedLinkTest, TakesTheAddressAndConnects) {
    std::string addressAtConnect;
    ServerLinks watched{{model, form, settings, messages, windows, pump, sound, socket, registry},
                        [&] {
                            ++connects;
                            addressAtConnect = model.tServer.text();
                        }};
    backend.values[key::Temp] = "1.2.3.4:27220";
    watched.ReceivedURLEXEC();

    EXPECT_EQ(backend.values.count(key::Temp), 0u);
    EXPECT_EQ(model.tServer.text(), "1.2.3.4:27220");
    EXPECT_EQ(model.Tabek.selectedTab(), tab::Fighter);
    EXPECT_EQ(windows.restores, 1);
    EXPECT_EQ(pump.calls, 1);
    ASSERT_EQ(sound.played.size(), 1u);
    EXPECT_EQ(sound.played[0], std::make_pair(101, true));
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(addressAtConnect, "1.2.3.4:27220");
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ReceivedLinkTest, SoundAndConnectFollowTheirBoxes) {
    model.chSound.setValue(0);
    model.chAutoConnect.setValue(0);
    handOver("war.example.org");
    EXPECT_EQ(model.tServer.text(), "war.example.org");
    EXPECT_TRUE(sound.played.empty());
    EXPECT_EQ(connects, 0);
}

TEST_F(ReceivedLinkTest, WindowComesForwardUnlessAlreadyThereOrTheGameIs) {
    const std::pair<ForegroundWindow, int> cases[] = {{ForegroundWindow::None, 1},
                                                      {ForegroundWindow::Other, 1},
                                                      {ForegroundWindow::MainWindow, 0},
                                                      {ForegroundWindow::Game, 0}};
    for (const auto& [front, restores] : cases) {
        windows.front = front;
        windows.restores = 0;
        model.tServer.setText("");
        handOver("5.6.7.8");
        EXPECT_EQ(windows.restores, restores);
        EXPECT_EQ(model.tServer.text(), "5.6.7.8");
    }
    // The game in front still hears the link arrive.
    EXPECT_EQ(sound.played.size(), 4u);
}

TEST_F(ReceivedLinkTest, ShortOrMissingAddressIsIgnored) {
    handOver("ab");
    links.ReceivedURLEXEC();  // "Temp" already gone
    EXPECT_EQ(backend.values.count(key::Temp), 0u);
    EXPECT_EQ(model.tServer.text(), "");
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(connects, 0);
}

struct RefusalCase {
    const char* address;
    bool arranger;
    const char* connectedTo;
    const char* message;
};

class ReceivedLinkRefusalTest : public ReceivedLinkTest,
                                public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ReceivedLinkRefusalTest, RefusesWithAWarning) {
    const RefusalCase c = GetParam();
    if (c.arranger) {
        model.oServer.setValue(true);
    }
    form.sArrangerAddress = c.connectedTo;
    model.tServer.setText("9.9.9.9");
    model.Tabek.setSelectedTab(tab::Chat);

    handOver(c.address);

    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, std::string(c.message) + "   ");
    EXPECT_EQ(box.shown[0].caption, "Squadlink v1.1.0 - Warning");
    EXPECT_EQ(box.shown[0].flags, mb::Warning);
    EXPECT_EQ(model.tServer.text(), "9.9.9.9");
    EXPECT_EQ(model.Tabek.selectedTab(), tab::Chat);
    EXPECT_EQ(backend.values.count(key::Temp), 0u);
    EXPECT_TRUE(sound.played.empty());
    EXPECT_EQ(connects, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, ReceivedLinkRefusalTest,
    ::testing::Values(RefusalCase{"1.2.3.4", true, "",
                                  "Connecting not possible if running in server mode"},
                      RefusalCase{"127.0.0.1", false, "", "Connecting to yourself not possible"},
                      RefusalCase{"LocalHost", false, "", "Connecting to yourself not possible"},
                      RefusalCase{"192.168.1.10", false, "", "Connecting to yourself not possible"},
                      RefusalCase{"ARRANGER-PC", false, "", "Connecting to yourself not possible"},
                      RefusalCase{"War.Example.org", false, "war.example.org",
                                  "Already connected to specified War Arranger"}));

TEST_F(ReceivedLinkTest, RegistersOnlyWhenPointingElsewhere) {
    links.RegisterUrlProtocol("/opt/squadlink/bin/squadlink");
    ASSERT_EQ(registry.registered.size(), 1u);
    EXPECT_EQ(registry.registered[0], "/opt/squadlink/bin/squadlink");

    links.RegisterUrlProtocol("/opt/squadlink/bin/squadlink");
    EXPECT_EQ(registry.registered.size(), 1u);

    // Moved to another folder: registered again on the next start.
    links.RegisterUrlProtocol("/home/me/games/squadlink");
    ASSERT_EQ(registry.registered.size(), 2u);
    EXPECT_EQ(registry.current, "/home/me/games/squadlink");

    // Paths differing only in letter case are different programs here.
    links.RegisterUrlProtocol("/home/me/Games/squadlink");
    EXPECT_EQ(registry.registered.size(), 3u);
}

TEST_F(ReceivedLinkTest, NoExecutablePathRegistersNothing) {
    links.RegisterUrlProtocol("");
    EXPECT_TRUE(registry.registered.empty());
}

}  // namespace
}  // namespace squadlink
