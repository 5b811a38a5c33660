#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace squadlink {

// Where a Linux Steam installation keeps its games: its own folders and the library folders
// listed in its libraryfolders.vdf. Paths here are the file system's own bytes (UTF-8).
class SteamLibrary {
public:
    // The library paths listed in a libraryfolders.vdf text, in file order; both the current
    // layout ("N" { "path" "..." }) and the older one ("N" "..."). Broken text yields what was
    // read before the break.
    static std::vector<std::string> ParseLibraryFolders(std::string_view vdf);

    // The folders a Steam installation lives in under a home folder: the native ones, the
    // Flatpak and the Snap one.
    static std::vector<std::string> DefaultSteamFolders(const std::string& home);

    // Every library folder to look in, without repeats: the Steam folders that exist, then the
    // libraries their libraryfolders.vdf files list.
    static std::vector<std::string> LibraryFolders(const std::string& home);

    // The Half-Life folder's game executable in the first library that has one (the native
    // "hl_linux", else "hl.exe" of a Windows copy run by Proton); empty when none is found.
    static std::string FindHalfLifeExecutable(const std::string& home);
};

}  // namespace squadlink
