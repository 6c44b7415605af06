#pragma once
// The character rules of the program's text encoding: the ANSI code page, a double-byte code
// page (GBK) on a Chinese system.
#include <cstddef>
#include <string_view>

namespace quavik {

// Length in bytes of the character that starts at `position` (1 or 2; 1 at or past the end).
std::size_t character_length(std::string_view text, std::size_t position);

}  // namespace quavik
