#pragma once
// The names of language identifiers, as a Chinese system writes them.
#include <cstdint>
#include <string_view>

namespace quavik::version {

// The name of `language` (a LANGID): the exact entry, else the name of its primary language,
// else the name of the neutral language.
std::string_view language_name(std::uint16_t language);

}  // namespace quavik::version
