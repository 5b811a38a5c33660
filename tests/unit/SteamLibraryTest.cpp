#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gameserver/SteamLibrary.h"

using namespace squadlink;
namespace fs = std::filesystem;

namespace {

struct VdfRow {
    const char* what;
    std::string text;
    std::vector<std::string> paths;
};

const VdfRow kVdfRows[] = {
    {"current layout",
     "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/home/a/.local/share/Steam\"\n"
     "\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"10\"\t\t\"123\"\n\t\t}\n\t}\n"
     "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"/mnt/games/SteamLibrary\"\n\t}\n}\n",
     {"/home/a/.local/share/Steam", "/mnt/games/SteamLibrary"}},
    {"older layout with its other keys",
     "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1700000000\"\n"
     "\t\"ContentStatsID\"\t\t\"-123\"\n\t\"1\"\t\t\"/data/steam\"\n\t\"2\"\t\t\"/more\"\n}\n",
     {"/data/steam", "/more"}},
    {"escapes and comments",
     "// written by Steam\n\"libraryfolders\" { \"0\" { \"PATH\" \"D:\\\\Games\\\\Steam\" } "
     "\"1\" { \"path\" \"/with \\\"quote\\\"\" } }",
     {"D:\\Games\\Steam", "/with \"quote\""}},
    {"a path key outside a numbered block is not a library",
     "\"libraryfolders\" { \"path\" \"/nope\" \"x\" { \"path\" \"/nope2\" } \"3\" { \"apps\" { "
     "\"path\" \"/nope3\" } } }",
     {}},
    {"another file altogether", "\"config\" { \"0\" { \"path\" \"/nope\" } }", {}},
    {"cut off inside a string",
     "\"libraryfolders\" { \"0\" { \"path\" \"/ok\" } \"1\" { \"path\" \"/cu",
     {"/ok"}},
    {"unbalanced close", "} \"libraryfolders\" { \"0\" { \"path\" \"/late\" } }", {}},
    {"empty", "", {}},
    {"an opening brace without a key", std::string(100000, '{'), {}},
    {"nesting far too deep",
     [] {
         std::string text = "\"libraryfolders\" { \"0\" { \"path\" \"/ok\" } ";
         for (int i = 0; i < 100000; ++i) {
             text += "\"k\" { ";
         }
         return text + "\"path\" \"/deep\"";
     }(),
     {"/ok"}},
    {"a key without value before a close", "\"libraryfolders\" { \"0\" { \"path\" } }", {}},
};

}  // namespace

TEST(SteamLibrary, ParsesLibraryFolderFiles) {
    for (const VdfRow& row : kVdfRows) {
        EXPECT_EQ(SteamLibrary::ParseLibraryFolders(row.text), row.paths) << row.what;
    }
}

TEST(SteamLibrary, EveryShortPrefixParsesWithoutHarm) {
    const std::string text = kVdfRows[0].text;
    for (std::size_t length = 0; length <= text.size(); ++length) {
        const auto paths =
            SteamLibrary::ParseLibraryFolders(std::string_view(text).substr(0, length));
        EXPECT_LE(paths.size(), 2U) << length;
    }
}

TEST(SteamLibrary, LooksInSteamFoldersAndListedLibrariesOnce) {
    const fs::path home =
        fs::temp_directory_path() / ("squadlink-libs-" + std::to_string(::getpid()));
    fs::remove_all(home);
    const fs::path steam = home / ".local/share/Steam";
    fs::create_directories(steam / "steamapps/common/Half-Life");
    fs::create_directories(home / ".steam");
    // ~/.steam/steam is a link to the real folder: one library.
    fs::create_directory_symlink(steam, home / ".steam/steam");
    const fs::path extra = home / "disk2/SteamLibrary";
    fs::create_directories(extra / "steamapps/common/Half-Life");
    std::ofstream(steam / "steamapps/libraryfolders.vdf")
        << "\"libraryfolders\" { \"0\" { \"path\" \"" << steam.string()
        << "\" } \"1\" { \"path\" \"" << extra.string()
        << "\" } \"2\" { \"path\" \"/no/such/folder\" } }";
    const auto libraries = SteamLibrary::LibraryFolders(home.string());
    EXPECT_EQ(libraries,
              (std::vector<std::string>{(home / ".steam/steam").string(), extra.string()}));

    EXPECT_EQ(SteamLibrary::FindHalfLifeExecutable(home.string()), "");
    std::ofstream(extra / "steamapps/common/Half-Life/hl.exe") << "MZ";
    EXPECT_EQ(SteamLibrary::FindHalfLifeExecutable(home.string()),
              (extra / "steamapps/common/Half-Life/hl.exe").string());
    std::ofstream(steam / "steamapps/common/Half-Life/hl_linux") << "ELF";
    EXPECT_EQ(SteamLibrary::FindHalfLifeExecutable(home.string()),
              (home / ".steam/steam/steamapps/common/Half-Life/hl_linux").string());
    fs::remove_all(home);
}
