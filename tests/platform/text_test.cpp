// The text primitives and the character rules of the program's encoding (UTF-8 here).
#include <gtest/gtest.h>

#include <climits>

#include "platform/text.h"
#include "text_encoding.h"

namespace quavik {
namespace {

TEST(CharacterLengthTest, WellFormedAndBrokenSequences) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t position;
        std::size_t expected;
    };
    const Case cases[] = {
        {"ascii", "a", 0, 1},
        {"two bytes", "é", 0, 2},
        {"three bytes", "中", 0, 3},
        {"four bytes", "😀", 0, 4},
        {"after a character", "a中", 1, 3},
        {"continuation byte alone", "\x80", 0, 1},
        {"inside a character", "中", 1, 1},
        {"truncated by the end", "\xE4\xB8", 0, 1},
        {"broken by an ascii byte",
         "\xE4"
         "ab",
         0, 1},
        {"overlong two bytes", "\xC0\x80", 0, 1},
        {"overlong three bytes", "\xE0\x80\x80", 0, 1},
        {"surrogate", "\xED\xA0\x80", 0, 1},
        {"past U+10FFFF", "\xF4\x90\x80\x80", 0, 1},
        {"byte that never leads", "\xFF", 0, 1},
        {"at the end", "ab", 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(character_length(c.text, c.position), c.expected);
    }
}

TEST(FindTextTest, FindsFromAStartOnCharacterBoundaries) {
    struct Case {
        const char* name;
        std::string text;
        std::string needle;
        long start;
        bool ignore_case;
        long expected;
    };
    const Case cases[] = {
        {"first", "abcabc", "bc", 1, false, 2},
        {"from a start", "abcabc", "bc", 3, false, 5},
        {"at the start itself", "abcabc", "bc", 5, false, 5},
        {"absent", "abcabc", "cb", 1, false, -1},
        {"start before 1", "abc", "a", -5, false, 1},
        {"start past the end", "abc", "c", 4, false, -1},
        {"at the very end", "abc", "c", 3, false, 3},
        {"needle longer than the text", "ab", "abc", 1, false, -1},
        {"empty needle", "abc", "", 1, false, -1},
        {"empty text", "", "a", 1, false, -1},
        {"case matters", "ABC", "b", 1, false, -1},
        {"ignoring ascii case", "xABC", "bc", 1, true, 3},
        {"non-ascii letters keep their case", "É", "é", 1, true, -1},
        {"multi-byte needle", "靓号AA靓号", "靓号", 2, false, 9},
        {"mixed needle ignoring case", "靓号ab", "号AB", 1, true, 4},
        {"byte offsets count", "中a", "a", 1, false, 4},
        {"start inside a character", "中a中", "中", 2, false, 5},
        // The traps: the bytes of the needle stand in the text, but across characters.
        {"across a boundary", "中国", "\xAD\xE5", 1, false, -1},
        {"tail of a character", "中国", "\xB8\xAD", 1, false, -1},
        {"head of a character", "中", "\xE4\xB8", 1, false, -1},
        {"tail then ascii", "中a",
         "\xAD"
         "a",
         1, false, -1},
        {"ignoring case across a boundary", "中国", "\xAD\xE5", 1, true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(find_text(c.text, c.needle, c.start, c.ignore_case), c.expected);
    }
}

TEST(FindTextTest, BrokenBytesAreCharactersOfTheirOwn) {
    // A stray byte does not swallow the bytes after it, so text after it is still found.
    EXPECT_EQ(find_text("\xE4"
                        "ab",
                        "ab"),
              2);
    EXPECT_EQ(find_text("\xFF\xFE"
                        "x",
                        "\xFE"
                        "x"),
              2);
}

TEST(MiddleTextTest, ClipsToTheText) {
    struct Case {
        const char* name;
        long start;
        long length;
        std::string expected;
    };
    const std::string text = "abcdef";
    const Case cases[] = {
        {"inside", 2, 3, "bcd"},
        {"whole", 1, 6, "abcdef"},
        {"past the end", 5, 10, "ef"},
        {"starting past the end", 7, 2, ""},
        {"zero length", 2, 0, ""},
        {"negative length", 2, -1, ""},
        {"starting before the text", 0, 3, "ab"},
        {"ending before the text", -2, 3, ""},
        {"huge length", 3, LONG_MAX, "cdef"},
        {"extreme start", LONG_MIN, LONG_MAX, ""},
        {"extreme start past the end", LONG_MAX, LONG_MAX, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(middle_text(text, c.start, c.length), c.expected);
    }
    EXPECT_EQ(middle_text("", 1, 5), "");
}

TEST(ReplaceTextTest, ReplacesLeftToRightWithoutOverlap) {
    struct Case {
        const char* name;
        std::string text;
        std::string from;
        std::string to;
        long count;
        std::string expected;
    };
    const Case cases[] = {
        {"all", "a#引号b#引号", "#引号", "\"", -1, "a\"b\""},
        {"first one", "xaxax", "x", "y", 1, "yaxax"},
        {"first two", "xaxax", "x", "y", 2, "yayax"},
        {"more than there are", "xax", "x", "y", 10, "yay"},
        {"none", "xax", "x", "y", 0, "xax"},
        {"non-overlapping", "aaaa", "aa", "b", -1, "bb"},
        {"left to right", "aaa", "aa", "b", -1, "ba"},
        {"replacement holds the pattern", "aba", "a", "aa", -1, "aabaa"},
        {"to nothing", "a b c", " ", "", -1, "abc"},
        {"empty pattern", "abc", "", "x", -1, "abc"},
        {"absent", "abc", "d", "x", -1, "abc"},
        {"multi-byte", "靓号靓号", "号", "码", -1, "靓码靓码"},
        {"across a boundary", "中国", "\xAD\xE5", "x", -1, "中国"},
        {"case matters", "Aa", "a", "b", -1, "Ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(replace_text(c.text, c.from, c.to, c.count), c.expected);
    }
}

TEST(TextPrimitivesTest, BytesSpacesAndZeroBytes) {
    EXPECT_EQ(text_bytes_length("靓号AB"), 8u);
    EXPECT_EQ(text_bytes_length(""), 0u);
    EXPECT_EQ(spaces_text(4), "    ");
    EXPECT_EQ(spaces_text(0), "");
    EXPECT_EQ(zero_bytes(3), std::string(3, '\0'));
    EXPECT_EQ(bytes_to_text(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(bytes_to_text(std::string("\0ab", 3)), "");
    EXPECT_EQ(bytes_to_text("abc"), "abc");
}

}  // namespace
}  // namespace quavik
