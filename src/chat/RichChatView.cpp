#include "chat/RichChatView.h"

#include <cstdio>

#include "chat/ChatMarkup.h"

namespace squadlink {

namespace {

constexpr Rgb kNormalColour{229, 229, 229};
constexpr Rgb kScoreColour{229, 92, 229};
constexpr Rgb kNoticeColour{92, 229, 229};
constexpr Rgb kActionColour{229, 229, 92};

// What the rich source spends around the text: a new run's formatting words, a paragraph mark.
constexpr std::size_t kRunCost = 24;
constexpr std::size_t kLineBreakCost = 6;
constexpr std::size_t kPictureCost = 80;

constexpr std::size_t kMaxPersons = 11;

Rgb colourOf(ChatLineKind kind) {
    switch (kind) {
        case ChatLineKind::ReflexScore:
            return kScoreColour;
        case ChatLineKind::Notice:
            return kNoticeColour;
        case ChatLineKind::Action:
            return kActionColour;
        case ChatLineKind::Normal:
            break;
    }
    return kNormalColour;
}

// Nicks and addresses from the wire go into lines of their own: no line break may come with
// them.
std::string singleLine(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 32) {
            c = ' ';
        }
    }
    return out;
}

std::string padded(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width) {
        out.append(width - out.size(), ' ');
    }
    return out;
}

bool splitAtNul(std::string_view text, std::string_view& head, std::string_view& rest) {
    const std::size_t nul = text.find('\0');
    if (nul == std::string_view::npos) {
        return false;
    }
    head = text.substr(0, nul);
    rest = text.substr(nul + 1);
    return true;
}

}  // namespace

RichChatView::RichChatView(const Services& services, ChatDocument& document)
    : m_services(services), m_doc(&document) {
}

int RichChatView::smileyBase() const {
    if (m_services.ui.oSmiley1.value()) {
        return 300;
    }
    if (m_services.ui.oSmiley3.value()) {
        return 500;
    }
    return 400;
}

std::string RichChatView::timeStamp() const {
    const LocalDateTime now = m_services.clock.now();
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", now.hour % 100, now.minute % 100,
                  now.second % 100);
    return buffer;
}

void RichChatView::write(std::string_view text, Rgb colour, bool link, bool splitLines) {
    if (splitLines) {
        std::size_t start = 0;
        while (true) {
            const std::size_t end = text.find("\r\n", start);
            write(text.substr(start, end == std::string_view::npos ? end : end - start), colour,
                  link);
            if (end == std::string_view::npos) {
                return;
            }
            lineBreak();
            start = end + 2;
        }
    }
    if (text.empty()) {
        return;
    }
    m_doc->appendText(text, colour, link);
    if (colour != m_lastColour || link != m_lastLink) {
        m_richSize += kRunCost;
        m_lastColour = colour;
        m_lastLink = link;
    }
    m_richSize += text.size();
}

void RichChatView::lineBreak() {
    m_doc->appendLineBreak();
    m_richSize += kLineBreakCost;
}

void RichChatView::picture(int resourceId) {
    m_doc->appendPicture(resourceId);
    // Picture data is written out in hexadecimal: two characters a byte.
    m_richSize += kPictureCost + 2 * m_doc->pictureSize(resourceId);
}

void RichChatView::play(const std::vector<Piece>& pieces) {
    const LineScope line(*m_doc);
    for (const Piece& piece : pieces) {
        switch (piece.kind) {
            case Piece::Kind::Text:
                write(piece.text, piece.colour, piece.link);
                break;
            case Piece::Kind::LineBreak:
                lineBreak();
                break;
            case Piece::Kind::Picture:
                picture(piece.picture);
                break;
        }
    }
    contentChanged();
}

void RichChatView::contentChanged() {
    if (m_clearing || m_richSize <= kAutoClearSize) {
        return;
    }
    m_clearing = true;
    ClearChatView();
    notice("Chat screen automatically cleared");
    m_clearing = false;
}

