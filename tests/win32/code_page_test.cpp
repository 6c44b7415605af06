// The code-page layer on the system's own MultiByteToWideChar and WideCharToMultiByte, under a
// Chinese locale: the program's texts are GBK, and convert_code_page takes them to and from the
// code pages that pages declare.
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"

namespace quavik {
namespace {

// The UTF-8 bytes of a text given as UTF-16, so the expectations do not depend on the
// execution character set.
std::string utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}

TEST(Win32CodePage, ProgramTextsAreGbk) {
    ASSERT_EQ(GetACP(), 936u) << "run the Windows tests under a Chinese locale (code page 936)";
    // The literal is compiled into GBK: 靓 is F6 A6, 号 is BA C5, the full-width colon A3 BA.
    EXPECT_EQ(std::string("靓号："), "\xF6\xA6\xBA\xC5\xA3\xBA");
    EXPECT_EQ(convert_code_page("靓号：", kProgramCodePage, kCodePageGbk), "靓号：");
}

TEST(Win32CodePage, ConvertsBothWays) {
    struct Sample {
        const char* name;
        UINT code_page;
        std::string utf8;
        std::string bytes;
    };
    const Sample samples[] = {
        {"gbk", 936, utf8(L"中文：【"), "\xD6\xD0\xCE\xC4\xA3\xBA\xA1\xBE"},
        {"program code page", CP_ACP, utf8(L"靓号"), "\xF6\xA6\xBA\xC5"},
        {"utf-8", CP_UTF8, utf8(L"靓号 AB"), utf8(L"靓号 AB")},
        {"windows-1252", 1252, utf8(L"\u00E9\u20AC"), "\xE9\x80"},
        {"big5", 950, utf8(L"中文"), "\xA4\xA4\xA4\xE5"},
    };
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.name);
        EXPECT_EQ(convert_code_page(sample.utf8, CP_UTF8, sample.code_page), sample.bytes);
        EXPECT_EQ(convert_code_page(sample.bytes, sample.code_page, CP_UTF8), sample.utf8);
    }
}

TEST(Win32CodePage, Gb18030ReachesBeyondTheBasicPlane) {
    if (!IsValidCodePage(54936)) {
        GTEST_SKIP() << "this system has no GB18030 code page (Wine 8 has none)";
    }
    const std::string utf8_text = utf8(L"\u20AC\U0001F600");
    EXPECT_EQ(convert_code_page(utf8_text, CP_UTF8, 54936), "\xA2\xE3\x94\x39\xFC\x36");
    EXPECT_EQ(convert_code_page("\xA2\xE3\x94\x39\xFC\x36", 54936, CP_UTF8), utf8_text);
}

TEST(Win32CodePage, RefusesWhatItCannotCarryOver) {
    struct Case {
        const char* name;
        std::string bytes;
        UINT from;
        UINT to;
    };
    const Case cases[] = {
        {"gbk lead byte at the end", "a\x81", 936, CP_UTF8},
        {"invalid utf-8", "\xC3\x28", CP_UTF8, 936},
        {"a character gbk cannot write", utf8(L"\U0001F600"), CP_UTF8, 936},
        {"a character windows-1252 cannot write", utf8(L"中"), CP_UTF8, 1252},
        {"unknown code page", "abc", 12345, CP_UTF8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(convert_code_page(c.bytes, c.from, c.to), std::nullopt);
    }
    EXPECT_EQ(convert_code_page("", CP_UTF8, 936), std::string());
    EXPECT_EQ(convert_code_page(std::string("a\0b", 3), CP_UTF8, 936), std::string("a\0b", 3));
}

}  // namespace
}  // namespace quavik
