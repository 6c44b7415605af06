#pragma once
// The system's version-resource functions, with their Windows argument lists. Here they read
// the VS_VERSIONINFO resource of Windows PE files (32- and 64-bit) and of our own ELF
// executables, which carry the same bytes in a section of their own.
#include "code_page_api.h"

// Size of the version information of `lptstrFilename`, 0 when it has none or cannot be read.
// *lpdwHandle (optional) is set to 0.
DWORD GetFileVersionInfoSizeA(const char* lptstrFilename, DWORD* lpdwHandle);

// Copies the version information (at most dwLen bytes) into lpData. FALSE on failure.
BOOL GetFileVersionInfoA(const char* lptstrFilename, DWORD dwHandle, DWORD dwLen, void* lpData);

// Looks up `lpSubBlock` ("\\", "\\VarFileInfo\\Translation",
// "\\StringFileInfo\\<lang><cp>\\<key>") in a block filled by GetFileVersionInfoA. Strings are
// returned in the program's text encoding; puLen counts characters including the terminator
// for strings and bytes for binary values. FALSE when the value does not exist.
BOOL VerQueryValueA(const void* pBlock, const char* lpSubBlock, void** lplpBuffer, UINT* puLen);

// Writes the name of language `wLang` (the low 16 bits of a translation entry) into szLang, at
// most cchLang bytes including the terminator; returns the length written, without it.
DWORD VerLanguageNameA(DWORD wLang, char* szLang, DWORD cchLang);
