// The reference text and the province and city tables it is built from.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "reference/reference_tables.h"
#include "reference/reference_text.h"
#include "text_encoding.h"

namespace quavik {
namespace {

// The two values that the tables fill in themselves: the region of province 59 (in front of
// "地区") and the name of city 890. The published figures of the text leave them out.
constexpr std::string_view kOpenRegion = "广西";
constexpr std::string_view kOpenCityName = "乌鲁木齐";

constexpr std::string_view kEightSpaces = "        ";
constexpr std::string_view kFourSpaces = "    ";
constexpr std::string_view kHeadingStart = "  省份ID：  ";
constexpr std::string_view kIdLineStart = "            市区ID: ";
constexpr std::string_view kNameLineStart = "            市区名字: ";

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", begin);
        lines.push_back(text.substr(begin, end - begin));
        if (end == std::string::npos) {
            return lines;
        }
        begin = end + 2;
    }
}

std::size_t count_characters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t position = 0; position < text.size();
         position += character_length(text, position)) {
        ++count;
    }
    return count;
}

std::size_t gbk_bytes(std::string_view text) {
    const std::optional<std::string> gbk = convert_code_page(text, kProgramCodePage, kCodePageGbk);
    EXPECT_TRUE(gbk.has_value()) << "not writable in GBK: " << text.substr(0, 60);
    return gbk ? gbk->size() : 0;
}

class ReferenceTextTest : public testing::Test {
  protected:
    const std::string text_ = build_reference_text();
    const std::vector<std::string> lines_ = split_lines(text_);
};

TEST_F(ReferenceTextTest, PublishedFiguresWithoutTheTwoOpenValues) {
    ASSERT_EQ(find_province(59)->region, std::string(kOpenRegion) + "地区");
    ASSERT_EQ(find_city(890)->name, kOpenCityName);

    EXPECT_EQ(lines_.size(), 1429u);
    EXPECT_EQ(
        count_characters(text_) - count_characters(kOpenRegion) - count_characters(kOpenCityName),
        23149u);
    EXPECT_EQ(gbk_bytes(text_) - gbk_bytes(kOpenRegion) - gbk_bytes(kOpenCityName), 26252u);
}

TEST_F(ReferenceTextTest, LineKinds) {
    std::size_t text = 0, empty = 0, headings = 0, ids = 0, names = 0, eight = 0, four = 0;
    for (const std::string& line : lines_) {
        SCOPED_TRACE(line);
        if (line.empty()) {
            ++empty;
        } else if (line == kEightSpaces) {
            ++eight;
        } else if (line == kFourSpaces) {
            ++four;
        } else {
            if (line.starts_with(kHeadingStart)) {
                ++headings;
            } else if (line.starts_with(kIdLineStart)) {
                ++ids;
            } else if (line.starts_with(kNameLineStart)) {
                ++names;
            } else {
                ++text;
            }
            EXPECT_NE(line.back(), ' ') << "trailing space";
        }
        EXPECT_EQ(line.find_first_of(std::string("\t\r\n\0", 4)), std::string::npos);
    }
    EXPECT_EQ(text, 3u);
    EXPECT_EQ(empty, 4u);
    EXPECT_EQ(headings, 31u);
    EXPECT_EQ(ids, 340u);
    EXPECT_EQ(names, 340u);
    EXPECT_EQ(eight, 680u);
    EXPECT_EQ(four, 31u);
}

TEST_F(ReferenceTextTest, BeginningEndAndSpotLines) {
    EXPECT_TRUE(text_.starts_with("微博："));
    EXPECT_TRUE(text_.ends_with("\n    "));
    EXPECT_FALSE(text_.ends_with("\r\n"));

    struct Spot {
        std::size_t line;  // from 1
        std::string_view content;
    };
    const Spot spots[] = {
        {1, "微博：Tovrin      玩的可以互关注一下"},
        {2, ""},
        {3, ""},
        {4, "有问题回帖子！私信我！看到我会更新问题的！谢谢给点cb~哈哈！"},
        {5, ""},
        {6, "靓号类型只能输入：AAAAA,AAAA,AAA,AA,ABC,ABCD,ABCDE,AABB,ABAB"},
        {7, ""},
        {8, "  省份ID：  10:  【内蒙古地区】"},
        {9, "        "},
        {10, "            市区ID: 101"},
        {11, "            市区名字: 呼和浩特"},
        {12, "        "},
        {13, "        "},
        {14, "            市区ID: 102"},
        {57, "    "},
        {58, "  省份ID：  11:  【北京地区】"},
        {232, "  省份ID：  30:  【安徽地区】71904257"},
        {1214, "  省份ID：  89:  【新疆地区】"},
        {1217, "            市区名字: 乌鲁木齐"},
        {1376, "  省份ID：  97:  【黑龙江地区】"},
        {1427, "            市区名字: 大兴安岭"},
        {1429, "    "},
    };
    ASSERT_EQ(lines_.size(), 1429u);
    for (const Spot& spot : spots) {
        SCOPED_TRACE(testing::Message() << "line " << spot.line);
        EXPECT_EQ(lines_[spot.line - 1], spot.content);
    }
}

TEST_F(ReferenceTextTest, PatternTypeLineListsThePatternTypes) {
    std::string expected = "靓号类型只能输入：";
    for (std::size_t i = 0; i < kPatternTypes.size(); ++i) {
        expected += (i == 0 ? "" : ",");
        expected += kPatternTypes[i];
        EXPECT_EQ(kPatternTypes[i].find_first_not_of("ABCDE"), std::string_view::npos);
    }
    EXPECT_EQ(lines_[5], expected);
}