void RichChatView::AppendChatLine(bool newLine, std::string_view nick, std::string_view text,
                                  bool linkStyle, ChatLineKind kind) {
    const LineScope line(*m_doc);
    const Rgb colour = colourOf(kind);
    if (kind == ChatLineKind::ReflexScore) {
        lineBreak();
        write("[" + timeStamp() + "] - " + std::string(nick) + " just scored " + std::string(text) +
                  std::string(chatmarkup::reflexRemark(text)),
              colour, linkStyle);
    } else if (!newLine) {
        write(text, colour, linkStyle);
    } else {
        switch (kind) {
            case ChatLineKind::Normal:
                lineBreak();
                write("[" + timeStamp() + "] <" + std::string(nick) + "> " + std::string(text),
                      colour, linkStyle);
                break;
            case ChatLineKind::Notice:
                lineBreak();
                write("*", colour, linkStyle);
                lineBreak();
                write("* ", colour, linkStyle);
                write(text, colour, linkStyle, true);
                break;
            case ChatLineKind::Action:
                lineBreak();
                write("[" + timeStamp() + "] * " + std::string(nick) + " " + std::string(text),
                      colour, linkStyle);
                break;
            case ChatLineKind::ReflexScore:
                break;
        }
    }
    contentChanged();
}

void RichChatView::AddEventLine(std::string_view text) {
    const LineScope line(*m_doc);
    lineBreak();
    write("[" + timeStamp() + "] " + std::string(text), kScoreColour, false);
    contentChanged();
}

void RichChatView::AddChatMessage(std::string_view nick, std::string_view text, ChatLineKind kind) {
    const LineScope scope(*m_doc);
    std::string rest(text);
    if (chatmarkup::EncodeChatMarkup(rest)) {
        AppendChatLine(true, nick, rest, false, kind);
        return;
    }
    // Only two looks for a composed line: an action, or an ordinary line.
    const ChatLineKind headKind =
        kind == ChatLineKind::Action ? ChatLineKind::Action : ChatLineKind::Normal;
    const Rgb colour = colourOf(headKind);
    lineBreak();
    if (headKind == ChatLineKind::Action) {
        write("[" + timeStamp() + "] * " + std::string(nick) + " ", colour, false);
    } else {
        write("[" + timeStamp() + "] <" + std::string(nick) + "> ", colour, false);
    }
    std::size_t i = 0;
    while (!rest.empty() && i < rest.size()) {
        const unsigned char c = static_cast<unsigned char>(rest[i]);
        if (c == static_cast<unsigned char>(chatmarkup::kLinkMarker)) {
            write(std::string_view(rest).substr(0, i), colour, false);
            rest.erase(0, i + 1);
            const std::size_t blank = rest.find(' ');
            const std::string candidate = rest.substr(0, blank);
            const std::size_t scheme = candidate.find("://");
            const bool isLink = scheme != std::string::npos && candidate.size() > scheme + 3;
            write(candidate, colour, isLink);
            if (blank != std::string::npos) {
                rest.erase(0, blank);
            } else {
                if (isLink) {
                    // Later text must not take on the link style.
                    write(" ", colour, false);
                }
                rest.clear();
            }
            i = 0;
        } else if (c >= 1 && c <= 12) {
            write(std::string_view(rest).substr(0, i), colour, false);
            picture(smileyBase() + c);
            rest.erase(0, i + 1);
            i = 0;
        } else {
            ++i;
        }
    }
    write(rest, colour, false);
    contentChanged();
}

void RichChatView::ShowReceivedChat(std::string_view payload, ChatLineKind kind) {
    m_services.ui.tServer.setText(m_services.state.sArrangerAddress);
    std::string_view nick;
    std::string_view rest;
    std::string_view text;
    std::string_view after;
    if (!splitAtNul(payload, nick, rest) || !splitAtNul(rest, text, after)) {
        return;
    }
    AddChatMessage(nick, text, kind);
    m_services.attention.NotifyChatMessage();
}

void RichChatView::ClearChatView() {
    if (m_pointerReset) {
        m_pointerReset();
    }
    m_doc->clear();
    m_richSize = 0;
    m_lastColour = Rgb{-1, -1, -1};
    // A chat page not shown yet is built, and laid out, when it is first shown.
    m_paddingPending = m_doc->viewHeight() < 0;
    const int lines = m_paddingPending ? 0 : paddingLines();
    for (int i = 0; i < lines; ++i) {
        lineBreak();
    }
}

int RichChatView::paddingLines() const {
    const int lineHeight = m_doc->lineHeight();
    const int lines = lineHeight > 0 ? m_doc->viewHeight() / lineHeight : 0;
    return lines >= 1 && lines <= 30 ? lines : 0;
}

void RichChatView::ViewLaidOut() {
    if (!m_paddingPending || m_doc->viewHeight() < 0) {
        return;
    }
    m_paddingPending = false;
    const int lines = paddingLines();
    if (lines > 0) {
        m_doc->prependLineBreaks(lines);
        m_richSize += static_cast<std::size_t>(lines) * kLineBreakCost;
    }
}

