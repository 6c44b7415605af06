#include "update/update_page.h"

#include <algorithm>
#include <array>

#include "platform/text.h"

namespace quavik {

namespace {

constexpr UINT kCodePageGb18030 = 54936;
constexpr UINT kCodePageAscii = 20127;

// How far into the page a <meta> charset declaration is looked for, as browsers do.
constexpr std::size_t kMetaScanBytes = 1024;
// Longer charset names are not names of a charset.
constexpr std::size_t kMaxCharsetName = 40;

struct CharsetName {
    std::string_view name;  // lower case
    UINT code_page;
};

// clang-format off
constexpr CharsetName kCharsetNames[] = {
    {"gbk",         kCodePageGbk},
    {"gb2312",      kCodePageGbk},
    {"gb_2312-80",  kCodePageGbk},
    {"csgb2312",    kCodePageGbk},
    {"x-gbk",       kCodePageGbk},
    {"cp936",       kCodePageGbk},
    {"windows-936", kCodePageGbk},
    {"gb18030",     kCodePageGb18030},
    {"utf-8",       kCodePageUtf8},
    {"utf8",        kCodePageUtf8},
    {"us-ascii",    kCodePageAscii},
    {"ascii",       kCodePageAscii},
};
// clang-format on

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

char lower_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lower_ascii(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](char c) { return lower_ascii(c); });
    return result;
}

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool is_charset_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == ':';
}

