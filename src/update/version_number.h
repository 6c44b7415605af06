#pragma once
// Version numbers as the version resource and the update page write them: up to four decimal
// parts separated by dots ("1", "1.10", "1.0.0.0"), each 0 to 65535.
#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quavik {

struct VersionNumber {
    std::array<std::uint16_t, 4> parts{};  // missing parts are 0

    friend constexpr auto operator<=>(const VersionNumber&, const VersionNumber&) = default;
};

// Surrounding ASCII spaces, tabs and line ends are ignored. Nothing for anything that is not a
// version number: empty, a letter or sign anywhere ("v2.0"), an empty part ("1..0", "1."), more
// than four parts, a part over 65535, digits other than ASCII 0-9.
std::optional<VersionNumber> parse_version_number(std::string_view text);

// Whether the published version is newer than the local one. Nothing, with the reason in
// `*error`, when either of them is not a version number.
std::optional<bool> is_newer_version(std::string_view published, std::string_view local,
                                     std::string* error);

}  // namespace quavik
