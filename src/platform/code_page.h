#pragma once
// Code-page conversion. The system's MultiByteToWideChar and WideCharToMultiByte come from the
// backend's code_page_api.h (our own layer over iconv on POSIX, kernel32 on Windows), with the
// system's argument lists; this header adds a small convenience on top of them.
#include <optional>
#include <string>
#include <string_view>

#include "code_page_api.h"

namespace quavik {

constexpr UINT kCodePageGbk = 936;
constexpr UINT kCodePageUtf8 = 65001;

// Converts `bytes` from one code page into another through UTF-16. Nothing when the bytes are
// not valid in `from` or cannot be written in `to`.
std::optional<std::string> convert_code_page(std::string_view bytes, UINT from, UINT to);

}  // namespace quavik
