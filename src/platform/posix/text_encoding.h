#pragma once
// The character rules of the program's text encoding (UTF-8 here).
#include <cstddef>
#include <string_view>

namespace quavik {

// Length in bytes of the character that starts at `position` (at least 1, never past the end).
std::size_t character_length(std::string_view text, std::size_t position);

}  // namespace quavik
