#include "search/search_request.h"

#include <array>
#include <cstddef>

#include "reference/reference_tables.h"
#include "platform/text.h"
#include "text_encoding.h"

namespace quavik {

namespace {

// The three input boxes, top to bottom.
struct InputBox {
    std::string_view unit;     // the unit name in the window definition
    std::string_view label;    // the caption of the label beside it
    std::string_view meaning;  // what the box takes
    std::string_view example;
};

// clang-format off
constexpr InputBox kProvinceBox = {"编辑框2", "省份id",   "省份ID",   "10"  };
constexpr InputBox kCityBox     = {"编辑框3", "市区id",   "市区ID",   "101" };
constexpr InputBox kPatternBox  = {"编辑框4", "靓号类型", "靓号类型", "AAAA"};
// clang-format on

// How much of a typed value a message quotes, in characters.
constexpr std::size_t kQuotedCharacters = 16;

// Spaces that may surround a typed or pasted value.
constexpr std::array<std::string_view, 5> kSurroundingSpaces = {" ", "\t", "\r", "\n", "　"};

std::string_view trim_typed_spaces(std::string_view text) {
    for (bool trimmed = true; trimmed && !text.empty();) {
        trimmed = false;
        for (std::string_view space : kSurroundingSpaces) {
            if (text.starts_with(space)) {
                text.remove_prefix(space.size());
                trimmed = true;
            }
            if (text.ends_with(space)) {
                text.remove_suffix(space.size());
                trimmed = true;
            }
        }
    }
    return text;
}

bool is_printable_ascii(unsigned char byte) {
    return byte >= 0x20 && byte < 0x7F;
}

// A typed value as a message may show it.
std::string quote_input(std::string_view value) {
    return quote_for_display(value, kQuotedCharacters);
}

// Letters a-z into capitals, character by character, so the second byte of a double-byte
// character is never touched.
std::string ascii_upper(std::string_view text) {
    std::string upper;
    upper.reserve(text.size());
    for (std::size_t position = 0; position < text.size();) {
        const std::size_t length = character_length(text, position);
        if (length == 1 && text[position] >= 'a' && text[position] <= 'z') {
            upper += static_cast<char>(text[position] - 'a' + 'A');
        } else {
            upper.append(text.substr(position, length));
        }
        position += length;
    }
    return upper;
}

bool all_decimal_digits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::optional<int> parse_fixed_width_id(std::string_view text, std::size_t digits) {
    if (text.size() != digits || text.front() == '0' || !all_decimal_digits(text)) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

SearchRefusal refuse(const InputBox& box, std::string message) {
    return SearchRefusal{box.unit, std::move(message)};
}

SearchRefusal empty_box(const InputBox& box) {
    return refuse(box, "请在“" + std::string(box.label) + "”框中输入" + std::string(box.meaning) +
                           "，例如 " + std::string(box.example) + "。");
}

// The refusal of an ID that is not written as the reference text writes IDs.
SearchRefusal malformed_id(const InputBox& box, std::string_view value,
                           std::string_view digit_count) {
    const std::string start = "“" + std::string(box.label) + "”框中的“" + quote_input(value) + "”";
    const std::string rule = std::string(box.meaning) + "是" + std::string(digit_count);
    if (!all_decimal_digits(value)) {
        return refuse(box, start + "含有数字以外的字符。" + rule + "位半角数字，例如 " +
                               std::string(box.example) + "。");
    }
    return refuse(box, start + "不是" + std::string(box.meaning) + "：" + rule +
                           "位数字，不以 0 开头，例如 " + std::string(box.example) + "。");
}

std::string pattern_type_list() {
    std::string list;
    for (std::string_view type : kPatternTypes) {
        if (!list.empty()) {
            list += ',';
        }
        list += type;
    }
    return list;
}

// "10（内蒙古地区）"
std::string province_with_region(const Province& province) {
    return std::to_string(province.id) + "（" + std::string(province.region) + "）";
}

constexpr std::size_t kMaxHostLength = 253;
constexpr std::size_t kQuotedHostBytes = 64;

bool is_host_name_character(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

bool is_ipv6_character(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') || c == ':' ||
           c == '.';
}

// What is wrong with a port written after "host:", or nothing.
std::string_view port_problem(std::string_view port) {
    if (port.empty() || port.size() > 5 || port.front() == '0' || !all_decimal_digits(port)) {
        return "the port must be a number from 1 to 65535";
    }
    int value = 0;
    for (char c : port) {
        value = value * 10 + (c - '0');
    }
    if (value > 65535) {
        return "the port must be a number from 1 to 65535";
    }
    return {};
}

// What is wrong with a "host" or "host:port" value, or nothing. Only a host and a port can
// stand here: nothing that would add a user, a path, a query or a fragment to a URL.
std::string_view endpoint_host_problem(std::string_view value) {
    std::string_view host = value;
    std::string_view port;
    bool has_port = false;
    if (value.starts_with('[')) {
        const std::size_t close = value.find(']');
        if (close == std::string_view::npos) {
            return "an IPv6 address needs its closing ']'";
        }
        const std::string_view address = value.substr(1, close - 1);
        if (address.empty() || address.find(':') == std::string_view::npos) {
            return "the brackets hold no IPv6 address";
        }
        for (char c : address) {
            if (!is_ipv6_character(c)) {
                return "the IPv6 address holds a character that cannot stand there";
            }
        }
        const std::string_view rest = value.substr(close + 1);
        if (!rest.empty() && !rest.starts_with(':')) {
            return "only \":port\" may follow the IPv6 address";
        }
        host = value.substr(0, close + 1);
        has_port = !rest.empty();
        port = has_port ? rest.substr(1) : std::string_view{};
    } else {
        for (char c : value) {
            if (!is_host_name_character(c) && c != ':') {
                return "only a host name and a port may stand here (letters, digits, '-', '.', "
                       "'_', ':')";
            }
        }
        const std::size_t colon = value.find(':');
        if (colon != std::string_view::npos) {
            if (value.find(':', colon + 1) != std::string_view::npos) {
                return "an IPv6 address must be written in brackets, e.g. [::1]:8080";
            }
            host = value.substr(0, colon);
            port = value.substr(colon + 1);
            has_port = true;
        }
        if (host.empty()) {
            return "the host name is empty";
        }
        if (host.size() > kMaxHostLength) {
            return "the host name is longer than 253 characters";
        }
        if (host.front() == '.' || host.front() == '-' ||
            host.find("..") != std::string_view::npos) {
            return "the host name is not well formed";
        }
    }
    return has_port ? port_problem(port) : std::string_view{};
}

// A refused value as a warning may show it: printable ASCII, '?' for any other byte, cut.
std::string quote_host_value(std::string_view value) {
    std::string quoted;
    for (char c : value.substr(0, kQuotedHostBytes)) {
        quoted += is_printable_ascii(static_cast<unsigned char>(c)) ? c : '?';
    }
    if (value.size() > kQuotedHostBytes) {
        quoted += "...";
    }
    return quoted;
}

}  // namespace

std::string resolve_endpoint_host(std::string_view compiled_in, const char* env_value,
                                  std::string* warning) {
    if (warning != nullptr) {
        warning->clear();
    }
    if (env_value == nullptr || *env_value == '\0') {
        return std::string(compiled_in);
    }
    const std::string_view value(env_value);
    const std::string_view problem = endpoint_host_problem(value);
    if (problem.empty()) {
        return std::string(value);
    }
    if (warning != nullptr) {
        *warning = "ignoring \"" + quote_host_value(value) + "\": " + std::string(problem) +
                   "; using " + std::string(compiled_in);
    }
    return std::string(compiled_in);
}

std::string percent_encode(std::string_view value) {
    constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(value.size());
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                                byte == '_' || byte == '~';
        if (unreserved) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHexDigits[byte >> 4];
            encoded += kHexDigits[byte & 0x0F];
        }
    }
    return encoded;
}

std::string build_search_url(std::string_view host, std::string_view province,
                             std::string_view city, std::string_view pattern) {
    return "http://" + std::string(host) + "/num.php?shengfenid=" + percent_encode(province) +
           "&shiquid=" + percent_encode(city) + "&lh=" + percent_encode(pattern);
}

std::optional<int> parse_province_id(std::string_view text) {
    return parse_fixed_width_id(text, 2);
}

std::optional<int> parse_city_id(std::string_view text) {
    return parse_fixed_width_id(text, 3);
}

SearchInputCheck validate_search_input(std::string_view raw_province, std::string_view raw_city,
                                       std::string_view raw_pattern) {
    const std::string_view province_text = trim_typed_spaces(raw_province);
    if (province_text.empty()) {
        return empty_box(kProvinceBox);
    }
    const std::optional<int> province_id = parse_province_id(province_text);
    if (!province_id) {
        return malformed_id(kProvinceBox, province_text, "两");
    }
    const Province* province = find_province(*province_id);
    if (province == nullptr) {
        return refuse(kProvinceBox, "省份ID " + std::string(province_text) +
                                        " 不存在。请在参考文本中查找省份ID，例如 10。");
    }

    const std::string_view city_text = trim_typed_spaces(raw_city);
    if (city_text.empty()) {
        return empty_box(kCityBox);
    }
    const std::optional<int> city_id = parse_city_id(city_text);
    if (!city_id) {
        return malformed_id(kCityBox, city_text, "三");
    }
    const Province* owner = nullptr;
    if (find_city(*city_id, &owner) == nullptr || owner == nullptr) {
        return refuse(kCityBox, "市区ID " + std::string(city_text) +
                                    " 不存在。请在参考文本中省份ID " +
                                    province_with_region(*province) + "下面查找市区ID。");
    }
    if (owner->id != province->id) {
        return refuse(kCityBox, "市区ID " + std::string(city_text) + " 属于" +
                                    std::string(owner->region) + "，不属于省份ID " +
                                    province_with_region(*province) +
                                    "。请在参考文本中该省份下面查找市区ID。");
    }

    const std::string_view pattern_text = trim_typed_spaces(raw_pattern);
    if (pattern_text.empty()) {
        return empty_box(kPatternBox);
    }
    std::string pattern = ascii_upper(pattern_text);
    bool known = false;
    for (std::string_view type : kPatternTypes) {
        known = known || pattern == type;
    }
    if (!known) {
        return refuse(kPatternBox, "“靓号类型”框中的“" + quote_input(pattern_text) +
                                       "”不是靓号类型。靓号类型只能输入：" + pattern_type_list() +
                                       "。");
    }

    return SearchRequest{std::string(province_text), std::string(city_text), std::move(pattern)};
}

}  // namespace quavik
