#pragma once

#include <string_view>

namespace squadlink {

// The banner picture compiled into the program (resources/banner.gif).
std::string_view builtInBanner();

}  // namespace squadlink
