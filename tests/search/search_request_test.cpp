#include "search/search_request.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace quavik {
namespace {

// The query of a URL split at '&' into "key=value" parts; the fragment, if any, kept apart.
struct SplitUrl {
    std::string before_query;
    std::vector<std::string> parts;
    bool has_fragment = false;
};

SplitUrl split_url(const std::string& url) {
    SplitUrl split;
    split.has_fragment = url.find('#') != std::string::npos;
    const std::size_t question = url.find('?');
    split.before_query = url.substr(0, question);
    std::string query = question == std::string::npos ? "" : url.substr(question + 1);
    std::size_t start = 0;
    for (std::size_t amp = query.find('&');; amp = query.find('&', start)) {
        split.parts.push_back(query.substr(start, amp - start));
        if (amp == std::string::npos) {
            break;
        }
        start = amp + 1;
    }
    return split;
}

TEST(BuildSearchUrl, EncodesEveryValueSoNoKeyOrFragmentCanBeAdded) {
    struct Row {
        const char* name;
        std::string_view province, city, pattern;
        std::string_view expected_query;  // after "?"
    };
    const Row rows[] = {
        {"plain values", "10", "101", "AAAA", "shengfenid=10&shiquid=101&lh=AAAA"},
        {"ampersand adds no key", "10&lh=X", "101", "AAAA",
         "shengfenid=10%26lh%3DX&shiquid=101&lh=AAAA"},
        {"hash adds no fragment", "10", "101#top", "AAAA",
         "shengfenid=10&shiquid=101%23top&lh=AAAA"},
        {"percent is encoded itself", "10", "101", "%41A", "shengfenid=10&shiquid=101&lh=%2541A"},
        {"space and plus", " 1+0", "101", "AAAA", "shengfenid=%201%2B0&shiquid=101&lh=AAAA"},
        {"slash and question mark", "10", "1/0?1", "AAAA",
         "shengfenid=10&shiquid=1%2F0%3F1&lh=AAAA"},
        {"CJK bytes as they are", "10", "101", "\xE9\x9D\x93",
         "shengfenid=10&shiquid=101&lh=%E9%9D%93"},
        {"high and control bytes", std::string_view("\x00\x7F\xFF", 3), "101", "AAAA",
         "shengfenid=%00%7F%FF&shiquid=101&lh=AAAA"},
        {"unreserved marks stay", "-._~", "101", "AAAA", "shengfenid=-._~&shiquid=101&lh=AAAA"},
        {"empty values", "", "", "", "shengfenid=&shiquid=&lh="},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string url =
            build_search_url("num.test:8080", row.province, row.city, row.pattern);
        EXPECT_EQ(url, "http://num.test:8080/num.php?" + std::string(row.expected_query));
        const SplitUrl split = split_url(url);
        EXPECT_EQ(split.before_query, "http://num.test:8080/num.php");
        EXPECT_FALSE(split.has_fragment);
        ASSERT_EQ(split.parts.size(), 3u);
        EXPECT_TRUE(split.parts[0].starts_with("shengfenid="));
        EXPECT_TRUE(split.parts[1].starts_with("shiquid="));
        EXPECT_TRUE(split.parts[2].starts_with("lh="));
    }
}

TEST(BuildSearchUrl, CompiledInHostGivesThePlainRequest) {
    EXPECT_EQ(build_search_url(kSearchHost, "10", "101", "AAAA"),
              "http://num.quavik.example/num.php?shengfenid=10&shiquid=101&lh=AAAA");
}

TEST(ResolveEndpointHost, AcceptsHostAndPortOnly) {
    struct Row {
        const char* name;
        const char* env;
        const char* expected;  // the compiled-in "num.default" when the value is refused
        bool warns;
    };
    const Row rows[] = {
        {"unset", nullptr, "num.default", false},
        {"empty", "", "num.default", false},
        {"host", "localhost", "localhost", false},
        {"host and port", "127.0.0.1:8080", "127.0.0.1:8080", false},
        {"dotted name", "num-1.example_x.org", "num-1.example_x.org", false},
        {"bracketed IPv6", "[::1]:18080", "[::1]:18080", false},
        {"bracketed IPv6 without port", "[fe80::1]", "[fe80::1]", false},
        {"highest port", "h:65535", "h:65535", false},
        {"port zero", "h:0", "num.default", true},
        {"port too high", "h:65536", "num.default", true},
        {"port with leading zero", "h:080", "num.default", true},
        {"port not a number", "h:http", "num.default", true},
        {"empty port", "h:", "num.default", true},
        {"empty host", ":8080", "num.default", true},
        {"path", "h/evil", "num.default", true},
        {"query", "h?x=1", "num.default", true},
        {"fragment", "h#x", "num.default", true},
        {"user info", "user@h", "num.default", true},
        {"space", "h x", "num.default", true},
        {"trailing newline", "h\n", "num.default", true},
        {"scheme", "http://h", "num.default", true},
        {"bare IPv6", "::1", "num.default", true},
        {"unclosed bracket", "[::1", "num.default", true},
        {"text after bracket", "[::1]x", "num.default", true},
        {"leading dot", ".h", "num.default", true},
        {"double dot", "a..b", "num.default", true},
        {"non-ASCII", "\xE4\xB8\xAD.cn", "num.default", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string warning = "stale";
        EXPECT_EQ(resolve_endpoint_host("num.default", row.env, &warning), row.expected);
        if (row.warns) {
            EXPECT_NE(warning.find("using num.default"), std::string::npos) << warning;
        } else {
            EXPECT_EQ(warning, "");
        }
        EXPECT_EQ(resolve_endpoint_host("num.default", row.env, nullptr), row.expected);
    }
}

TEST(ResolveEndpointHost, WarningShowsNoControlCharactersAndIsCut) {
    std::string value = "bad\x1b[2Jhost/";
    value += std::string(500, 'x');
    std::string warning;
    resolve_endpoint_host("num.default", value.c_str(), &warning);
    EXPECT_EQ(warning.find('\x1b'), std::string::npos);
    EXPECT_NE(warning.find("bad?[2Jhost/"), std::string::npos) << warning;
    EXPECT_LT(warning.size(), 300u);
}

TEST(ParseIds, TakeTheWrittenFormOnly) {
    EXPECT_EQ(parse_province_id("10"), 10);
    EXPECT_EQ(parse_province_id("97"), 97);
    EXPECT_EQ(parse_city_id("996"), 996);
    for (std::string_view bad : {"", "1", "01", "100", "+1", "-1", "1a", " 10"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(parse_province_id(bad));
    }
    for (std::string_view bad : {"", "10", "010", "1010", "+10", "1e2", "10 "}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(parse_city_id(bad));
    }
}

TEST(ValidateSearchInput, AcceptsAndNormalisesValidValues) {
    struct Row {
        const char* name;
        std::string_view province, city, pattern;
        SearchRequest expected;
    };
    const Row rows[] = {
        {"plain", "10", "101", "AAAA", {"10", "101", "AAAA"}},
        {"lower case with spaces", " 10 ", "\t101", "  aaaa  ", {"10", "101", "AAAA"}},
        {"mixed case", "36", "360", "AbCdE", {"36", "360", "ABCDE"}},
        {"ideographic and line-end spaces", "　11　", "110\r\n", "　abab", {"11", "110", "ABAB"}},
        {"720 stands under 18", "18", "720", "AA", {"18", "720", "AA"}},
        {"740 stands under 75", "75", "740", "AABB", {"75", "740", "AABB"}},
        {"951 stands under 89", "89", "951", "ABC", {"89", "951", "ABC"}},
        {"last province and city", "97", "995", "AAAAA", {"97", "995", "AAAAA"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const SearchInputCheck check = validate_search_input(row.province, row.city, row.pattern);
        const auto* request = std::get_if<SearchRequest>(&check);
        ASSERT_NE(request, nullptr) << std::get<SearchRefusal>(check).message;
        EXPECT_EQ(*request, row.expected);
    }
}

TEST(ValidateSearchInput, RefusesWithTheBoxToCorrectAndAClearMessage) {
    struct Row {
        const char* name;
        std::string_view province, city, pattern;
        std::string_view box;
        std::string_view message;  // the whole message, or a part of it with `whole` false
        bool whole;
    };
    const Row rows[] = {
        {"empty province", "", "101", "AAAA", "编辑框2", "请在“省份id”框中输入省份ID，例如 10。",
         true},
        {"spaces only count as empty", " 　\t", "101", "AAAA", "编辑框2",
         "请在“省份id”框中输入省份ID，例如 10。", true},
        {"empty city", "10", "", "AAAA", "编辑框3", "请在“市区id”框中输入市区ID，例如 101。", true},
        {"empty pattern", "10", "101", "", "编辑框4", "请在“靓号类型”框中输入靓号类型，例如 AAAA。",
         true},
        {"province with letters", "1O", "101", "AAAA", "编辑框2",
         "“省份id”框中的“1O”含有数字以外的字符。省份ID是两位半角数字，例如 10。", true},
        {"full-width digits", "１０", "101", "AAAA", "编辑框2", "含有数字以外的字符", false},
        {"province with leading zero", "010", "101", "AAAA", "编辑框2",
         "“省份id”框中的“010”不是省份ID：省份ID是两位数字，不以 0 开头，例如 10。", true},
        {"one-digit province", "9", "101", "AAAA", "编辑框2", "不是省份ID", false},
        {"signed province", "+10", "101", "AAAA", "编辑框2", "含有数字以外的字符", false},
        {"unknown province", "12", "101", "AAAA", "编辑框2",
         "省份ID 12 不存在。请在参考文本中查找省份ID，例如 10。", true},
        {"city with inner space", "10", "10 1", "AAAA", "编辑框3",
         "“市区id”框中的“10 1”含有数字以外的字符。市区ID是三位半角数字，例如 101。", true},
        {"city with leading zero", "10", "0101", "AAAA", "编辑框3",
         "“市区id”框中的“0101”不是市区ID：市区ID是三位数字，不以 0 开头，例如 101。", true},
        {"unknown city", "10", "999", "AAAA", "编辑框3",
         "市区ID 999 不存在。请在参考文本中省份ID 10（内蒙古地区）下面查找市区ID。", true},
        {"city of another province", "11", "101", "AAAA", "编辑框3",
         "市区ID 101 属于内蒙古地区，不属于省份ID "
         "11（北京地区）。请在参考文本中该省份下面查找市区ID。",
         true},
        {"720 is not under 71", "71", "720", "AAAA", "编辑框3",
         "市区ID 720 属于河北地区，不属于省份ID 71", false},
        {"740 is not under 74", "74", "740", "AAAA", "编辑框3", "市区ID 740 属于江西地区", false},
        {"951 is not under 97", "97", "951", "AAAA", "编辑框3", "市区ID 951 属于新疆地区", false},
        {"unknown pattern", "10", "101", "abcf", "编辑框4",
         "“靓号类型”框中的“abcf”不是靓号类型。靓号类型只能输入：AAAAA,AAAA,AAA,AA,ABC,ABCD,"
         "ABCDE,AABB,ABAB。",
         true},
        {"pattern with a fragment", "10", "101", "AAAA#x", "编辑框4", "“AAAA#x”不是靓号类型",
         false},
        {"pattern with an extra key", "10", "101", "AAAA&lh=AA", "编辑框4", "不是靓号类型", false},
        {"pattern in CJK", "10", "101", "靓号", "编辑框4", "“靓号”不是靓号类型", false},
        {"province checked before city and pattern", "", "x", "x", "编辑框2", "省份id", false},
        {"city checked before pattern", "10", "", "x", "编辑框3", "市区id", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const SearchInputCheck check = validate_search_input(row.province, row.city, row.pattern);
        const auto* refusal = std::get_if<SearchRefusal>(&check);
        ASSERT_NE(refusal, nullptr);
        EXPECT_EQ(refusal->box, row.box);
        if (row.whole) {
            EXPECT_EQ(refusal->message, row.message);
        } else {
            EXPECT_NE(refusal->message.find(row.message), std::string::npos) << refusal->message;
        }
    }
}

TEST(ValidateSearchInput, QuotesOddInputSafelyAndShort) {
    struct Row {
        const char* name;
        std::string pattern;
        std::string_view quoted;  // how the message shows the value
    };
    const Row rows[] = {
        {"control characters",
         std::string("A\x01\x7F"
                     "B",
                     4),
         "“A??B”"},
        {"NUL byte", std::string("AA\0AA", 5), "“AA?AA”"},
        {"broken UTF-8", "A\xE9\x9D", "“A??”"},
        {"long value cut after 16 characters", std::string(5000, 'Z'), "“ZZZZZZZZZZZZZZZZ…”"},
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
        EXPECT_LT(refusal->message.size(), 300u);
    }
}

}  // namespace
}  // namespace quavik
