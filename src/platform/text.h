#pragma once
// Text primitives on the program's texts (bytes in the program's encoding). Lengths count
// bytes; positions count from 1. Searching never matches in the middle of a character.
#include <cstddef>
#include <string>
#include <string_view>

namespace quavik {

std::size_t text_bytes_length(std::string_view text);

// Position (from 1) of the first occurrence of `needle` at or after `start` (from 1), or -1.
// A match starts only on a character boundary.
long find_text(std::string_view text, std::string_view needle, long start = 1,
               bool ignore_case = false);

// `length` bytes from position `start` (from 1), clipped to the text.
std::string middle_text(std::string_view text, long start, long length);

// Replaces occurrences of `from` by `to`: all of them when `count` is negative, else the first
// `count`. Matches start on character boundaries and do not overlap.
std::string replace_text(std::string_view text, std::string_view from, std::string_view to,
                         long count = -1);

std::string spaces_text(std::size_t count);
std::string zero_bytes(std::size_t count);

// `text` without the ASCII spaces, tabs, CRs and LFs around it.
std::string_view trim_spaces(std::string_view text);

// The longest start of `text` that fits in `max_bytes` and ends on a character boundary.
std::string_view characters_within(std::string_view text, std::size_t max_bytes);

// `text` as a message or a page may quote it: at most `max_characters` whole characters, "…"
// where it was cut, control characters and bytes that form no character shown as '?'.
std::string quote_for_display(std::string_view text, std::size_t max_characters);

// The bytes before the first zero byte.
std::string bytes_to_text(std::string_view bytes);

}  // namespace quavik
