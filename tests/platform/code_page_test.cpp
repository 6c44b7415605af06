// The code-page layer: the system's two conversion functions over iconv, and the conversion
// helper on top of them.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/code_page.h"

namespace quavik {
namespace {

std::u16string to_wide(UINT code_page, std::string_view bytes, DWORD flags = 0) {
    const int units = MultiByteToWideChar(code_page, flags, bytes.data(),
                                          static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    if (units > 0) {
        EXPECT_EQ(MultiByteToWideChar(code_page, flags, bytes.data(),
                                      static_cast<int>(bytes.size()), wide.data(), units),
                  units);
    }
    return wide;
}

struct Sample {
    const char* name;
    UINT code_page;
    std::string utf8;
    std::string bytes;  // the same text in the code page
};

const Sample kSamples[] = {
    {"gbk", 936, "中文：【", "\xD6\xD0\xCE\xC4\xA3\xBA\xA1\xBE"},
    {"gbk euro sign", 936, "€", "\x80"},
    {"gb18030 beyond the BMP", 54936, "€😀", "\xA2\xE3\x94\x39\xFC\x36"},
    {"utf-8", 65001, "靓号 AB", "靓号 AB"},
    {"program code page", CP_ACP, "靓号", "靓号"},
    {"windows-1252", 1252, "é€", "\xE9\x80"},
    {"us-ascii", 20127, "AZaz09", "AZaz09"},
    {"iso-8859-1", 28591, "é", "\xE9"},
    {"big5", 950, "中文", "\xA4\xA4\xA4\xE5"},
    {"shift_jis", 932, "日本", "\x93\xFA\x96\x7B"},
    {"utf-16le", 1200, "A中😀", std::string("A\x00\x2D\x4E\x3D\xD8\x00\xDE", 8)},
};

TEST(CodePageTest, ConvertsBothWaysInEveryCodePage) {
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.name);
        EXPECT_EQ(convert_code_page(sample.utf8, CP_UTF8, sample.code_page), sample.bytes);
        EXPECT_EQ(convert_code_page(sample.bytes, sample.code_page, CP_UTF8), sample.utf8);
    }
}

TEST(CodePageTest, MinusOneConvertsTheTerminatorToo) {
    const char* gbk = "\xD6\xD0\xCE\xC4";
    ASSERT_EQ(MultiByteToWideChar(936, 0, gbk, -1, nullptr, 0), 3);
    WCHAR wide[3] = {1, 1, 1};
    ASSERT_EQ(MultiByteToWideChar(936, 0, gbk, -1, wide, 3), 3);
    EXPECT_EQ(std::u16string(wide, 3), std::u16string(u"中文\0", 3));

    ASSERT_EQ(WideCharToMultiByte(936, 0, wide, -1, nullptr, 0, nullptr, nullptr), 5);
    char bytes[5] = {1, 1, 1, 1, 1};
    ASSERT_EQ(WideCharToMultiByte(936, 0, wide, -1, bytes, 5, nullptr, nullptr), 5);
    EXPECT_EQ(std::string(bytes, 5), std::string(gbk, 5));

    // UTF-16 bytes end at a zero unit, not at the first zero byte.
    const char utf16[] = {'A', 0, 0x2D, 0x4E, 0, 0};
    EXPECT_EQ(MultiByteToWideChar(1200, 0, utf16, -1, nullptr, 0), 3);
}

TEST(CodePageTest, TooSmallBufferFailsWithoutWritingPastIt) {
    const std::string utf8 = "中文";
    WCHAR wide[3] = {u'x', u'x', u'x'};
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), 6, wide, 1), 0);
    EXPECT_EQ(wide[1], u'x');
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), 6, wide, 2), 2);
    EXPECT_EQ(wide[2], u'x');

    char bytes[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(WideCharToMultiByte(936, 0, wide, 2, bytes, 3, nullptr, nullptr), 0);
    EXPECT_EQ(bytes[3], 'x');
    EXPECT_EQ(WideCharToMultiByte(936, 0, wide, 2, bytes, 4, nullptr, nullptr), 4);
    EXPECT_EQ(bytes[4], 'x');
}

