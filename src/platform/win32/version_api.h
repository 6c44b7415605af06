#pragma once
// The system's version-resource functions: version.dll's GetFileVersionInfoSizeA,
// GetFileVersionInfoA, VerQueryValueA and VerLanguageNameA (kernel32's, which VerLanguageNameA
// forwards to).
#include "code_page_api.h"

#include <winver.h>
