#pragma once
// The reference text shown in the read-only box: the pattern types and every province and city
// ID, built from the tables.
#include <string>

namespace quavik {

// The whole text in the program's encoding, lines joined by CR LF, no line end after the last.
std::string build_reference_text();

}  // namespace quavik
