#pragma once
// The system's code-page conversion functions, with their Windows argument lists, over iconv.
// WCHAR is a UTF-16 code unit, as on Windows.
#include <cstdint>

using UINT = unsigned int;
using DWORD = std::uint32_t;
using BOOL = int;
using WCHAR = char16_t;

constexpr UINT CP_ACP = 0;          // the program's text encoding: UTF-8 here
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x00000080;

// The code page of the program's own texts.
constexpr UINT kProgramCodePage = CP_UTF8;

// Returns the number of UTF-16 units written (or needed, when cchWideChar is 0); 0 on failure.
// cbMultiByte == -1 means a NUL-terminated input whose terminator is converted too.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, const char* lpMultiByteStr, int cbMultiByte,
                        WCHAR* lpWideCharStr, int cchWideChar);

// Returns the number of bytes written (or needed, when cbMultiByte is 0); 0 on failure.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, const WCHAR* lpWideCharStr, int cchWideChar,
                        char* lpMultiByteStr, int cbMultiByte, const char* lpDefaultChar,
                        BOOL* lpUsedDefaultChar);
