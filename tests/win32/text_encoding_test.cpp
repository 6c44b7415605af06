// The character rules of the ANSI code page (GBK under a Chinese locale) and the text
// primitives over them: a match never starts or ends inside a double-byte character, and GBK
// trail bytes can be ASCII letters and brackets.
#include <gtest/gtest.h>

#include "code_page_api.h"
#include "platform/text.h"
#include "text_encoding.h"

namespace quavik {
namespace {

TEST(GbkCharacterLength, DoubleByteCharactersAndStrayBytes) {
    ASSERT_EQ(GetACP(), 936u) << "run the Windows tests under a Chinese locale (code page 936)";
    struct Case {
        const char* name;
        std::string text;
        std::size_t position;
        std::size_t expected;
    };
    const Case cases[] = {
        {"ascii", "a", 0, 1},
        {"double byte", "\xD6\xD0", 0, 2},  // 中
        {"trail byte is a letter", "\xB0\x74", 0, 2},
        {"trail byte is '['", "\xB0\x5B", 0, 2},
        {"after a character", "a\xD6\xD0", 1, 2},
        {"inside a character", "\xD6\xD0", 1, 1},
        {"lead byte at the end", "a\xD6", 1, 1},
        {"lead byte before a space", "\xD6 ", 0, 1},
        {"lead byte before a digit",
         "\xD6"
         "1",
         0, 1},
        {"lead byte before 0x7F", "\xD6\x7F", 0, 1},
        {"lead byte before 0xFF", "\xD6\xFF", 0, 1},
        {"euro sign, a single byte", "\x80", 0, 1},
        {"byte that never leads",
         "\xFF"
         "a",
         0, 1},
        {"past the end", "ab", 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(character_length(c.text, c.position), c.expected);
    }
}

TEST(GbkFindText, MatchesOnlyOnCharacterBoundaries) {
    struct Case {
        const char* name;
        std::string text;
        std::string needle;
        long start;
        bool ignore_case;
        long expected;
    };
    const Case cases[] = {
        {"multi-byte needle", "靓号AA靓号", "靓号", 2, false, 7},
        {"mixed needle ignoring case", "靓号ab", "号AB", 1, true, 3},
        {"byte offsets count", "中a", "a", 1, false, 3},
        {"start inside a character", "中a中", "中", 2, false, 4},
        // The traps: the needle's bytes stand in the text, but across characters.
        {"letter as a trail byte", "\xB0tazep", "tazep", 1, false, -1},
        {"letter as a trail byte, ignoring case", "\xB0Tazep", "tazep", 1, true, -1},
        {"'[' as a trail byte", "\xB0[edition]", "[edition]", 1, false, -1},
        {"across a boundary", "中国", "\xD0\xB9", 1, false, -1},
        {"tail of a character", "中", "\xD0", 1, false, -1},
        {"the same letter after the character", "\xB0tt", "t", 1, false, 3},
        {"after a stray lead byte",
         "\xD6"
         "1ab",
         "1ab", 1, false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(find_text(c.text, c.needle, c.start, c.ignore_case), c.expected);
    }
}

TEST(GbkReplaceText, ReplacesWholeCharactersOnly) {
    struct Case {
        const char* name;
        std::string text;
        std::string from;
        std::string to;
        std::string expected;
    };
    const Case cases[] = {
        {"double-byte pattern", "靓号靓号", "号", "码", "靓码靓码"},
        {"written name of the double quote", "a#引号b#引号", "#引号", "\"", "a\"b\""},
        {"letter as a trail byte", "\xB0tt", "t", "x", "\xB0tx"},
        {"across a boundary", "中国", "\xD0\xB9", "x", "中国"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(replace_text(c.text, c.from, c.to), c.expected);
    }
}

TEST(GbkQuoteForDisplay, KeepsCharactersAndMarksStrayBytes) {
    struct Case {
        const char* name;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"double-byte characters", "靓号", "靓号"},
        {"lead byte at the end", "A\x81", "A?"},
        {"lead byte before a digit",
         "A\x81"
         "1",
         "A?1"},
        {"byte that never leads", "A\xFF", "A?"},
        {"cut after four characters", "靓靓靓靓靓", "靓靓靓靓…"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(quote_for_display(c.text, 4), c.expected);
    }
}

}  // namespace
}  // namespace quavik
