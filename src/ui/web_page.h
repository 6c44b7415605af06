#pragma once
// What the HTML view may show: only http and https addresses, and a short page of our own when
// a page cannot be loaded.
#include <string>
#include <string_view>

namespace quavik {

// True for an absolute http:// or https:// URL whose host is a plain name, an IPv4 or a
// bracketed IPv6 address (with an optional port, no user name), in printable ASCII without
// spaces or characters a URL never carries unescaped.
bool is_web_address(std::string_view url);

// A short page saying that `url` could not be loaded, and why. Both are HTML-escaped.
std::string load_error_page(std::string_view url, std::string_view reason);

}  // namespace quavik