TEST(CodePageTest, InvalidBytesFailWhenStrictAndBecomeReplacementsOtherwise) {
    struct Case {
        const char* name;
        UINT code_page;
        std::string bytes;
        std::u16string lenient;
    };
    const Case cases[] = {
        {"utf-8 stray byte", CP_UTF8,
         "a\xFF"
         "b",
         u"a\uFFFDb"},
        {"utf-8 surrogate", CP_UTF8, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"utf-8 truncated at the end", CP_UTF8, "a\xE4\xB8", u"a\uFFFD"},
        {"gbk lead byte at the end", 936, "a\x81", u"a\uFFFD"},
        {"gbk lead byte before a space", 936, "\x81 b", u"\uFFFD b"},
        {"gbk byte that never leads", 936,
         "\xFF"
         "a",
         u"\uFFFDa"},
        {"ascii high byte", 20127, "a\xE9", u"a\uFFFD"},
        {"utf-16 odd byte at the end", 1200, std::string("A\x00\x41", 3), u"A\uFFFD"},
        {"utf-16 lone low surrogate", 1200,
         std::string("\x00\xDC"
                     "B\x00",
                     4),
         u"\uFFFDB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MultiByteToWideChar(c.code_page, MB_ERR_INVALID_CHARS, c.bytes.data(),
                                      static_cast<int>(c.bytes.size()), nullptr, 0),
                  0);
        EXPECT_EQ(to_wide(c.code_page, c.bytes), c.lenient);
        EXPECT_EQ(convert_code_page(c.bytes, c.code_page, CP_UTF8), std::nullopt);
    }
}

TEST(CodePageTest, UnwritableCharactersUseTheDefaultCharacter) {
    const std::u16string wide = u"a中b";
    const int units = static_cast<int>(wide.size());
    char bytes[8] = {};

    BOOL used = 0;
    ASSERT_EQ(WideCharToMultiByte(1252, 0, wide.data(), units, bytes, 8, nullptr, &used), 3);
    EXPECT_EQ(std::string(bytes, 3), "a?b");
    EXPECT_TRUE(used);

    used = 0;
    ASSERT_EQ(WideCharToMultiByte(1252, 0, wide.data(), units, bytes, 8, "*", &used), 3);
    EXPECT_EQ(std::string(bytes, 3), "a*b");
    EXPECT_TRUE(used);

    // A character beyond the BMP is one character: one default character for its two units.
    const std::u16string emoji = u"x😀y";
    ASSERT_EQ(WideCharToMultiByte(936, 0, emoji.data(), 4, bytes, 8, nullptr, &used), 3);
    EXPECT_EQ(std::string(bytes, 3), "x?y");

    ASSERT_EQ(WideCharToMultiByte(936, 0, u"中", 1, bytes, 8, nullptr, &used), 2);
    EXPECT_FALSE(used);

    EXPECT_EQ(convert_code_page("a中b", CP_UTF8, 1252), std::nullopt);
}

TEST(CodePageTest, LoneSurrogatesToUnicodeCodePages) {
    const std::u16string lone = {u'a', 0xD800, u'b', 0xDC00};
    const int units = static_cast<int>(lone.size());
    char bytes[16] = {};

    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone.data(), units, bytes, 16, nullptr, nullptr), 8);
    EXPECT_EQ(std::string(bytes, 8),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone.data(), units, nullptr, 0,
                                  nullptr, nullptr),
              0);

    ASSERT_EQ(WideCharToMultiByte(54936, 0, lone.data(), 2, bytes, 16, nullptr, nullptr), 5);
    EXPECT_EQ(std::string(bytes, 5), "a\x84\x31\xA4\x37");

    // A high surrogate as the last unit.
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone.data(), 2, bytes, 16, nullptr, nullptr), 4);
    EXPECT_EQ(std::string(bytes, 4), "a\xEF\xBF\xBD");
}

