// version_dump FILE...: prints what our reader finds in each file's version resource, one
// "key=value" per line, for scripts/compare-version-resources.sh to hold against an independent
// reader. The record's members come from read_file_version_info; the fixed part and the
// translation table straight from the system functions.
#include <cstdio>
#include <cstring>
#include <vector>

#include "frame/version_info.h"
#include "version_api.h"

namespace {

struct Member {
    const char* name;
    quavik::OwnedText quavik::FileVersionInfo::*member;
};
// clang-format off
constexpr Member kMembers[] = {
    {"FileVersion",      &quavik::FileVersionInfo::FileVersion},
    {"FileDescription",  &quavik::FileVersionInfo::FileDescription},
    {"InternalName",     &quavik::FileVersionInfo::InternalName},
    {"CompanyName",      &quavik::FileVersionInfo::CompanyName},
    {"LegalCopyright",   &quavik::FileVersionInfo::LegalCopyright},
    {"LegalTrademarks",  &quavik::FileVersionInfo::LegalTrademarks},
    {"OriginalFilename", &quavik::FileVersionInfo::OriginalFilename},
    {"ProductName",      &quavik::FileVersionInfo::ProductName},
    {"ProductVersion",   &quavik::FileVersionInfo::ProductVersion},
    {"Language",         &quavik::FileVersionInfo::Language},
    {"Comments",         &quavik::FileVersionInfo::Comments},
};
// clang-format on

std::uint32_t word(const void* at, std::size_t index) {
    std::uint32_t value = 0;
    std::memcpy(&value, static_cast<const unsigned char*>(at) + 4 * index, sizeof value);
    return value;
}

void dump(const char* file) {
    std::printf("file=%s\n", file);
    quavik::FileVersionInfo record;
    const bool found = quavik::read_file_version_info(file, record);
    std::printf("result=%d\n", found ? 1 : 0);
    if (!found) {
        return;
    }
    for (const Member& m : kMembers) {
        std::printf("%s=%s\n", m.name, quavik::member_text(record.*m.member).data());
    }
    const DWORD size = GetFileVersionInfoSizeA(file, nullptr);
    std::vector<unsigned char> block(size);
    if (size == 0 || !GetFileVersionInfoA(file, 0, size, block.data())) {
        return;
    }
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\", &value, &length) && length >= 52) {
        std::printf("Fixed=%u.%u.%u.%u/%u.%u.%u.%u\n", word(value, 2) >> 16,
                    word(value, 2) & 0xFFFF, word(value, 3) >> 16, word(value, 3) & 0xFFFF,
                    word(value, 4) >> 16, word(value, 4) & 0xFFFF, word(value, 5) >> 16,
                    word(value, 5) & 0xFFFF);
    }
    std::printf("Translation=");
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length)) {
        for (UINT i = 0; i + 4 <= length; i += 4) {
            std::printf("%s%04x:%04x", i == 0 ? "" : " ", word(value, i / 4) & 0xFFFF,
                        word(value, i / 4) >> 16);
        }
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        dump(argv[i]);
    }
    return 0;
}
