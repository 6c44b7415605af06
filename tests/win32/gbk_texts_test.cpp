// The program's texts in GBK, where cases written for the UTF-8 build count bytes or take the
// literals for UTF-8: the reference text against its reviewed (UTF-8) copy, update pages in
// other code pages, the cut of a long description, and how refused input is quoted.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <variant>

#include "platform/code_page.h"
#include "reference/reference_text.h"
#include "search/search_request.h"
#include "update/update_check.h"
#include "update/update_page.h"

namespace quavik {
namespace {

std::string to_code_page(std::string_view program_text, UINT code_page) {
    return convert_code_page(program_text, kProgramCodePage, code_page).value_or("");
}

TEST(GbkReferenceText, MatchesTheReviewedCopy) {
    std::ifstream file(QUAVIK_TEST_DATA "/reference_text.txt", std::ios::binary);
    ASSERT_TRUE(file) << "cannot read " QUAVIK_TEST_DATA "/reference_text.txt";
    const std::string golden_utf8{std::istreambuf_iterator<char>(file), {}};
    const std::optional<std::string> golden =
        convert_code_page(golden_utf8, kCodePageUtf8, kProgramCodePage);
    ASSERT_TRUE(golden.has_value()) << "the reviewed copy has a character GBK cannot write";
    const std::string text = build_reference_text();
    EXPECT_EQ(text.size(), golden->size());
    std::size_t first_difference = 0;
    while (first_difference < std::min(text.size(), golden->size()) &&
           text[first_difference] == (*golden)[first_difference]) {
        ++first_difference;
    }
    EXPECT_EQ(text, *golden) << "first difference at byte " << first_difference;
}

TEST(GbkUpdatePage, ConvertsEveryDeclaredCodePageToProgramText) {
    const std::string program_page =
        "<html>tazep[edition]=2.0[/edition][downloadURL]=http://update.test/d.zip"
        "[/downloadURL][explain]=修复：号码列表“显示”问题[/explain] var sogou_ad_width=360</html>";
    const UpdateFields fields{"2.0", "http://update.test/d.zip", "修复：号码列表“显示”问题"};
    struct Case {
        const char* name;
        std::string content_type;
        std::string bytes;
    };
    const std::string utf8_page = to_code_page(program_page, kCodePageUtf8);
    ASSERT_FALSE(utf8_page.empty());
    const Case cases[] = {
        {"GBK page, nothing declared", "", to_code_page(program_page, kCodePageGbk)},
        {"UTF-8 page, declared in the header", "text/html; charset=utf-8", utf8_page},
        {"UTF-8 page, declared by meta", "", "<meta charset=\"utf-8\">" + utf8_page},
        {"UTF-8 page with a byte-order mark", "", "\xEF\xBB\xBF" + utf8_page},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_EQ(parse_update_page(c.bytes, c.content_type, &error), fields) << error;
    }
}

TEST(GbkUpdatePage, ConvertsAGb18030Page) {
    if (!IsValidCodePage(54936)) {
        GTEST_SKIP() << "this system has no GB18030 code page (Wine 8 has none)";
    }
    const std::string program_page =
        "tazep[edition]=2.0[/edition][downloadURL]=http://update.test/d.zip[/downloadURL]"
        "[explain]=修复[/explain] var sogou_ad_width=360";
    std::string error;
    EXPECT_EQ(
        parse_update_page(to_code_page(program_page, 54936), "text/html; charset=gb18030", &error),
        (UpdateFields{"2.0", "http://update.test/d.zip", "修复"}))
        << error;
}

TEST(GbkUpdatePage, InvalidBytesOfTheDeclaredCodePageFail) {
    std::string error;
    EXPECT_EQ(parse_update_page("tazep\xC3\x28[edition]=2.0[/edition] var sogou_ad_width=360",
                                "text/html; charset=utf-8", &error),
              std::nullopt);
    EXPECT_NE(error.find("无效"), std::string::npos) << error;
}

TEST(GbkUpdateTexts, LongDescriptionIsCutBetweenDoubleByteCharacters) {
    std::string at_limit = "xx";
    while (at_limit.size() < kMaxExplainShown) {
        at_limit += "新";  // two bytes in GBK
    }
    ASSERT_EQ(at_limit.size(), kMaxExplainShown);
    EXPECT_EQ(update_offer_text("2.0", at_limit),
              "发现新版本：2.0\r\n\r\n" + at_limit + "\r\n\r\n是否下载更新？");
    // "xxx", then double-byte characters: the last whole one ends a byte before the limit.
    const std::string over_limit = "x" + at_limit;
    EXPECT_EQ(update_offer_text("2.0", over_limit), "发现新版本：2.0\r\n\r\n" +
                                                        over_limit.substr(0, kMaxExplainShown - 1) +
                                                        "……\r\n\r\n是否下载更新？");
}

TEST(GbkSearchInput, QuotesOddInputSafelyAndShort) {
    struct Row {
        const char* name;
        std::string pattern;
        std::string_view quoted;
    };
    const Row rows[] = {
        {"NUL byte", std::string("AA\0AA", 5), "“AA?AA”"},
        {"lead byte at the end", "A\x81", "“A?”"},
        {"lead byte before a digit",
         "A\x81"
         "1",
         "“A?1”"},
        {"long CJK value cut on a character", "靓靓靓靓靓靓靓靓靓靓靓靓靓靓靓靓靓靓",
         "“靓靓靓靓靓靓靓靓靓靓靓靓靓靓靓靓…”"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const SearchInputCheck check = validate_search_input("10", "101", row.pattern);
        const auto* refusal = std::get_if<SearchRefusal>(&check);
        ASSERT_NE(refusal, nullptr);
        EXPECT_EQ(refusal->box, "编辑框4");
        EXPECT_NE(refusal->message.find(row.quoted), std::string::npos) << refusal->message;
    }
}

}  // namespace
}  // namespace quavik