void RichChatView::InitChatView() {
    const LineScope line(*m_doc);
    if (m_historyReset) {
        m_historyReset();
    }
    BuildHelpPanel();
    BuildSmileyPanel();
    ClearChatView();
    write("*", kNoticeColour, false);
    lineBreak();
    write("* Welcome to Squadlink chat", kNoticeColour, false);
    ShowHelpPanel();
    ShowSmileyPanel();
}

void RichChatView::BuildHelpPanel() {
    m_helpPanel.clear();
    const char* const lines[] = {"*",
                                 "* Useful tips and commands you can use:",
                                 "*\tselect text with left mouse button to copy it",
                                 "*\tyou can right-click and double-click on a link",
                                 "*\tuse up and down arrows to move through chat history",
                                 "*\t/who, /w - lists all persons in the chat",
                                 "*\t/clear, /c - clears the chat screen",
                                 "*\t/me message - informs others about what you are doing",
                                 "*\t/smiley, /s - shows supported smileys",
                                 "*\t/help, /h - shows this help"};
    for (const char* line : lines) {
        m_helpPanel.push_back({Piece::Kind::LineBreak, {}, {}, false, 0});
        m_helpPanel.push_back({Piece::Kind::Text, line, kNoticeColour, false, 0});
    }
}

void RichChatView::BuildSmileyPanel() {
    m_smileyPanel.clear();
    auto text = [this](std::string line) {
        m_smileyPanel.push_back({Piece::Kind::Text, std::move(line), kNoticeColour, false, 0});
    };
    auto newLine = [this] { m_smileyPanel.push_back({Piece::Kind::LineBreak, {}, {}, false, 0}); };
    newLine();
    text("*");
    newLine();
    text("* Supported smileys:");
    const int base = smileyBase();
    for (const int first : {1, 7}) {
        newLine();
        std::string codes = "*";
        for (int n = first; n < first + 6; ++n) {
            codes += "\t" + std::string(chatmarkup::kSmileyCodes[static_cast<std::size_t>(n - 1)]);
        }
        text(codes);
        newLine();
        text("*");
        for (int n = first; n < first + 6; ++n) {
            text("\t");
            m_smileyPanel.push_back({Piece::Kind::Picture, {}, {}, false, base + n});
        }
    }
}

void RichChatView::ShowHelpPanel() {
    play(m_helpPanel);
}

void RichChatView::ShowSmileyPanel() {
    play(m_smileyPanel);
}

void RichChatView::ListChattersLocal() {
    const auto& roster = m_services.ui.lbFighters;
    if (roster.empty()) {
        notice("No Fighters connected yet");
        return;
    }
    std::string text = "Persons currently chatting:";
    for (int i = 0; i < roster.listCount(); ++i) {
        const std::string_view entry = roster.list(i);
        const std::size_t tab = entry.find('\t');
        const std::string_view nick = entry.substr(0, tab);
        std::string_view address;
        if (tab != std::string_view::npos) {
            address = entry.substr(tab + 1);
            address = address.substr(0, address.find('\t'));
        }
        text += "\r\n*\t" + padded(singleLine(nick), 23) + "\t(IP: " + singleLine(address) + ")";
    }
    text += "\r\n* (WA)\t" + padded(singleLine(m_services.state.sNick), 23) +
            "\t(IP: " + m_services.socket.localIp() + ")";
    notice(text);
}

void RichChatView::ShowChattersList(std::string_view payload) {
    std::string_view countText;
    std::string_view rest;
    if (!splitAtNul(payload, countText, rest)) {
        return;
    }
    if (countText.empty() || countText.size() > 3) {
        return;
    }
    for (const char c : countText) {
        if (c < '0' || c > '9') {
            return;
        }
    }
    const std::size_t count = static_cast<std::size_t>(chatmarkup::leadingNumber(countText));
    // A full roster of ten Fighters and the War Arranger himself.
    if (count < 1 || count > kMaxPersons) {
        return;
    }
    std::string text = "Persons currently chatting:";
    for (std::size_t i = 0; i < count; ++i) {
        std::string_view nick;
        std::string_view address;
        if (!splitAtNul(rest, nick, rest) || nick.empty()) {
            return;
        }
        if (!splitAtNul(rest, address, rest) || address.size() < 6) {
            return;
        }
        text += i + 1 == count ? "\r\n* (WA)\t" : "\r\n*\t";
        text += padded(singleLine(nick), 24) + "\t(IP: " + singleLine(address) + ")";
    }
    notice(text);
}

}  // namespace squadlink
