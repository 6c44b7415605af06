#pragma once
// The system's code-page conversion functions: kernel32's own MultiByteToWideChar and
// WideCharToMultiByte. WCHAR is wchar_t here, a UTF-16 code unit.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// The code page of the program's own texts: the ANSI code page (936, GBK, on a Chinese system,
// which is what the program's literals are compiled into).
constexpr UINT kProgramCodePage = CP_ACP;