TEST(CodePageTest, BadArgumentsFail) {
    const char text[] = "abc";
    const WCHAR wide[] = u"abc";
    WCHAR wide_out[8];
    char bytes_out[8];
    BOOL used = 0;
    struct Case {
        const char* name;
        int result;
    };
    const Case cases[] = {
        {"unknown code page", MultiByteToWideChar(12345, 0, text, 3, wide_out, 8)},
        {"unknown code page, wide",
         WideCharToMultiByte(12345, 0, wide, 3, bytes_out, 8, nullptr, nullptr)},
        {"null input", MultiByteToWideChar(936, 0, nullptr, 3, wide_out, 8)},
        {"null wide input",
         WideCharToMultiByte(936, 0, nullptr, 3, bytes_out, 8, nullptr, nullptr)},
        {"empty input", MultiByteToWideChar(936, 0, text, 0, wide_out, 8)},
        {"empty wide input", WideCharToMultiByte(936, 0, wide, 0, bytes_out, 8, nullptr, nullptr)},
        {"length below -1", MultiByteToWideChar(936, 0, text, -2, wide_out, 8)},
        {"negative output size", MultiByteToWideChar(936, 0, text, 3, wide_out, -1)},
        {"null output with a size", MultiByteToWideChar(936, 0, text, 3, nullptr, 8)},
        {"null wide output with a size",
         WideCharToMultiByte(936, 0, wide, 3, nullptr, 8, nullptr, nullptr)},
        {"unknown flag", MultiByteToWideChar(936, 0x2, text, 3, wide_out, 8)},
        {"precomposed flag on utf-8", MultiByteToWideChar(CP_UTF8, 0x1, text, 3, wide_out, 8)},
        {"strict flag on gbk",
         WideCharToMultiByte(936, WC_ERR_INVALID_CHARS, wide, 3, bytes_out, 8, nullptr, nullptr)},
        {"default character for utf-8",
         WideCharToMultiByte(CP_UTF8, 0, wide, 3, bytes_out, 8, "?", nullptr)},
        {"used-default flag for utf-8",
         WideCharToMultiByte(CP_UTF8, 0, wide, 3, bytes_out, 8, nullptr, &used)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, 0);
    }
    // The flags that the system accepts there.
    EXPECT_EQ(MultiByteToWideChar(936, 0x1 | MB_ERR_INVALID_CHARS, text, 3, wide_out, 8), 3);
    EXPECT_EQ(WideCharToMultiByte(936, 0x400, wide, 3, bytes_out, 8, nullptr, &used), 3);
}

TEST(CodePageTest, ConvertCodePageKeepsEmptyAndEmbeddedZeroBytes) {
    EXPECT_EQ(convert_code_page("", CP_UTF8, 936), std::string());
    const std::string with_zero("a\0中", 5);
    EXPECT_EQ(convert_code_page(with_zero, CP_UTF8, 936), std::string("a\0\xD6\xD0", 4));
    EXPECT_EQ(convert_code_page("abc", 12345, CP_UTF8), std::nullopt);
    EXPECT_EQ(convert_code_page("abc", CP_UTF8, 12345), std::nullopt);
}

TEST(CodePageTest, ConcurrentConversionsDoNotDisturbEachOther) {
    // Each thread converts its own text back and forth in another code page; a shared
    // conversion state would mix or corrupt the results.
    const Sample& gbk = kSamples[0];
    const Sample& big5 = kSamples[8];
    const Sample& utf16 = kSamples[10];
    std::vector<int> failures(3, 0);
    std::vector<std::thread> threads;
    const Sample* samples[] = {&gbk, &big5, &utf16};
    for (std::size_t t = 0; t < 3; ++t) {
        threads.emplace_back([&, t] {
            const Sample& sample = *samples[t];
            for (int i = 0; i < 500; ++i) {
                if (convert_code_page(sample.utf8, CP_UTF8, sample.code_page) != sample.bytes ||
                    convert_code_page(sample.bytes, sample.code_page, CP_UTF8) != sample.utf8) {
                    ++failures[t];
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, std::vector<int>(3, 0));
}

}  // namespace
}  // namespace quavik