std::string_view trim_spaces(std::string_view text) {
    while (!text.empty() && is_space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_space(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Byte-wise, ignoring the case of ASCII letters. Used only on the ASCII markup of the page
// before its code page is known; '<', '=' and quotes are never trail bytes of GBK, GB18030 or
// UTF-8.
std::size_t find_ignoring_case(std::string_view text, std::string_view needle,
                               std::size_t from = 0) {
    if (needle.size() > text.size()) {
        return std::string_view::npos;
    }
    for (std::size_t at = from; at + needle.size() <= text.size(); ++at) {
        bool same = true;
        for (std::size_t i = 0; i < needle.size() && same; ++i) {
            same = lower_ascii(text[at + i]) == lower_ascii(needle[i]);
        }
        if (same) {
            return at;
        }
    }
    return std::string_view::npos;
}

// The value of a "charset" parameter of a Content-Type header, or empty.
std::string_view header_charset(std::string_view content_type) {
    std::size_t semicolon = content_type.find(';');
    while (semicolon != std::string_view::npos) {
        content_type.remove_prefix(semicolon + 1);
        semicolon = content_type.find(';');
        const std::string_view parameter = trim_spaces(content_type.substr(0, semicolon));
        const std::size_t equals = parameter.find('=');
        if (equals == std::string_view::npos ||
            lower_ascii(trim_spaces(parameter.substr(0, equals))) != "charset") {
            continue;
        }
        std::string_view value = trim_spaces(parameter.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        return trim_spaces(value);
    }
    return {};
}

// The charset named by a <meta> tag in the first bytes of the page, or empty. Covers
// <meta charset="gbk"> and <meta http-equiv="Content-Type" content="text/html; charset=gbk">.
std::string_view meta_charset(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, kMetaScanBytes);
    std::size_t tag = find_ignoring_case(head, "<meta");
    while (tag != std::string_view::npos) {
        const std::size_t after_name = tag + 5;
        const std::size_t tag_end = std::min(head.find('>', after_name), head.size());
        if (after_name < head.size() && (is_space(head[after_name]) || head[after_name] == '/')) {
            const std::string_view attributes = head.substr(after_name, tag_end - after_name);
            std::size_t name = find_ignoring_case(attributes, "charset");
            while (name != std::string_view::npos) {
                std::size_t at = name + 7;
                while (at < attributes.size() && is_space(attributes[at])) {
                    ++at;
                }
                if (at < attributes.size() && attributes[at] == '=') {
                    ++at;
                    while (at < attributes.size() &&
                           (is_space(attributes[at]) || attributes[at] == '"' ||
                            attributes[at] == '\'')) {
                        ++at;
                    }
                    std::size_t end = at;
                    while (end < attributes.size() && is_charset_char(attributes[end])) {
                        ++end;
                    }
                    if (end > at) {
                        return attributes.substr(at, end - at);
                    }
                }
                name = find_ignoring_case(attributes, "charset", name + 7);
            }
        }
        tag = find_ignoring_case(head, "<meta", after_name);
    }
    return {};
}

std::optional<UINT> code_page_of(std::string_view charset, std::string* error) {
    const std::string name = lower_ascii(charset);
    for (const CharsetName& row : kCharsetNames) {
        if (row.name == name) {
            return row.code_page;
        }
    }
    if (error != nullptr) {
        const bool printable = charset.size() <= kMaxCharsetName &&
                               std::all_of(charset.begin(), charset.end(), is_charset_char);
        *error = "页面的字符集不受支持";
        if (printable) {
            *error += "：" + std::string(charset);
        }
    }
    return std::nullopt;
}

void set_error(std::string* error, std::string reason) {
    if (error != nullptr) {
        *error = std::move(reason);
    }
}

std::string field_label(const FieldMarkers& field) {
    return "[" + std::string(field.name) + "]";
}

}  // namespace

std::string build_update_url(std::string_view host) {
    std::string url(kUpdateScheme);
    url.append(host);
    url.append(kUpdatePath);
    return url;
}

std::optional<UINT> page_code_page(std::string_view content_type, std::string_view bytes,
                                   std::string* error) {
    if (bytes.starts_with(kUtf8Bom)) {
        return kCodePageUtf8;
    }
    if (bytes.starts_with(kUtf16LeBom) || bytes.starts_with(kUtf16BeBom)) {
        return code_page_of("UTF-16", error);
    }
    if (const std::string_view declared = header_charset(content_type); !declared.empty()) {
        return code_page_of(declared, error);
    }
    if (const std::string_view declared = meta_charset(bytes); !declared.empty()) {
        return code_page_of(declared, error);
    }
    return kCodePageGbk;
}

std::optional<std::string> page_to_program_text(std::string_view bytes,
                                                std::string_view content_type, std::string* error) {
    const std::optional<UINT> code_page = page_code_page(content_type, bytes, error);
    if (!code_page) {
        return std::nullopt;
    }
    if (bytes.starts_with(kUtf8Bom)) {
        bytes.remove_prefix(kUtf8Bom.size());
    }
    std::optional<std::string> text =
        convert_code_page(bytes_to_text(bytes), *code_page, kProgramCodePage);
    if (!text) {
        set_error(error, "页面含有无效或无法显示的字符");
    }
    return text;
}

// The update section, as the page is expected to carry it (shown after conversion to program
// text; "…" is anything at all):
//
//     …tazep…
//     [edition]=1.0.0.0[/edition]
//     [downloadURL]=http://update.quavik.example/download/quavik-1.0.0.0.zip[/downloadURL]
//     [explain]=What the release brings.[/explain]
//     …var sogou_ad_width=360…
//
// - The section runs from the end of the first "tazep" to the first "var sogou_ad_width=360"
//   after it; both must be present. Markers before or after the section are not looked at.
// - A field's value is exactly what stands between its opening and closing marker, spaces and
//   line ends included; "#引号" in it stands for a double quote.
// - Each of the six markers stands exactly once in the section, every closing marker after its
//   opening marker. The fields may come in any order but must not nest or overlap.
// - Markers are matched on character boundaries only (find_text), so a marker's bytes inside a
//   multi-byte character are no marker.
// Anything else yields nothing, with a short reason.
std::optional<UpdateFields> parse_update_section(std::string_view page, std::string* error) {
    const long start = find_text(page, kSectionStart);
    if (start < 0) {
        set_error(error, "页面中没有更新信息");
        return std::nullopt;
    }
    const auto body_begin = static_cast<std::size_t>(start - 1) + kSectionStart.size();
    const long end = find_text(page, kSectionEnd, static_cast<long>(body_begin) + 1);
    if (end < 0) {
        set_error(error, "页面中的更新信息不完整");
        return std::nullopt;
    }
    const std::string_view section =
        page.substr(body_begin, static_cast<std::size_t>(end - 1) - body_begin);

    struct Span {
        std::size_t begin;  // of the opening marker
        std::size_t end;    // after the closing marker
        const FieldMarkers* field;
    };
    std::array<Span, std::size(kUpdateFieldMarkers)> spans{};
    UpdateFields fields;
    std::size_t index = 0;
    for (const FieldMarkers& field : kUpdateFieldMarkers) {
        const long open = find_text(section, field.open);
        const long close = find_text(section, field.close);
        if (open < 0) {
            set_error(error, "更新信息缺少字段 " + field_label(field));
            return std::nullopt;
        }
        const long value_begin = open + static_cast<long>(field.open.size());
        if (find_text(section, field.open, value_begin) > 0 ||
            (close > 0 &&
             find_text(section, field.close, close + static_cast<long>(field.close.size())) > 0)) {
            set_error(error, "更新信息中的字段 " + field_label(field) + " 出现了多次");
            return std::nullopt;
        }
        if (close < 0) {
            set_error(error, "更新信息中的字段 " + field_label(field) + " 没有结束标记");
            return std::nullopt;
        }
        if (close < value_begin) {
            set_error(error,
                      "更新信息中的字段 " + field_label(field) + " 的结束标记在开始标记之前");
            return std::nullopt;
        }
        const std::string_view value =
            section.substr(static_cast<std::size_t>(value_begin - 1),
                           static_cast<std::size_t>(close - value_begin));
        fields.*field.member = replace_text(value, kQuoteName, kQuote);
        spans[index++] = {static_cast<std::size_t>(open - 1),
                          static_cast<std::size_t>(close - 1) + field.close.size(), &field};
    }

    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.begin < b.begin; });
    for (std::size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].begin < spans[i - 1].end) {
            set_error(error, "更新信息中的字段 " + field_label(*spans[i].field) + " 与字段 " +
                                 field_label(*spans[i - 1].field) + " 交叠");
            return std::nullopt;
        }
    }
    return fields;
}

std::optional<UpdateFields> parse_update_page(std::string_view bytes, std::string_view content_type,
                                              std::string* error) {
    const std::optional<std::string> page = page_to_program_text(bytes, content_type, error);
    if (!page) {
        return std::nullopt;
    }
    return parse_update_section(*page, error);
}

}  // namespace quavik
