#include "shell/ServerLinks.h"

#include <array>

#include "core/Notifier.h"
#include "core/TextUtil.h"

namespace squadlink {

namespace {

// Double quote, scheme word, "://".
constexpr std::size_t kLinkHead = 1 + kLinkScheme.size() + 3;
// "/" and the closing double quote.
constexpr std::size_t kLinkTail = 2;
constexpr std::size_t kMinAddress = 3;

bool isSeparator(char c) {
    return c == '-' || c == '.' || c == '/';
}

}  // namespace

bool ServerLinks::IsValidLinkAddress(std::string_view address) {
    if (address.size() < kMinAddress) {
        return false;
    }
    if (isSeparator(address.front()) || isSeparator(address.back())) {
        return false;
    }
    // No two separators in a row, in any combination.
    for (std::size_t i = 1; i < address.size(); ++i) {
        if (isSeparator(address[i - 1]) && isSeparator(address[i])) {
            return false;
        }
    }
    return true;
}

bool ServerLinks::isLinkCommandLine(std::string_view commandLine) {
    if (commandLine.size() <= kLinkScheme.size() + 8 ||
        commandLine.size() < kLinkHead + kMinAddress + kLinkTail) {
        return false;
    }
    const std::string head = "\"" + std::string(kLinkScheme) + "://";
    return equalsIgnoreCase(commandLine.substr(0, kLinkHead), head) &&
           commandLine.substr(commandLine.size() - kLinkTail) == "/\"";
}

LinkArgument ServerLinks::ParseLinkArgument(std::string_view argument) {
    if (argument.empty()) {
        return {};
    }
    std::string link(argument);
    if (!isLinkCommandLine(link)) {
        link = "\"" + link + "\"";
        if (!isLinkCommandLine(link)) {
            return LinkArgument{LinkArgument::Kind::Invalid, {}};
        }
    }
    std::string address = link.substr(kLinkHead, link.size() - kLinkHead - kLinkTail);
    if (!IsValidLinkAddress(address)) {
        return LinkArgument{LinkArgument::Kind::Invalid, {}};
    }
    return LinkArgument{LinkArgument::Kind::Address, std::move(address)};
}

LinkArgument ServerLinks::ParseLinkArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return {};
    }
    if (arguments.size() > 1) {
        return LinkArgument{LinkArgument::Kind::Invalid, {}};
    }
    return ParseLinkArgument(arguments.front());
}

std::string ServerLinks::makeLink(std::string_view address) {
    return std::string(kLinkScheme) + "://" + std::string(address) + "/";
}

void ServerLinks::ReceivedURLEXEC() {
    const std::string address = m_s.settings.readText(key::Temp);
    // The hand-over is one-shot; a key that is already gone is no error.
    m_s.settings.remove(key::Temp);
    if (address.size() < kMinAddress) {
        return;
    }
    if (!m_s.model.oClient.value()) {
        m_s.messages.warning("Connecting not possible if running in server mode");
        return;
    }
    const std::array<std::string, 4> ownNames{m_s.socket.localIp(), "localhost",
                                              m_s.socket.localHostName(), "127.0.0.1"};
    for (const auto& own : ownNames) {
        if (equalsIgnoreCase(address, own)) {
            m_s.messages.warning("Connecting to yourself not possible");
            return;
        }
    }
    if (equalsIgnoreCase(address, m_s.form.sArrangerAddress)) {
        m_s.messages.warning("Already connected to specified War Arranger");
        return;
    }

    m_s.model.tServer.setText(address);
    m_s.model.Tabek.setSelectedTab(tab::Fighter);

    // A running game keeps the foreground; the sound alone tells the player.
    const ForegroundWindow front = m_s.windows.foreground();
    if (front == ForegroundWindow::None || front == ForegroundWindow::Other) {
        m_s.windows.restoreAndActivateMainWindow();
        m_s.pump.doEvents();
    }
    if (m_s.model.chSound.checked()) {
        m_s.sound.play(Notifier::kLinkSound, true);
    }
    if (m_s.model.chAutoConnect.checked() && m_connect) {
        m_connect();
    }
}

void ServerLinks::RegisterUrlProtocol(const std::string& executablePath) {
    if (executablePath.empty()) {
        return;
    }
    // Exact comparison: on Linux two paths that differ only in letter case are two
    // different programs.
    if (m_s.registry.currentCommand() == executablePath) {
        return;
    }
    m_s.registry.registerHandler(executablePath);
}

}  // namespace squadlink
