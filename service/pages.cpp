#include "pages.h"

#include <optional>
#include <vector>

#include "number_inventory.h"
#include "reference/reference_tables.h"
#include "search/search_request.h"
#include "platform/text.h"
#include "text_encoding.h"

namespace quavik {

namespace {

// What each key of "/num.php" takes, in the order they are checked.
struct QueryKey {
    std::string_view key;
    std::string_view meaning;
};

// clang-format off
constexpr QueryKey kProvinceKey = {"shengfenid", "省份ID，两位数字，不以 0 开头，例如 10"  };
constexpr QueryKey kCityKey     = {"shiquid",    "市区ID，三位数字，不以 0 开头，例如 101" };
constexpr QueryKey kPatternKey  = {"lh",         "靓号类型（大写），例如 AAAA"             };
// clang-format on

constexpr std::size_t kQuotedCharacters = 32;

constexpr std::string_view kStyle = R"css(
  body { margin: 0; font-family: "Noto Sans CJK SC", "Microsoft YaHei", sans-serif;
         background: #f4f6fa; color: #1f2933; }
  header { background: linear-gradient(135deg, #d7263d, #f46036); color: #fff;
           padding: 18px 24px; }
  header h1 { margin: 0 0 6px; font-size: 22px; }
  header p { margin: 0; opacity: .9; font-size: 14px; }
  main { padding: 16px 24px; }
  nav { margin-bottom: 14px; font-size: 13px; }
  nav a, nav span { display: inline-block; margin: 0 6px 6px 0; padding: 3px 10px;
                    border-radius: 12px; background: #e4e8f0; color: #334; text-decoration: none; }
  nav span { background: #d7263d; color: #fff; }
  ul.numbers { list-style: none; margin: 0; padding: 0; display: grid;
               grid-template-columns: repeat(auto-fill, minmax(210px, 1fr)); gap: 10px; }
  ul.numbers li { background: #fff; border-radius: 8px; padding: 10px 14px;
                  box-shadow: 0 1px 3px rgba(0,0,0,.12); display: flex;
                  justify-content: space-between; align-items: baseline; }
  .num { font-family: "DejaVu Sans Mono", Consolas, monospace; font-size: 19px;
         letter-spacing: 1px; }
  b.hit { color: #d7263d; }
  .price { color: #f46036; font-size: 14px; }
  .error { background: #fff; border-left: 4px solid #d7263d; padding: 12px 16px;
           border-radius: 4px; }
  table { border-collapse: collapse; margin-top: 14px; background: #fff; }
  td, th { border: 1px solid #d9dee8; padding: 6px 10px; font-size: 14px; text-align: left; }
  code { font-family: "DejaVu Sans Mono", Consolas, monospace; }
  footer { padding: 12px 24px 20px; color: #7b8794; font-size: 12px; }
)css";

// A value from the request as a page may show it; not yet escaped.
std::string quote_value(std::string_view value) {
    return quote_for_display(value, kQuotedCharacters);
}

std::string page(std::string_view title, std::string_view header_html, std::string_view body_html) {
    std::string html;
    html += "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    html += "<title>" + html_escape(title) + "</title>\n<style>";
    html += kStyle;
    html += "</style>\n</head>\n<body>\n<header>\n";
    html += header_html;
    html += "</header>\n<main>\n";
    html += body_html;
    html +=
        "</main>\n<footer>本页号码由本地选号服务按城市生成，仅供演示。</footer>\n</body>\n</"
        "html>\n";
    return html;
}

PageAnswer bad_request(const std::string& message) {
    std::string body = "<p class=\"error\">" + html_escape(message) + "</p>\n";
    body += "<table>\n<tr><th>参数</th><th>应为</th></tr>\n";
    for (const QueryKey& key : {kProvinceKey, kCityKey, kPatternKey}) {
        body += "<tr><td><code>" + std::string(key.key) + "</code></td><td>" +
                html_escape(key.meaning) + "</td></tr>\n";
    }
    body +=
        "</table>\n<p>例如 <a href=\"/num.php?shengfenid=10&amp;shiquid=101&amp;lh=AAAA\">"
        "<code>/num.php?shengfenid=10&amp;shiquid=101&amp;lh=AAAA</code></a></p>\n";
    return {400, page("请求参数有误",
                      "<h1>请求参数有误</h1>\n<p>" + html_escape(message) + "</p>\n", body)};
}

// The one value of `key`, or the message of a 400 page in `*error`.
std::optional<std::string> single_value(const QueryParams& params, const QueryKey& key,
                                        std::string* error) {
    const auto [first, last] = params.equal_range(std::string(key.key));
    const auto count = std::distance(first, last);
    if (count == 0) {
        *error = "缺少参数 " + std::string(key.key) + "：应为" + std::string(key.meaning);
        return std::nullopt;
    }
    if (count > 1) {
        *error = "参数 " + std::string(key.key) + " 出现了 " + std::to_string(count) +
                 " 次：只能给一次，应为" + std::string(key.meaning);
        return std::nullopt;
    }
    if (first->second.empty()) {
        *error = "参数 " + std::string(key.key) + " 为空：应为" + std::string(key.meaning);
        return std::nullopt;
    }
    return first->second;
}

std::string invalid(const QueryKey& key, std::string_view why) {
    return "参数 " + std::string(key.key) + " 无效：" + std::string(why);
}

std::string malformed(const QueryKey& key, std::string_view value, std::string_view what) {
    return invalid(key, "“" + quote_value(value) + "”不是" + std::string(what) + "，应为" +
                            std::string(key.meaning));
}

std::string province_with_region(const Province& province) {
    return std::to_string(province.id) + "（" + std::string(province.region) + "）";
}

std::string search_link(int province, int city, std::string_view type) {
    return "/num.php?shengfenid=" + std::to_string(province) +
           "&amp;shiquid=" + std::to_string(city) + "&amp;lh=" + percent_encode(type);
}

}  // namespace

std::string html_escape(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&#39;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

PageAnswer number_search_page(const QueryParams& params) {
    std::string error;
    const std::optional<std::string> province_text = single_value(params, kProvinceKey, &error);
    if (!province_text) {
        return bad_request(error);
    }
    const std::optional<int> province_id = parse_province_id(*province_text);
    if (!province_id) {
        return bad_request(malformed(kProvinceKey, *province_text, "省份ID"));
    }
    const Province* province = find_province(*province_id);
    if (province == nullptr) {
        return bad_request(invalid(kProvinceKey, "省份ID " + *province_text + " 不存在"));
    }

    const std::optional<std::string> city_text = single_value(params, kCityKey, &error);
    if (!city_text) {
        return bad_request(error);
    }
    const std::optional<int> city_id = parse_city_id(*city_text);
    if (!city_id) {
        return bad_request(malformed(kCityKey, *city_text, "市区ID"));
    }
    const Province* owner = nullptr;
    const City* city = find_city(*city_id, &owner);
    if (city == nullptr || owner == nullptr) {
        return bad_request(invalid(kCityKey, "市区ID " + *city_text + " 不存在"));
    }
    if (owner->id != province->id) {
        return bad_request(invalid(kCityKey, "市区ID " + *city_text + " 属于" +
                                                 std::string(owner->region) + "，不属于省份ID " +
                                                 province_with_region(*province)));
    }

    const std::optional<std::string> type = single_value(params, kPatternKey, &error);
    if (!type) {
        return bad_request(error);
    }
    std::string_view pattern;
    for (std::string_view known : kPatternTypes) {
        if (*type == known) {
            pattern = known;
        }
    }
    if (pattern.empty()) {
        std::string list;
        for (std::string_view known : kPatternTypes) {
            list += list.empty() ? "" : ",";
            list += known;
        }
        return bad_request(
            invalid(kPatternKey, "“" + quote_value(*type) + "”不是靓号类型，可用的类型：" + list));
    }

    const std::vector<InventoryNumber> numbers = city_inventory(city->id, pattern);
    const std::string place = std::string(province->region) + " · " + std::string(city->name);

    std::string header = "<h1>" + html_escape(place) + "</h1>\n<p>靓号类型 <strong>" +
                         std::string(pattern) + "</strong>，共 " + std::to_string(numbers.size()) +
                         " 个号码可选（省份ID " + std::to_string(province->id) + "，市区ID " +
                         std::to_string(city->id) + "）</p>\n";

    std::string body = "<nav>";
    for (std::string_view known : kPatternTypes) {
        if (known == pattern) {
            body += "<span>" + std::string(known) + "</span>";
        } else {
            body += "<a href=\"" + search_link(province->id, city->id, known) + "\">" +
                    std::string(known) + "</a>";
        }
    }
    body += "</nav>\n";
    if (numbers.empty()) {
        body += "<p>暂无该类型的号码。</p>\n";
    } else {
        body += "<ul class=\"numbers\">\n";
        for (const InventoryNumber& entry : numbers) {
            const std::size_t split = entry.number.size() - entry.hit_digits;
            body += "<li><span class=\"num\">" + entry.number.substr(0, split) +
                    "<b class=\"hit\">" + entry.number.substr(split) +
                    "</b></span><span class=\"price\">¥" + std::to_string(entry.price) +
                    "</span></li>\n";
        }
        body += "</ul>\n";
    }
    const std::string title = std::string(province->region) + " " + std::string(city->name) +
                              " - " + std::string(pattern) + " 靓号";
    return {200, page(title, header, body)};
}

PageAnswer not_found_page(std::string_view path) {
    const std::string message = "找不到页面 " + quote_value(path);
    return {404,
            page("找不到页面", "<h1>找不到页面</h1>\n",
                 "<p class=\"error\">" + html_escape(message) +
                     "</p>\n<p>本服务提供 <a href=\"/num.php?shengfenid=10&amp;shiquid=101&amp;"
                     "lh=AAAA\"><code>/num.php</code></a> 和 <a href=\"/tazep\"><code>"
                     "/tazep</code></a>。</p>\n")};
}

PageAnswer error_page(int status, std::string_view path) {
    if (status == 404) {
        return not_found_page(path);
    }
    const std::string message =
        "无法处理对 " + quote_value(path) + " 的请求（HTTP " + std::to_string(status) + "）";
    return {status, page("无法处理请求", "<h1>无法处理请求</h1>\n",
                         "<p class=\"error\">" + html_escape(message) + "</p>\n")};
}

}  // namespace quavik
