#include "pages.h"

#include <gtest/gtest.h>

#include <string>

#include "number_inventory.h"

namespace quavik {
namespace {

QueryParams search_params(std::string province, std::string city, std::string pattern) {
    return {{"shengfenid", std::move(province)},
            {"shiquid", std::move(city)},
            {"lh", std::move(pattern)}};
}

TEST(NumberSearchPage, ListsTheCitysNumbersWithTheirPatternHighlighted) {
    const PageAnswer answer = number_search_page(search_params("10", "101", "AAAA"));
    ASSERT_EQ(answer.status, 200);
    EXPECT_NE(answer.html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(answer.html.find("<title>内蒙古地区 呼和浩特 - AAAA 靓号</title>"),
              std::string::npos);
    for (const InventoryNumber& entry : city_inventory(101, "AAAA")) {
        SCOPED_TRACE(entry.number);
        const std::string shown =
            entry.number.substr(0, 7) + "<b class=\"hit\">" + entry.number.substr(7) + "</b>";
        EXPECT_NE(answer.html.find(shown), std::string::npos);
    }
}

TEST(NumberSearchPage, RefusesWrongParametersNamingTheKey) {
    struct Row {
        const char* name;
        QueryParams params;
        std::string message;  // shown on the page, HTML-escaped
    };
    const Row rows[] = {
        {"no parameters", {}, "缺少参数 shengfenid：应为省份ID"},
        {"no city", {{"shengfenid", "10"}, {"lh", "AAAA"}}, "缺少参数 shiquid：应为市区ID"},
        {"no pattern", {{"shengfenid", "10"}, {"shiquid", "101"}}, "缺少参数 lh：应为靓号类型"},
        {"empty province", search_params("", "101", "AAAA"), "参数 shengfenid 为空"},
        {"repeated key",
         {{"shengfenid", "10"}, {"shiquid", "101"}, {"shiquid", "102"}, {"lh", "AAAA"}},
         "参数 shiquid 出现了 2 次"},
        {"province not two digits", search_params("010", "101", "AAAA"),
         "参数 shengfenid 无效：“010”不是省份ID"},
        {"unknown province", search_params("12", "101", "AAAA"),
         "参数 shengfenid 无效：省份ID 12 不存在"},
        {"unknown city", search_params("10", "999", "AAAA"),
         "参数 shiquid 无效：市区ID 999 不存在"},
        {"city of another province", search_params("11", "101", "AAAA"),
         "参数 shiquid 无效：市区ID 101 属于内蒙古地区，不属于省份ID 11（北京地区）"},
        {"lower-case pattern", search_params("10", "101", "aaaa"),
         "参数 lh 无效：“aaaa”不是靓号类型"},
        {"markup is escaped", search_params("10", "101", "<script>x</script>"),
         "“&lt;script&gt;x&lt;/script&gt;”"},
        {"long value cut", search_params("10", "101", std::string(10000, 'A')),
         "“" + std::string(32, 'A') + "…”"},
        {"control bytes", search_params("10", "101", std::string("A\r\nB\0", 5)), "“A??B?”"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PageAnswer answer = number_search_page(row.params);
        EXPECT_EQ(answer.status, 400);
        EXPECT_NE(answer.html.find(row.message), std::string::npos) << answer.html;
        EXPECT_EQ(answer.html.find("<script"), std::string::npos);
        EXPECT_LT(answer.html.size(), 8000u);
        EXPECT_NE(answer.html.find("<meta charset=\"utf-8\">"), std::string::npos);
    }
}

TEST(NotFoundPage, EscapesThePath) {
    const PageAnswer answer = not_found_page("/<img src=x onerror=alert(1)>");
    EXPECT_EQ(answer.status, 404);
    EXPECT_EQ(answer.html.find("<img"), std::string::npos);
    EXPECT_NE(answer.html.find("找不到页面 /&lt;img"), std::string::npos);
}

}  // namespace
}  // namespace quavik
