// Conversion between two code pages through UTF-16, with the system's two functions.
#include "platform/code_page.h"

#include <climits>

namespace quavik {

namespace {

constexpr UINT kCodePageGb18030 = 54936;
constexpr UINT kCodePageUtf16 = 1200;

}  // namespace

std::optional<std::string> convert_code_page(std::string_view bytes, UINT from, UINT to) {
    if (bytes.empty()) {
        return std::string();
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    const int size = static_cast<int>(bytes.size());
    const int units =
        MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (units == 0) {
        return std::nullopt;
    }
    std::basic_string<WCHAR> wide(static_cast<std::size_t>(units), WCHAR{0});
    if (MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), units) !=
        units) {
        return std::nullopt;
    }

    // The Unicode code pages hold every character, and take the strict flag instead of telling
    // about default characters; UTF-8 (and UTF-16) take no default-character arguments at all.
    const UINT target = to == CP_ACP ? kProgramCodePage : to;
    const bool unicode =
        target == CP_UTF8 || target == kCodePageGb18030 || target == kCodePageUtf16;
    const DWORD flags = unicode ? WC_ERR_INVALID_CHARS : 0;
    BOOL used_default = 0;
    BOOL* used_default_out =
        target == CP_UTF8 || target == kCodePageUtf16 ? nullptr : &used_default;

    const int length = WideCharToMultiByte(target, flags, wide.data(), units, nullptr, 0, nullptr,
                                           used_default_out);
    if (length == 0 || used_default) {
        return std::nullopt;
    }
    std::string result(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(target, flags, wide.data(), units, result.data(), length, nullptr,
                            used_default_out) != length ||
        used_default) {
        return std::nullopt;
    }
    return result;
}

}  // namespace quavik
