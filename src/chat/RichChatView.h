#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Attention.h"
#include "core/ChatDocument.h"
#include "core/ChatView.h"
#include "core/FormState.h"
#include "core/model/WindowModel.h"
#include "platform/Clock.h"
#include "platform/UdpSocket.h"

namespace squadlink {

// The chat view: time-stamped coloured lines, actions, notices and events written at the end
// of the document, smiley codes shown as pictures of the chosen set and link starts in link
// style. Peer text only ever becomes literal text runs.
class RichChatView : public ChatView {
public:
    // Past this many characters of rich source the view clears itself.
    static constexpr std::size_t kAutoClearSize = 262'144;

    struct Services {
        WindowModel& ui;
        FormState& state;
        Clock& clock;
        Attention& attention;
        UdpSocket& socket;
    };

    RichChatView(const Services& services, ChatDocument& document);

    void setDocument(ChatDocument& document) { m_doc = &document; }
    ChatDocument& document() { return *m_doc; }
    // Runs inside InitChatView to empty the input history.
    void setHistoryReset(std::function<void()> reset) { m_historyReset = std::move(reset); }
    // Runs inside ClearChatView to put the pointer back to the arrow.
    void setPointerReset(std::function<void()> reset) { m_pointerReset = std::move(reset); }

    void InitChatView() override;
    void AddEventLine(std::string_view text) override;
    void AddChatMessage(std::string_view nick, std::string_view text, ChatLineKind kind) override;
    void AppendChatLine(bool newLine, std::string_view nick, std::string_view text, bool linkStyle,
                        ChatLineKind kind) override;
    void ShowReceivedChat(std::string_view payload, ChatLineKind kind) override;
    void ShowChattersList(std::string_view payload) override;

    void ClearChatView();
    // The window has laid the view out: a clear made before that is padded now.
    void ViewLaidOut();
    void BuildHelpPanel();
    void BuildSmileyPanel();
    void ShowHelpPanel();
    void ShowSmileyPanel();
    void ListChattersLocal();
    void notice(std::string_view text) {
        AppendChatLine(true, {}, text, false, ChatLineKind::Notice);
    }

    // The picture set chosen by the smiley options: 300, 400 or 500.
    int smileyBase() const;
    // The running measure of the view's rich source (text, formatting and picture data).
    std::size_t richSize() const { return m_richSize; }

private:
    // Keeps one line's runs together in the document.
    class LineScope {
    public:
        explicit LineScope(ChatDocument& document) : m_document(document) {
            m_document.beginLine();
        }
        ~LineScope() { m_document.endLine(); }
        LineScope(const LineScope&) = delete;
        LineScope& operator=(const LineScope&) = delete;

    private:
        ChatDocument& m_document;
    };

    struct Piece {
        enum class Kind { Text, LineBreak, Picture } kind = Kind::Text;
        std::string text;
        Rgb colour;
        bool link = false;
        int picture = 0;
    };

    std::string timeStamp() const;
    // Internal text may hold CR LF line breaks; text from peers never is split.
    void write(std::string_view text, Rgb colour, bool link, bool splitLines = false);
    void lineBreak();
    void picture(int resourceId);
    void play(const std::vector<Piece>& pieces);
    void contentChanged();
    // As many empty lines as the view shows, so that the first lines appear at its bottom.
    int paddingLines() const;

    Services m_services;
    ChatDocument* m_doc;
    std::function<void()> m_historyReset;
    std::function<void()> m_pointerReset;
    std::vector<Piece> m_helpPanel;
    std::vector<Piece> m_smileyPanel;
    std::size_t m_richSize = 0;
    Rgb m_lastColour{-1, -1, -1};
    bool m_lastLink = false;
    bool m_clearing = false;
    bool m_paddingPending = false;
};

}  // namespace squadlink
