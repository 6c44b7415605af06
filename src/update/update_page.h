#pragma once
// The update-information page: where it lives, how its code page is found, and the fields of its
// update section.
#include <optional>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace quavik {

// The compiled-in host of the update server. ".example" is reserved (RFC 2606), so a build that
// was never configured fails visibly instead of reaching a stranger's server; a deployment sets
// QUAVIK_UPDATE_HOST ("host" or "host:port"), which replaces the host and nothing else.
inline constexpr std::string_view kUpdateServiceHost = "update.quavik.example";
inline constexpr std::string_view kUpdateHostVariable = "QUAVIK_UPDATE_HOST";

inline constexpr std::string_view kUpdateScheme = "http://";
inline constexpr std::string_view kUpdatePath = "/tazep";

// The two texts that bound the update section, in the order the page writes them.
inline constexpr std::string_view kSectionStart = "tazep";
inline constexpr std::string_view kSectionEnd = "var sogou_ad_width=360";

// The written name of the double-quote character in the field values.
inline constexpr std::string_view kQuoteName = "#引号";
inline constexpr std::string_view kQuote = "\"";

// The three published fields, as they stand on the page (with "#引号" already replaced).
struct UpdateFields {
    std::string edition;
    std::string download_url;
    std::string explain;

    bool operator==(const UpdateFields&) const = default;
};

struct FieldMarkers {
    std::string_view name;  // as the page writes it between the brackets
    std::string_view open;
    std::string_view close;
    std::string UpdateFields::*member;
};

// clang-format off
inline constexpr FieldMarkers kUpdateFieldMarkers[] = {
    {"edition",     "[edition]=",     "[/edition]",     &UpdateFields::edition},
    {"downloadURL", "[downloadURL]=", "[/downloadURL]", &UpdateFields::download_url},
    {"explain",     "[explain]=",     "[/explain]",     &UpdateFields::explain},
};
// clang-format on

// "http://" + host + "/tazep". `host` is taken as it stands (resolved at start-up).
std::string build_update_url(std::string_view host);

// The code page the page is written in: a byte-order mark, else the charset of the HTTP
// Content-Type header, else a <meta charset> or <meta http-equiv="Content-Type"> declaration
// within the page's first 1024 bytes, else GBK. Nothing, with the reason in `*error`, for a
// declared charset that the check does not read.
std::optional<UINT> page_code_page(std::string_view content_type, std::string_view bytes,
                                   std::string* error);

// The page as program text (kProgramCodePage): cut at its first zero byte, a byte-order mark
// dropped, converted from its code page. Nothing, with the reason, for bytes that are not valid
// in that code page.
std::optional<std::string> page_to_program_text(std::string_view bytes,
                                                std::string_view content_type, std::string* error);

// The three fields of the update section of `page` (program text). Nothing, with the reason,
// when the page does not hold exactly what the format below allows.
std::optional<UpdateFields> parse_update_section(std::string_view page, std::string* error);

// Both steps: bytes as fetched (with the Content-Type header, empty when none came) to fields.
std::optional<UpdateFields> parse_update_page(std::string_view bytes, std::string_view content_type,
                                              std::string* error);

}  // namespace quavik
