#include "ui/web_page.h"

#include <algorithm>
#include <cctype>

namespace quavik {

namespace {

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char lower, char c) {
               return std::tolower(static_cast<unsigned char>(c)) == lower;
           });
}

std::string escape_html(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&#39;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

}  // namespace

bool is_web_address(std::string_view url) {
    std::string_view rest;
    if (starts_with_ignoring_case(url, "http://")) {
        rest = url.substr(7);
    } else if (starts_with_ignoring_case(url, "https://")) {
        rest = url.substr(8);
    } else {
        return false;
    }
    const bool clean = std::none_of(url.begin(), url.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    });
    const std::size_t host_end = rest.find_first_of("/?#");
    const std::string_view authority = rest.substr(0, host_end);
    const std::size_t at = authority.rfind('@');
    const std::string_view host = at == std::string_view::npos ? authority : authority.substr(at + 1);
    return clean && !host.empty() && host.front() != ':';
}

std::string load_error_page(std::string_view url, std::string_view reason) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>无法打开页面</title>"
           "<style>body{font-family:sans-serif;margin:24px;color:#333}"
           "h1{font-size:18px;color:#b00020}code{word-break:break-all;background:#f4f4f4;"
           "padding:2px 4px}</style></head><body><h1>无法打开页面</h1><p>地址：<code>" +
           escape_html(url) + "</code></p><p>原因：" + escape_html(reason) +
           "</p><p>请检查网络连接或稍后再试。</p></body></html>";
}

}  // namespace quavik
