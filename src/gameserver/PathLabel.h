#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/TextMetrics.h"

namespace squadlink {

// The caption a path label shows: the whole path when it fits the label's width less the
// margin, else the path with its middle folders left out ("/home/...common/Half-Life/hl_linux"
// style), else its first 3 characters, "..." and its last `tail` characters.
std::string ShortenPathForLabel(std::string_view path, int labelWidth, int margin, std::size_t tail,
                                const TextMetrics& metrics);

}  // namespace squadlink
