#pragma once

#include <string>
#include <string_view>

namespace squadlink {

// A game server address as the address box accepts it: 3 to 34 characters, ASCII letters,
// digits, "-", "." and ":" only. Anything else could carry extra switches onto the game's
// command line or extra commands into its console.
bool IsValidGameAddress(std::string_view address);
// A game server password as the password box accepts it: at most 18 characters from blank to
// "~", without the double quote that would end the quoted password early.
bool IsValidGamePassword(std::string_view password);
// The game console's command that joins the server: "connect <address>", preceded by
// "password "<password>"; " when there is a password.
std::string ConsoleCommand(std::string_view address, std::string_view password);

}  // namespace squadlink
