#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/FormState.h"
#include "core/Messages.h"
#include "core/SettingsStore.h"
#include "core/model/WindowModel.h"
#include "platform/EventPump.h"
#include "platform/SoundPlayer.h"
#include "platform/UdpSocket.h"
#include "platform/UrlSchemeRegistry.h"
#include "platform/WindowSystem.h"

namespace squadlink {

inline constexpr std::string_view kLinkScheme = "sqd";

// What the command line asks for at start.
struct LinkArgument {
    enum class Kind {
        Empty,    // no argument: a normal start
        Address,  // a valid server link, reduced to its address
        Invalid,  // anything else: the program ends without a word
    };
    Kind kind = Kind::Empty;
    std::string address;
};

// Server links ("sqd://" address "/"): checking them, taking them from the command line,
// acting on one handed over by a second copy, and keeping the program registered as their
// handler.
class ServerLinks {
public:
    struct Services {
        WindowModel& model;
        FormState& form;
        SettingsStore& settings;
        Messages& messages;
        WindowSystem& windows;
        EventPump& pump;
        SoundPlayer& sound;
        UdpSocket& socket;
        UrlSchemeRegistry& registry;
    };

    // `connect` is the Connect button's action; it takes the address from tServer.
    ServerLinks(Services services, std::function<void()> connect)
        : m_s(services), m_connect(std::move(connect)) {}

    static bool IsValidLinkAddress(std::string_view address);
    // The quoted form the registered command passes: a double quote, "sqd://", at least three
    // characters, "/" and a double quote; the scheme in any letter case.
    static bool isLinkCommandLine(std::string_view commandLine);
    // Accepts the quoted form and the same link without the quotes, which is how Linux
    // desktops pass it.
    static LinkArgument ParseLinkArgument(std::string_view argument);
    // The program's arguments without the program name.
    static LinkArgument ParseLinkArguments(const std::vector<std::string>& arguments);
    // A link to the address, as the copy-link actions produce it.
    static std::string makeLink(std::string_view address);

    // The running copy takes the address a second copy left under "Temp".
    void ReceivedURLEXEC();
    // Points the "sqd" handler at this executable unless it already does.
    void RegisterUrlProtocol(const std::string& executablePath);

private:
    Services m_s;
    std::function<void()> m_connect;
};

}  // namespace squadlink
