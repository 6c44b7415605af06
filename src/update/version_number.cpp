#include "update/version_number.h"

#include "platform/text.h"

namespace quavik {

namespace {

constexpr unsigned kMaxPart = 65535;

}  // namespace

std::optional<VersionNumber> parse_version_number(std::string_view text) {
    text = trim_spaces(text);
    if (text.empty()) {
        return std::nullopt;
    }
    VersionNumber version;
    std::size_t part = 0;
    std::size_t at = 0;
    for (;;) {
        if (part == version.parts.size()) {
            return std::nullopt;  // a fifth part
        }
        unsigned value = 0;
        const std::size_t first = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            value = value * 10 + static_cast<unsigned>(text[at] - '0');
            if (value > kMaxPart) {
                return std::nullopt;
            }
            ++at;
        }
        if (at == first) {
            return std::nullopt;  // an empty part, or something else than a digit
        }
        version.parts[part++] = static_cast<std::uint16_t>(value);
        if (at == text.size()) {
            return version;
        }
        if (text[at] != '.') {
            return std::nullopt;
        }
        ++at;
        if (at == text.size()) {
            return std::nullopt;  // "1."
        }
    }
}

std::optional<bool> is_newer_version(std::string_view published, std::string_view local,
                                     std::string* error) {
    const std::optional<VersionNumber> local_version = parse_version_number(local);
    if (!local_version) {
        if (error != nullptr) {
            *error = "无法读取本地版本，无法比较版本";
        }
        return std::nullopt;
    }
    const std::optional<VersionNumber> published_version = parse_version_number(published);
    if (!published_version) {
        if (error != nullptr) {
            *error = "服务器上的版本号无效";
        }
        return std::nullopt;
    }
    return *published_version > *local_version;
}

}  // namespace quavik
