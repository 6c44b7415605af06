#pragma once
// The number-search request: where the service lives, the checks on the three typed values and
// the URL formed from them.
//
//   http://<host>/num.php?shengfenid=<province>&shiquid=<city>&lh=<pattern>
//
// Scheme, path and keys are fixed; only the host can be pointed elsewhere (QUAVIK_SEARCH_HOST).
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace quavik {

// The compiled-in host of the number-search service. ".example" is reserved (RFC 2606), so a
// build that was never configured fails visibly instead of reaching a stranger's server; a
// deployment sets QUAVIK_SEARCH_HOST, and the local service prints the host:port to use.
inline constexpr std::string_view kSearchHost = "num.quavik.example";
// The environment variable that replaces kSearchHost.
inline constexpr std::string_view kSearchHostVariable = "QUAVIK_SEARCH_HOST";

// The effective host of a web endpoint: `env_value` when it is set, non-empty and a plain
// "host" or "host:port" (letters, digits, '-', '.', '_', or a bracketed IPv6 address; port 1 to
// 65535, written without leading zeros), else `compiled_in`. Gives a reason in `*warning`
// (when given) for a value it refuses, and clears it otherwise. The caller reads the
// environment.
std::string resolve_endpoint_host(std::string_view compiled_in, const char* env_value,
                                  std::string* warning);

// RFC 3986 percent-encoding of a query value: A-Z a-z 0-9 - . _ ~ stay, every other byte
// becomes %XX (upper-case hex), whatever the encoding of the text.
std::string percent_encode(std::string_view value);

// "http://" + host + "/num.php?shengfenid=" + province + "&shiquid=" + city + "&lh=" + pattern,
// each value percent-encoded, so no value can add a key, a path or a fragment. `host` is taken
// as it stands (see resolve_endpoint_host).
std::string build_search_url(std::string_view host, std::string_view province,
                             std::string_view city, std::string_view pattern);

// The IDs as the reference text writes them: exactly two (province) or three (city) decimal
// digits, no sign, no leading zero. Nothing for anything else; the ID need not exist.
std::optional<int> parse_province_id(std::string_view text);
std::optional<int> parse_city_id(std::string_view text);

// Accepted values, normalised: trimmed, the pattern type in capitals.
struct SearchRequest {
    std::string province;  // e.g. "10"
    std::string city;      // e.g. "101"
    std::string pattern;   // one of kPatternTypes, e.g. "AAAA"

    bool operator==(const SearchRequest&) const = default;
};

// Why the values cannot be searched for: the box to correct first and what to tell the user.
struct SearchRefusal {
    std::string_view box;  // the unit name: "编辑框2", "编辑框3" or "编辑框4"
    std::string message;   // one or two short sentences, naming the box by its label
};

using SearchInputCheck = std::variant<SearchRequest, SearchRefusal>;

// Checks the raw contents of the three boxes (province, city, pattern type), top to bottom:
// surrounding spaces (ASCII space, tab, CR, LF and the ideographic space U+3000) are dropped,
// letters of the pattern type are turned into capitals, then the province ID must exist, the
// city ID must exist and belong to that province, and the pattern type must be one of the
// nine. The first failure is the refusal.
SearchInputCheck validate_search_input(std::string_view raw_province, std::string_view raw_city,
                                       std::string_view raw_pattern);

}  // namespace quavik