// Reads the blocks back out of the text and sets them against the tables: each heading, then
// four lines per city, then four spaces, and the next heading at once.
TEST_F(ReferenceTextTest, EveryBlockFollowsItsProvince) {
    std::size_t line = 7;  // the first heading, from 0
    for (const Province& province : provinces()) {
        SCOPED_TRACE(testing::Message() << "province " << province.id);
        const std::size_t heading = line;
        ASSERT_LT(line, lines_.size());
        EXPECT_EQ(lines_[line++], std::string(kHeadingStart) + std::to_string(province.id) +
                                      ":  【" + std::string(province.region) + "】" +
                                      std::string(province.after_heading));
        for (const City& city : province.cities) {
            SCOPED_TRACE(testing::Message() << "city " << city.id);
            ASSERT_LE(line + 4, lines_.size());
            EXPECT_EQ(lines_[line++], kEightSpaces);
            EXPECT_EQ(lines_[line++], std::string(kIdLineStart) + std::to_string(city.id));
            EXPECT_EQ(lines_[line++], std::string(kNameLineStart) + std::string(city.name));
            EXPECT_EQ(lines_[line++], kEightSpaces);
        }
        ASSERT_LT(line, lines_.size());
        EXPECT_EQ(lines_[line++], kFourSpaces);
        if (province.cities.size() == 1) {
            EXPECT_EQ(line - heading, 6u);
        }
    }
    EXPECT_EQ(line, lines_.size());
}

TEST_F(ReferenceTextTest, MatchesTheReviewedCopy) {
    std::ifstream file(QUAVIK_TEST_DATA "/reference_text.txt", std::ios::binary);
    ASSERT_TRUE(file) << "cannot read " QUAVIK_TEST_DATA "/reference_text.txt";
    const std::string golden{std::istreambuf_iterator<char>(file), {}};
    const std::vector<std::string> golden_lines = split_lines(golden);
    for (std::size_t i = 0; i < std::min(lines_.size(), golden_lines.size()); ++i) {
        ASSERT_EQ(lines_[i], golden_lines[i]) << "first difference at line " << i + 1;
    }
    EXPECT_EQ(lines_.size(), golden_lines.size());
    EXPECT_EQ(text_, golden);
}

TEST(ReferenceTablesTest, IdsAndNamesAreUniqueAndInRange) {
    std::set<int> city_ids;
    std::set<std::string_view> city_names;
    std::set<std::string_view> regions;
    int previous_province = 0;
    std::size_t cities = 0;
    ASSERT_EQ(provinces().size(), 31u);
    for (const Province& province : provinces()) {
        SCOPED_TRACE(testing::Message() << "province " << province.id);
        EXPECT_GT(province.id, previous_province);
        previous_province = province.id;
        EXPECT_GE(province.id, 10);
        EXPECT_LE(province.id, 97);
        EXPECT_TRUE(province.region.ends_with("地区"));
        EXPECT_TRUE(regions.insert(province.region).second) << province.region;
        EXPECT_EQ(province.after_heading.empty(), province.id != 30);
        for (const City& city : province.cities) {
            EXPECT_GE(city.id, 101);
            EXPECT_LE(city.id, 996);
            EXPECT_TRUE(city_ids.insert(city.id).second) << city.id;
            EXPECT_TRUE(city_names.insert(city.name).second) << city.name;
            ++cities;
        }
    }
    EXPECT_EQ(cities, 340u);
    EXPECT_EQ(find_province(30)->after_heading, "71904257");
}

TEST(ReferenceTablesTest, CityLookupGivesTheProvinceThatListsIt) {
    struct Case {
        int city;
        int province;
        std::string_view name;
    };
    const Case cases[] = {
        {101, 10, "呼和浩特"}, {720, 18, "衡水"}, {740, 75, "景德镇"}, {730, 86, "德宏"},
        {736, 86, "西双版纳"}, {785, 85, "铜仁"}, {789, 85, "安顺"},   {791, 74, "娄底"},
        {796, 74, "永州"},     {930, 87, "金昌"}, {931, 87, "酒泉"},   {960, 87, "陇南"},
        {961, 87, "甘南"},     {951, 89, "博乐"}, {955, 89, "和田"},   {705, 70, "海南"},
        {902, 90, "吉林"},     {110, 11, "北京"}, {831, 83, "重庆"},   {995, 97, "大兴安岭"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "city " << c.city);
        const Province* province = nullptr;
        const City* city = find_city(c.city, &province);
        ASSERT_NE(city, nullptr);
        EXPECT_EQ(city->name, c.name);
        ASSERT_NE(province, nullptr);
        EXPECT_EQ(province->id, c.province);
        EXPECT_EQ(province, find_province(c.province));
    }
    // "海南" the city and "海南地区" the province stay apart.
    EXPECT_EQ(find_province(50)->region, "海南地区");
    EXPECT_EQ(find_province(50)->cities[0].id, 501);
}

TEST(ReferenceTablesTest, UnknownIdsFindNothing) {
    for (const int id : {0, -1, 12, 98, 100, 999, 1010}) {
        SCOPED_TRACE(testing::Message() << "id " << id);
        EXPECT_EQ(find_province(id), nullptr);
        const Province* province = find_province(10);
        EXPECT_EQ(find_city(id, &province), nullptr);
        EXPECT_EQ(province, nullptr);
    }
    EXPECT_NE(find_city(110), nullptr);  // the province is optional
}

}  // namespace
}  // namespace quavik
