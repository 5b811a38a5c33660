#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/MessageBox.h"

namespace squadlink {

class Lifecycle;

inline constexpr const char* kLineBreak = "\r\n";

// The one message-box wrapper: caption "<app caption> - <title>", every line padded with
// three blanks.
//
// Boxes raised while network input is handled never pile up: a modal box lets socket events
// run, so a peer sending a box-raising datagram faster than the user can press OK would
// otherwise nest one box inside the next without end. While any box is open, a box raised by
// network input is not stacked on it: the latest such information box is shown once the open
// box has closed, and such a question takes its safe answer (No / Cancel) unseen.
class Messages {
public:
    Messages(MessageBox& box, const std::string& appCaption) : m_box(box), m_caption(appCaption) {}
    int ShowMessage(std::string_view text, int flags, std::string_view title);
    int warning(std::string_view text) { return ShowMessage(text, mb::Warning, "Warning"); }
    // A box the program ends after (fatal errors): always shown, never held back.
    int showBeforeEnd(std::string_view text, int flags, std::string_view title);
    static std::string padLines(std::string_view text);

    // A box closed because the program began to shut down while it was open answers its safe
    // choice, and its caller does not go on: ShowMessage throws ProgramEnd.
    void watchShutDown(const Lifecycle& lifecycle) { m_lifecycle = &lifecycle; }

    // Marks the handling of network input (datagrams, socket errors) for as long as it lives.
    class NetworkInput {
    public:
        explicit NetworkInput(Messages& messages) : m_messages(messages) {
            ++m_messages.m_networkDepth;
        }
        ~NetworkInput() { --m_messages.m_networkDepth; }
        NetworkInput(const NetworkInput&) = delete;
        NetworkInput& operator=(const NetworkInput&) = delete;

    private:
        Messages& m_messages;
    };

    int openBoxes() const { return m_openBoxes; }

private:
    struct Held {
        std::string text;
        int flags = 0;
        std::string title;
    };
    int present(std::string_view text, int flags, std::string_view title);
    bool shuttingDown() const;

    MessageBox& m_box;
    const std::string& m_caption;
    const Lifecycle* m_lifecycle = nullptr;
    int m_networkDepth = 0;
    int m_openBoxes = 0;
    std::optional<Held> m_held;
};

}  // namespace squadlink
