// The reference text, built line by line from the tables: the preamble, then one block per
// province (heading, four lines per city, a closing line of four spaces), joined by CR LF.
#include "reference/reference_text.h"

#include <string_view>
#include <vector>

#include "reference/reference_tables.h"

namespace quavik {

namespace {

// clang-format off
constexpr std::string_view kPreambleLines[] = {
    "微博：Tovrin      玩的可以互关注一下",
    "",
    "",
    "有问题回帖子！私信我！看到我会更新问题的！谢谢给点cb~哈哈！",
    "",
    "靓号类型只能输入：AAAAA,AAAA,AAA,AA,ABC,ABCD,ABCDE,AABB,ABAB",  // kPatternTypes, in order
    "",
};
// clang-format on

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeadingStart = "  省份ID：  ";
constexpr std::string_view kHeadingAfterId = ":  【";
constexpr std::string_view kHeadingEnd = "】";
constexpr std::string_view kCityIdLabel = "            市区ID: ";
constexpr std::string_view kCityNameLabel = "            市区名字: ";
constexpr std::string_view kCityFrame = "        ";  // before and after each city entry
constexpr std::string_view kBlockEnd = "    ";

std::string heading_line(const Province& province) {
    std::string line(kHeadingStart);
    line += std::to_string(province.id);
    line += kHeadingAfterId;
    line += province.region;
    line += kHeadingEnd;
    line += province.after_heading;
    return line;
}

}  // namespace

std::string build_reference_text() {
    std::vector<std::string> lines(std::begin(kPreambleLines), std::end(kPreambleLines));
    for (const Province& province : provinces()) {
        lines.push_back(heading_line(province));
        for (const City& city : province.cities) {
            lines.emplace_back(kCityFrame);
            lines.push_back(std::string(kCityIdLabel) + std::to_string(city.id));
            lines.push_back(std::string(kCityNameLabel) + std::string(city.name));
            lines.emplace_back(kCityFrame);
        }
        lines.emplace_back(kBlockEnd);
    }

    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i != 0) {
            text += kLineEnd;
        }
        text += lines[i];
    }
    return text;
}

}  // namespace quavik
