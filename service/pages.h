#pragma once
// The pages of the local number-search service, as HTML (UTF-8). Pure: the HTTP server in
// main.cpp only hands the query over and sends what comes back.
#include <map>
#include <string>
#include <string_view>

namespace quavik {

struct PageAnswer {
    int status;        // HTTP status
    std::string html;  // a whole page, UTF-8
};

// The query keys and values as the server decoded them; a key may come more than once.
using QueryParams = std::multimap<std::string, std::string>;

// "/num.php": the numbers of pattern type `lh` in city `shiquid` of province `shengfenid`, or a
// 400 page naming the first key that is missing, repeated or wrong and what it takes.
PageAnswer number_search_page(const QueryParams& params);

// Any path the service does not know.
PageAnswer not_found_page(std::string_view path);

// Any other refusal that has no page of its own (a method the service does not take, a
// malformed request): the status and a short page saying so.
PageAnswer error_page(int status, std::string_view path);

// & < > " ' as character references.
std::string html_escape(std::string_view text);

}  // namespace quavik
