#include "gameserver/SteamLibrary.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace squadlink {

namespace {

// A libraryfolders.vdf is a few kilobytes; anything far larger is not one.
constexpr std::size_t kLargestVdf = 1024 * 1024;
constexpr std::size_t kDeepestVdf = 32;

struct Token {
    enum class Kind { Text, Open, Close, End, Broken } kind = Kind::End;
    std::string text;
};

class VdfTokens {
public:
    explicit VdfTokens(std::string_view text) : m_text(text) {}

    Token next() {
        skipBlanksAndComments();
        if (m_pos >= m_text.size()) {
            return {Token::Kind::End, {}};
        }
        const char c = m_text[m_pos];
        if (c == '{') {
            ++m_pos;
            return {Token::Kind::Open, {}};
        }
        if (c == '}') {
            ++m_pos;
            return {Token::Kind::Close, {}};
        }
        if (c == '"') {
            return quoted();
        }
        return bare();
    }

private:
    void skipBlanksAndComments() {
        while (m_pos < m_text.size()) {
            const auto c = static_cast<unsigned char>(m_text[m_pos]);
            if (std::isspace(c) != 0) {
                ++m_pos;
            } else if (m_text.substr(m_pos, 2) == "//") {
                const auto end = m_text.find('\n', m_pos);
                m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
            } else {
                return;
            }
        }
    }

    Token quoted() {
        std::string text;
        ++m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') {
                return {Token::Kind::Text, std::move(text)};
            }
            if (c == '\\' && m_pos < m_text.size()) {
                const char escaped = m_text[m_pos++];
                text.push_back(escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped);
            } else {
                text.push_back(c);
            }
        }
        return {Token::Kind::Broken, {}};
    }

    Token bare() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size()) {
            const auto c = static_cast<unsigned char>(m_text[m_pos]);
            if (std::isspace(c) != 0 || c == '{' || c == '}' || c == '"') {
                break;
            }
            ++m_pos;
        }
        return {Token::Kind::Text, std::string(m_text.substr(start, m_pos - start))};
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

bool isNumber(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<std::string> readSmallFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > kLargestVdf) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool isNonEmptyFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) &&
           std::filesystem::file_size(path, error) > 0 && !error;
}

}  // namespace

std::vector<std::string> SteamLibrary::ParseLibraryFolders(std::string_view vdf) {
    std::vector<std::string> paths;
    // The keys of the blocks we are inside, outermost first.
    std::vector<std::string> blocks;
    VdfTokens tokens(vdf);
    std::optional<std::string> key;
    for (;;) {
        Token token = tokens.next();
        switch (token.kind) {
            case Token::Kind::End:
            case Token::Kind::Broken:
                return paths;
            case Token::Kind::Open:
                if (!key || blocks.size() >= kDeepestVdf) {
                    return paths;
                }
                blocks.push_back(std::move(*key));
                key.reset();
                break;
            case Token::Kind::Close:
                if (key || blocks.empty()) {
                    return paths;
                }
                blocks.pop_back();
                break;
            case Token::Kind::Text:
                if (!key) {
                    key = std::move(token.text);
                    break;
                }
                // A key and its value: a library is "path" inside a numbered block, or (older
                // files) the value of a numbered key itself.
                if (blocks.size() == 2 && equalsIgnoringCase(blocks[0], "libraryfolders") &&
                    isNumber(blocks[1]) && equalsIgnoringCase(*key, "path")) {
                    paths.push_back(std::move(token.text));
                } else if (blocks.size() == 1 && equalsIgnoringCase(blocks[0], "libraryfolders") &&
                           isNumber(*key)) {
                    paths.push_back(std::move(token.text));
                }
                key.reset();
                break;
        }
    }
}

std::vector<std::string> SteamLibrary::DefaultSteamFolders(const std::string& home) {
    return {home + "/.steam/steam", home + "/.local/share/Steam", home + "/.steam/root",
            home + "/.var/app/com.valvesoftware.Steam/.local/share/Steam",
            home + "/snap/steam/common/.local/share/Steam"};
}

std::vector<std::string> SteamLibrary::LibraryFolders(const std::string& home) {
    std::vector<std::string> libraries;
    std::vector<std::filesystem::path> seen;
    const auto add = [&](const std::string& folder) {
        std::error_code error;
        if (folder.empty() || !std::filesystem::is_directory(folder, error)) {
            return;
        }
        // ~/.steam/steam is usually a link to ~/.local/share/Steam: one library, looked at once.
        auto canonical = std::filesystem::canonical(folder, error);
        if (error) {
            canonical = folder;
        }
        if (std::find(seen.begin(), seen.end(), canonical) != seen.end()) {
            return;
        }
        seen.push_back(canonical);
        libraries.push_back(folder);
    };
    const auto steamFolders = DefaultSteamFolders(home);
    for (const auto& folder : steamFolders) {
        add(folder);
    }
    for (const auto& folder : steamFolders) {
        for (const char* place : {"/steamapps/libraryfolders.vdf", "/config/libraryfolders.vdf"}) {
            if (const auto text = readSmallFile(folder + place)) {
                for (const auto& library : ParseLibraryFolders(*text)) {
                    add(library);
                }
            }
        }
    }
    return libraries;
}

std::string SteamLibrary::FindHalfLifeExecutable(const std::string& home) {
    for (const auto& library : LibraryFolders(home)) {
        for (const char* name : {"hl_linux", "hl.exe"}) {
            const std::string candidate = library + "/steamapps/common/Half-Life/" + name;
            if (isNonEmptyFile(candidate)) {
                return candidate;
            }
        }
    }
    return {};
}

}  // namespace squadlink
