#include "update/update_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "platform/code_page.h"

namespace quavik {
namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "cannot open " << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string to_gbk(std::string_view program_text) {
    const std::optional<std::string> bytes =
        convert_code_page(program_text, kProgramCodePage, kCodePageGbk);
    EXPECT_TRUE(bytes.has_value()) << "not writable in GBK: " << program_text;
    return bytes.value_or(std::string());
}

// A well-formed section with the given field lines between its bounds.
std::string page_with(std::string_view fields) {
    return "<html><body><pre>tazep\n" + std::string(fields) +
           "\n</pre><script>var sogou_ad_width=360;</script></body></html>";
}

constexpr std::string_view kThreeFields =
    "[edition]=2.0[/edition]\n"
    "[downloadURL]=http://update.test/download/q-2.0.zip[/downloadURL]\n"
    "[explain]=D[/explain]";

// ---------------------------------------------------------------------------------------------
// The update section of a page that is already program text.

struct SectionCase {
    const char* name;
    std::string page;
    std::optional<UpdateFields> fields;  // nothing: the parse fails ...
    const char* reason;                  // ... with a reason that contains this
};

TEST(ParseUpdateSection, TakesTheFieldsOrSaysWhyNot) {
    const UpdateFields kPlain{"2.0", "http://update.test/download/q-2.0.zip", "D"};
    const SectionCase cases[] = {
        {"plain", page_with(kThreeFields), kPlain, ""},
        {"values keep spaces and line ends",
         page_with("[edition]= 2.0 [/edition][downloadURL]=u\r\n[/downloadURL]"
                   "[explain]=\r\n第一行\r\n 第二行 [/explain]"),
         UpdateFields{" 2.0 ", "u\r\n", "\r\n第一行\r\n 第二行 "}, ""},
        {"#引号 becomes a double quote in every value",
         page_with("[edition]=#引号2#引号[/edition][downloadURL]=a#引号b[/downloadURL]"
                   "[explain]=支持#引号AAAA#引号和#引号[/explain]"),
         UpdateFields{"\"2\"", "a\"b", "支持\"AAAA\"和\""}, ""},
        {"fields in any order",
         page_with("[explain]=D[/explain][downloadURL]=http://update.test/download/q-2.0.zip"
                   "[/downloadURL][edition]=2.0[/edition]"),
         kPlain, ""},
        {"empty values",
         page_with("[edition]=[/edition][downloadURL]=[/downloadURL][explain]=[/explain]"),
         UpdateFields{"", "", ""}, ""},
        {"markers outside the section are not looked at",
         "[edition]=9.9[/edition]" + page_with(kThreeFields) + "[explain]=late[/explain]", kPlain,
         ""},
        {"the first tazep opens the section, a later one is text",
         page_with("tazep " + std::string(kThreeFields) + " /tazep"), kPlain, ""},
        {"empty page", "", std::nullopt, "页面中没有更新信息"},
        {"no section", "<html>[edition]=2.0[/edition]</html>", std::nullopt, "页面中没有更新信息"},
        {"section never closed", "tazep " + std::string(kThreeFields), std::nullopt,
         "更新信息不完整"},
        {"closing text only before the opening one",
         "var sogou_ad_width=360 tazep " + std::string(kThreeFields), std::nullopt,
         "更新信息不完整"},
        {"bounds are case-sensitive",
         "TAZEP " + std::string(kThreeFields) + " var sogou_ad_width=360", std::nullopt,
         "页面中没有更新信息"},
        {"missing field", page_with("[edition]=2.0[/edition][explain]=D[/explain]"), std::nullopt,
         "缺少字段 [downloadURL]"},
        {"field only after the section",
         page_with("[edition]=2.0[/edition][downloadURL]=u[/downloadURL]") +
             "[explain]=D[/explain]",
         std::nullopt, "缺少字段 [explain]"},
        {"field cut by the end of the section",
         "tazep [edition]=2.0[/edition][downloadURL]=u[/downloadURL][explain]=D "
         "var sogou_ad_width=360 [/explain]",
         std::nullopt, "[explain] 没有结束标记"},
        {"markers are case-sensitive",
         page_with("[Edition]=2.0[/Edition][downloadURL]=u[/downloadURL][explain]=D[/explain]"),
         std::nullopt, "缺少字段 [edition]"},
        {"closing marker before the opening one",
         page_with("[/edition]2.0[edition]=[downloadURL]=u[/downloadURL][explain]=D[/explain]"),
         std::nullopt, "[edition] 的结束标记在开始标记之前"},
        {"opening marker twice",
         page_with("[edition]=2.0[/edition][edition]=3.0[downloadURL]=u[/downloadURL]"
                   "[explain]=D[/explain]"),
         std::nullopt, "[edition] 出现了多次"},
        {"whole field twice", page_with(std::string(kThreeFields) + "[explain]=E[/explain]"),
         std::nullopt, "[explain] 出现了多次"},
        {"closing marker twice",
         page_with("[edition]=2.0[/edition][/edition][downloadURL]=u[/downloadURL]"
                   "[explain]=D[/explain]"),
         std::nullopt, "[edition] 出现了多次"},
        {"a field inside another",
         page_with("[explain]=D [edition]=2.0[/edition] E[/explain][downloadURL]=u[/downloadURL]"),
         std::nullopt, "交叠"},
        {"fields that overlap",
         page_with("[edition]=2.0[explain]=D[/edition][/explain][downloadURL]=u[/downloadURL]"),
         std::nullopt, "交叠"},
    };
    for (const SectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error = "stale";
        const std::optional<UpdateFields> fields = parse_update_section(c.page, &error);
        EXPECT_EQ(fields, c.fields);
        if (c.fields) {
            EXPECT_EQ(error, "stale") << "a successful parse leaves the reason alone";
        } else {
            EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Which code page the page is read in.

struct CharsetCase {
    const char* name;
    std::string content_type;
    std::string bytes;
    std::optional<UINT> code_page;  // nothing: refused ...
    const char* reason;             // ... with a reason that contains this
};

TEST(PageCodePage, FollowsTheDeclarationOrDefaultsToGbk) {
    const std::string padding(1100, ' ');
    const CharsetCase cases[] = {
        {"nothing declared", "", "<html>tazep</html>", 936, ""},
        {"header without charset", "text/html", "<html></html>", 936, ""},
        {"header gbk", "text/html; charset=gbk", "", 936, ""},
        {"header GB2312, upper case", "text/html; charset=GB2312", "", 936, ""},
        {"header gb18030", "text/html;charset=gb18030", "", 54936, ""},
        {"header quoted utf-8", "text/html; charset=\"UTF-8\"", "", 65001, ""},
        {"header charset after another parameter", "text/html; q=1 ; Charset = utf-8", "", 65001,
         ""},
        {"meta charset", "", "<html><head><meta charset=\"utf-8\">", 65001, ""},
        {"meta charset without quotes", "text/html", "<META CHARSET=utf8>", 65001, ""},
        {"meta http-equiv", "",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />", 936, ""},
        {"header wins over meta", "text/html; charset=utf-8", "<meta charset=\"gbk\">", 65001, ""},
        {"UTF-8 byte-order mark wins over everything", "text/html; charset=gbk",
         "\xEF\xBB\xBF<meta charset=gbk>", 65001, ""},
        {"meta beyond the first 1024 bytes is not seen", "",
         "<html>" + padding + "<meta charset=\"utf-8\">", 936, ""},
        {"a tag that only starts like meta", "", "<metadata charset=\"utf-8\">", 936, ""},
        {"meta without a charset value", "", "<meta charset=\"\"><meta charset=utf-8>", 65001, ""},
        {"unsupported header charset", "text/html; charset=iso-8859-1", "", std::nullopt,
         "字符集不受支持：iso-8859-1"},
        {"unsupported meta charset", "", "<meta charset=\"shift_jis\">", std::nullopt,
         "字符集不受支持：shift_jis"},
        {"UTF-16 byte-order mark", "", "\xFF\xFE<\0h\0", std::nullopt, "字符集不受支持"},
        {"a long charset name is not repeated", "text/html; charset=" + std::string(300, 'x'), "",
         std::nullopt, "字符集不受支持"},
    };
    for (const CharsetCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_EQ(page_code_page(c.content_type, c.bytes, &error), c.code_page);
        if (!c.code_page) {
            EXPECT_NE(error.find(c.reason), std::string::npos) << error;
            EXPECT_LT(error.size(), 100u) << "the reason stays short";
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Whole pages: bytes as fetched to fields.

struct PageCase {
    const char* name;
    std::string content_type;
    std::string bytes;
    std::optional<UpdateFields> fields;
    const char* reason;
};

TEST(ParseUpdatePage, ConvertsThePageBeforeSearchingIt) {
    const std::string utf8_page = page_with(
        "[edition]=2.0[/edition][downloadURL]=http://update.test/d.zip[/downloadURL]"
        "[explain]=修复：号码列表“显示”问题[/explain]");
    const UpdateFields utf8_fields{"2.0", "http://update.test/d.zip", "修复：号码列表“显示”问题"};
    // A GBK character whose second byte is '[' (0xB0 0x5B, 癧) or 't' (0xB0 0x74, 皌): byte by
    // byte the marker seems to start inside it, character by character it does not.
    const std::string gbk_field_lines = "[downloadURL]=u[/downloadURL][explain]=D[/explain]";
    const PageCase cases[] = {
        {"GBK page, nothing declared", "", to_gbk(utf8_page), utf8_fields, ""},
        {"GBK page, declared in the header", "text/html; charset=GBK", to_gbk(utf8_page),
         utf8_fields, ""},
        {"UTF-8 page, declared in the header", "text/html; charset=utf-8", utf8_page, utf8_fields,
         ""},
        {"UTF-8 page, declared by meta", "", "<meta charset=\"utf-8\">" + utf8_page, utf8_fields,
         ""},
        {"UTF-8 page with a byte-order mark", "", "\xEF\xBB\xBF" + utf8_page, utf8_fields, ""},
        {"GB18030 page", "text/html; charset=gb18030",
         convert_code_page(utf8_page, kProgramCodePage, 54936).value_or(""), utf8_fields, ""},
        {"a value ending in a character whose trail byte is '['", "",
         "tazep[edition]=2.0[/edition][downloadURL]=u[/downloadURL]"
         "[explain]=\xB0\x5B[/explain] var sogou_ad_width=360",
         UpdateFields{"2.0", "u", "癧"}, ""},
        {"'t' as a trail byte does not start the section", "",
         "\xB0tazep[edition]=2.0[/edition]" + gbk_field_lines + "var sogou_ad_width=360",
         std::nullopt, "页面中没有更新信息"},
        {"'[' as a trail byte does not open a field", "",
         "tazep\xB0[edition]=2.0[/edition]" + gbk_field_lines + "var sogou_ad_width=360",
         std::nullopt, "缺少字段 [edition]"},
        {"'[' as a trail byte does not close a field", "",
         "tazep[edition]=2.0\xB0[/edition]" + gbk_field_lines + "var sogou_ad_width=360",
         std::nullopt, "[edition] 没有结束标记"},
        {"invalid GBK bytes fail, they are no empty page", "",
         "tazep\xFF\xFF" + std::string(kThreeFields) + "var sogou_ad_width=360", std::nullopt,
         "无效"},
        {"a GBK page ending inside a character", "", to_gbk(utf8_page) + "\xB0", std::nullopt,
         "无效"},
        {"invalid UTF-8 in a UTF-8 page", "text/html; charset=utf-8",
         "tazep\xC3\x28" + std::string(kThreeFields) + "var sogou_ad_width=360", std::nullopt,
         "无效"},
        {"UTF-8 page read as GBK (undeclared) does not pass as fields", "", utf8_page, std::nullopt,
         "无效"},
        {"unsupported charset", "text/html; charset=koi8-r", utf8_page, std::nullopt,
         "字符集不受支持"},
        {"a zero byte ends the page", "text/html; charset=utf-8",
         "tazep" + std::string(kThreeFields) + std::string(1, '\0') + "var sogou_ad_width=360",
         std::nullopt, "更新信息不完整"},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        const std::optional<UpdateFields> fields =
            parse_update_page(c.bytes, c.content_type, &error);
        EXPECT_EQ(fields, c.fields) << error;
        if (!c.fields) {
            EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        }
    }
}

// Where the program's own texts are GBK (the Windows build), the section is searched in GBK
// text directly: the text primitives must not match a marker inside a double-byte character.
TEST(ParseUpdateSection, GbkProgramTextIsSearchedByCharacter) {
    if (kProgramCodePage != kCodePageGbk) {
        GTEST_SKIP() << "program texts are not GBK in this build; UTF-8 never holds ASCII bytes "
                        "inside a character";
    }
    std::string error;
    EXPECT_FALSE(parse_update_section(
        "tazep\xB0[edition]=2.0[/edition][downloadURL]=u[/downloadURL][explain]=D[/explain]"
        "var sogou_ad_width=360",
        &error));
    EXPECT_NE(error.find("[edition]"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// The page we publish.

TEST(PublishedPage, IsTheGbkFormOfItsSourceAndSaysTheCurrentRelease) {
    const std::string published = read_file(QUAVIK_SOURCE_DIR "/service/www/tazep.html");
    const std::string source = read_file(QUAVIK_TEST_DATA "/update/tazep.utf8.html");
    ASSERT_FALSE(source.empty());
    EXPECT_EQ(published, convert_code_page(source, kCodePageUtf8, kCodePageGbk))
        << "service/www/tazep.html is out of date: regenerate it from "
           "tests/data/update/tazep.utf8.html (see the note in tests/data/update/README)";

    // As the local service serves it, and as a server that sends no charset does.
    for (const char* content_type : {"text/html; charset=gbk", ""}) {
        SCOPED_TRACE(content_type);
        std::string error;
        const std::optional<UpdateFields> fields =
            parse_update_page(published, content_type, &error);
        ASSERT_TRUE(fields) << error;
        EXPECT_EQ(fields->edition, "1.0.0.0");
        EXPECT_TRUE(fields->download_url.starts_with("http://")) << fields->download_url;
        EXPECT_NE(fields->download_url.find("/download/"), std::string::npos);
        EXPECT_FALSE(fields->explain.empty());
    }
}

// Inputs kept from fuzzing (tests/data/update/*.bin): the first line is the Content-Type header,
// the rest the page. Each gives fields or a reason, never a crash.
TEST(ParseUpdatePage, KeptFuzzInputsGiveFieldsOrAReason) {
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUAVIK_TEST_DATA "/update")) {
        if (entry.path().extension() != ".bin") {
            continue;
        }
        SCOPED_TRACE(entry.path().filename().string());
        ++inputs;
        const std::string input = read_file(entry.path().string());
        const std::size_t line_end = input.find('\n');
        const std::string content_type =
            line_end == std::string::npos ? std::string() : input.substr(0, line_end);
        const std::string page = line_end == std::string::npos ? input : input.substr(line_end + 1);
        std::string error;
        if (!parse_update_page(page, content_type, &error)) {
            EXPECT_FALSE(error.empty());
        }
    }
    EXPECT_GT(inputs, 0) << "the seed inputs are missing";
}

TEST(UpdateUrl, IsTheFixedSchemeAndPathAroundTheHost) {
    EXPECT_EQ(build_update_url("update.quavik.example"), "http://update.quavik.example/tazep");
    EXPECT_EQ(build_update_url("127.0.0.1:8080"), "http://127.0.0.1:8080/tazep");
}

}  // namespace
}  // namespace quavik
