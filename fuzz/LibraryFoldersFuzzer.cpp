#include <cstddef>
#include <cstdint>
#include <string_view>

#include "gameserver/SteamLibrary.h"

// Steam's libraryfolders.vdf is read from the user's disk: whatever it holds must parse without
// a crash, a hang or unbounded memory.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto paths = squadlink::SteamLibrary::ParseLibraryFolders(text);
    std::size_t total = 0;
    for (const auto& path : paths) {
        total += path.size();
    }
    // Every path is text taken from the input.
    if (total > size) {
        __builtin_trap();
    }
    return 0;
}
