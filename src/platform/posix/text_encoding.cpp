// The character rules of UTF-8, the program's text encoding here. A byte that does not begin a
// complete, well-formed sequence is a character of its own, so a walk over any bytes always
// moves forward and never stops in the middle of a valid character.
#include "text_encoding.h"

namespace quavik {

namespace {

struct SequenceRule {
    unsigned char lead_first;
    unsigned char lead_last;
    std::size_t length;
    unsigned char second_first;  // the allowed range of the second byte, which excludes
    unsigned char second_last;   // overlong forms, surrogates and values past U+10FFFF
};

// clang-format off
constexpr SequenceRule kSequenceRules[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF},
    {0xE0, 0xE0, 3, 0xA0, 0xBF},  // no overlong three-byte forms
    {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F},  // no surrogates
    {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},  // no overlong four-byte forms
    {0xF1, 0xF3, 4, 0x80, 0xBF},
    {0xF4, 0xF4, 4, 0x80, 0x8F},  // nothing past U+10FFFF
};
// clang-format on

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

std::size_t character_length(std::string_view text, std::size_t position) {
    if (position >= text.size()) {
        return 1;  // past the end: a walk that asks here stops anyway
    }
    const auto lead = static_cast<unsigned char>(text[position]);
    if (lead < 0x80) {
        return 1;
    }
    for (const SequenceRule& rule : kSequenceRules) {
        if (lead < rule.lead_first || lead > rule.lead_last) {
            continue;
        }
        if (text.size() - position < rule.length) {
            return 1;  // truncated by the end of the text
        }
        const auto second = static_cast<unsigned char>(text[position + 1]);
        if (second < rule.second_first || second > rule.second_last) {
            return 1;
        }
        for (std::size_t i = 2; i < rule.length; ++i) {
            if (!is_continuation(static_cast<unsigned char>(text[position + i]))) {
                return 1;
            }
        }
        return rule.length;
    }
    return 1;  // a continuation byte or a byte that never leads
}

}  // namespace quavik
