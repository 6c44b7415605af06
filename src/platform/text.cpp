// Text primitives over the program's texts. Positions count bytes from 1, but a match may only
// start and end on a character boundary, found by walking the text from its first byte with
// character_length: in a multi-byte encoding the bytes of a needle can occur across two
// characters, and such an occurrence is no match.
#include "platform/text.h"

#include "text_encoding.h"

namespace quavik {

namespace {

char fold_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `needle` (not empty) stands at `position`, a character boundary of `text`, and ends
// on a boundary too. Ignoring case folds ASCII letters that are characters of their own; the
// bytes of a multi-byte character always compare exactly (in GBK, trail bytes can be letters).
bool matches_at(std::string_view text, std::size_t position, std::string_view needle,
                bool ignore_case) {
    if (text.size() - position < needle.size()) {
        return false;
    }
    std::size_t done = 0;
    while (done < needle.size()) {
        const std::size_t at = position + done;
        const std::size_t length = character_length(text, at);
        if (length > needle.size() - done) {
            return false;  // the needle would end inside this character
        }
        if (length == 1 && ignore_case) {
            if (fold_ascii(text[at]) != fold_ascii(needle[done])) {
                return false;
            }
        } else if (text.substr(at, length) != needle.substr(done, length)) {
            return false;
        }
        done += length;
    }
    return true;
}

// The first boundary at or after `from` where `needle` matches, or text.size(). The walk over
// the characters begins at `boundary`, a known boundary at or before `from`.
std::size_t find_boundary_match(std::string_view text, std::string_view needle,
                                std::size_t boundary, std::size_t from, bool ignore_case) {
    for (std::size_t position = boundary; position < text.size();
         position += character_length(text, position)) {
        if (text.size() - position < needle.size()) {
            break;
        }
        if (position >= from && matches_at(text, position, needle, ignore_case)) {
            return position;
        }
    }
    return text.size();
}

}  // namespace

std::size_t text_bytes_length(std::string_view text) {
    return text.size();
}

// An empty needle is never found: it marks no place in the text, and a caller that loops over
// the matches would otherwise never end. A start before 1 searches from 1.
long find_text(std::string_view text, std::string_view needle, long start, bool ignore_case) {
    if (needle.empty() || text.empty()) {
        return -1;
    }
    if (start > 0 && static_cast<unsigned long>(start) > text.size()) {
        return -1;
    }
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    const std::size_t found = find_boundary_match(text, needle, 0, from, ignore_case);
    return found == text.size() ? -1 : static_cast<long>(found + 1);
}

// The bytes of positions start .. start + length - 1 that lie inside the text; a range that
// begins before position 1 loses its part before the text.
std::string middle_text(std::string_view text, long start, long length) {
    if (length <= 0 || text.empty()) {
        return {};
    }
    if (start > 0 && static_cast<unsigned long>(start) > text.size()) {
        return {};
    }
    auto count = static_cast<unsigned long long>(length);
    std::size_t begin = 0;
    if (start < 1) {
        // 1 - start, computed without overflow for any start.
        const unsigned long long before = 1ULL - static_cast<unsigned long long>(start);
        if (count <= before) {
            return {};
        }
        count -= before;
    } else {
        begin = static_cast<std::size_t>(start - 1);
    }
    const std::size_t available = text.size() - begin;
    const std::size_t taken = count < available ? static_cast<std::size_t>(count) : available;
    return std::string(text.substr(begin, taken));
}

std::string replace_text(std::string_view text, std::string_view from, std::string_view to,
                         long count) {
    if (from.empty() || count == 0) {
        return std::string(text);
    }
    std::string result;
    std::size_t copied = 0;  // bytes of `text` already in the result
    long replaced = 0;
    while (count < 0 || replaced < count) {
        const std::size_t found = find_boundary_match(text, from, copied, copied, false);
        if (found == text.size()) {
            break;
        }
        result.append(text.substr(copied, found - copied));
        result.append(to);
        copied = found + from.size();  // a boundary: a match ends on one
        ++replaced;
    }
    result.append(text.substr(copied));
    return result;
}

std::string spaces_text(std::size_t count) {
    return std::string(count, ' ');
}

std::string zero_bytes(std::size_t count) {
    return std::string(count, '\0');
}

std::string bytes_to_text(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
}

std::string_view trim_spaces(std::string_view text) {
    constexpr std::string_view kSpaces = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpaces);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

std::string_view characters_within(std::string_view text, std::size_t max_bytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + character_length(text, end);
        if (next > max_bytes) {
            break;
        }
        end = next;
    }
    return text.substr(0, end);
}

std::string quote_for_display(std::string_view text, std::size_t max_characters) {
    std::string quoted;
    std::size_t position = 0;
    for (std::size_t count = 0; position < text.size(); ++count) {
        if (count == max_characters) {
            quoted += "…";
            break;
        }
        const std::size_t length = character_length(text, position);
        if (length > 1) {
            quoted.append(text.substr(position, length));
        } else {
            const auto byte = static_cast<unsigned char>(text[position]);
            quoted += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?';
        }
        position += length;
    }
    return quoted;
}

}  // namespace quavik
