#pragma once
// The eleven members of a version record in record order, written out for the tests apart from
// the reader's own table.
#include "frame/version_info.h"

namespace quavik::testing {

struct MemberExpectation {
    const char* name;
    OwnedText FileVersionInfo::*member;
};
// clang-format off
inline constexpr MemberExpectation kMembers[] = {
    {"FileVersion",      &FileVersionInfo::FileVersion},
    {"FileDescription",  &FileVersionInfo::FileDescription},
    {"InternalName",     &FileVersionInfo::InternalName},
    {"CompanyName",      &FileVersionInfo::CompanyName},
    {"LegalCopyright",   &FileVersionInfo::LegalCopyright},
    {"LegalTrademarks",  &FileVersionInfo::LegalTrademarks},
    {"OriginalFilename", &FileVersionInfo::OriginalFilename},
    {"ProductName",      &FileVersionInfo::ProductName},
    {"ProductVersion",   &FileVersionInfo::ProductVersion},
    {"Language",         &FileVersionInfo::Language},
    {"Comments",         &FileVersionInfo::Comments},
};
// clang-format on

}  // namespace quavik::testing
