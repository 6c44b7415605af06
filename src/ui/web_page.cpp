#include "ui/web_page.h"

#include <algorithm>

namespace quavik {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
bool is_host_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || is_digit(c) || c == '-' ||
           c == '.' || c == '_';
}

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

// "host", "host:port" or "[v6]" / "[v6]:port".
bool is_valid_authority(std::string_view authority) {
    std::string_view port;
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos || close == 1) {
            return false;
        }
        const std::string_view address = authority.substr(1, close - 1);
        if (!std::all_of(address.begin(), address.end(), [](char c) {
                return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
                       c == ':' || c == '.';
            })) {
            return false;
        }
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty() && !rest.starts_with(':')) {
            return false;
        }
        port = rest.empty() ? std::string_view() : rest.substr(1);
        if (rest.size() == 1) {
            return false;  // "[::1]:"
        }
    } else {
        std::string_view host = authority;
        const std::size_t colon = authority.find(':');
        if (colon != std::string_view::npos) {
            host = authority.substr(0, colon);
            port = authority.substr(colon + 1);
            if (port.empty()) {
                return false;
            }
        }
        if (host.empty() || !std::all_of(host.begin(), host.end(), is_host_char)) {
            return false;
        }
    }
    return port.size() <= 5 && std::all_of(port.begin(), port.end(), is_digit);
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
    constexpr std::string_view kNeverUnescaped = "\"<>\\^`{|}";
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || kNeverUnescaped.find(c) != std::string_view::npos) {
            return false;
        }
    }
    std::string_view rest;
    if (starts_with_ignoring_case(url, "http://")) {
        rest = url.substr(7);
    } else if (starts_with_ignoring_case(url, "https://")) {
        rest = url.substr(8);
    } else {
        return false;
    }
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    return is_valid_authority(authority);  // a user name ("@") is no host character
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
