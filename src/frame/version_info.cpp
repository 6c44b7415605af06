#include "frame/version_info.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "platform/text.h"
#include "version_api.h"

namespace quavik {

namespace {

// The string-table key a file without a translation table is read under (US English, Windows
// Latin-1).
constexpr const char* kDefaultTableKey = "040904E4";
constexpr const char* kTranslationPath = "\\VarFileInfo\\Translation";
constexpr const char* kLanguageSeparator = ", ";
constexpr std::size_t kLanguageNameBuffer = 256;
constexpr char kEmptyText[] = "";

// The ten strings, in the order they are queried.
struct StringQuery {
    const char* format;
    OwnedText FileVersionInfo::*member;
};
// clang-format off
constexpr StringQuery kStringQueries[] = {
    {"\\StringFileInfo\\%s\\FileVersion",      &FileVersionInfo::FileVersion},
    {"\\StringFileInfo\\%s\\CompanyName",      &FileVersionInfo::CompanyName},
    {"\\StringFileInfo\\%s\\FileDescription",  &FileVersionInfo::FileDescription},
    {"\\StringFileInfo\\%s\\InternalName",     &FileVersionInfo::InternalName},
    {"\\StringFileInfo\\%s\\LegalCopyright",   &FileVersionInfo::LegalCopyright},
    {"\\StringFileInfo\\%s\\LegalTrademarks",  &FileVersionInfo::LegalTrademarks},
    {"\\StringFileInfo\\%s\\OriginalFilename", &FileVersionInfo::OriginalFilename},
    {"\\StringFileInfo\\%s\\ProductName",      &FileVersionInfo::ProductName},
    {"\\StringFileInfo\\%s\\ProductVersion",   &FileVersionInfo::ProductVersion},
    {"\\StringFileInfo\\%s\\Comments",         &FileVersionInfo::Comments},
};
// clang-format on

// The members in record order, for release and for filling.
// clang-format off
constexpr OwnedText FileVersionInfo::*kMembers[] = {
    &FileVersionInfo::FileVersion,
    &FileVersionInfo::FileDescription,
    &FileVersionInfo::InternalName,
    &FileVersionInfo::CompanyName,
    &FileVersionInfo::LegalCopyright,
    &FileVersionInfo::LegalTrademarks,
    &FileVersionInfo::OriginalFilename,
    &FileVersionInfo::ProductName,
    &FileVersionInfo::ProductVersion,
    &FileVersionInfo::Language,
    &FileVersionInfo::Comments,
};
// clang-format on

// A value cut to fit a member's block with its terminator, between characters.
std::string_view fit_member(std::string_view text) {
    return characters_within(text, kVersionMemberBlockSize - 1);
}

// The text a successful query pointed at, never read past the end of the block.
std::string_view queried_text(const void* found, const unsigned char* block, DWORD block_size) {
    const auto* text = static_cast<const unsigned char*>(found);
    if (text == nullptr || text < block || text >= block + block_size) {
        return {};
    }
    const std::size_t room = static_cast<std::size_t>(block + block_size - text);
    const char* start = reinterpret_cast<const char*>(text);
    return std::string_view(start, strnlen(start, room));
}

}  // namespace

FileVersionInfo* create_file_version_info() {
    return new (allocate_text(sizeof(FileVersionInfo))) FileVersionInfo();
}

void release_members(FileVersionInfo& record) {
    for (OwnedText FileVersionInfo::*member : kMembers) {
        (record.*member).reset();
    }
}

void release_file_version_info(FileVersionInfo* record) {
    if (record == nullptr) {
        return;
    }
    release_members(*record);
    record->~FileVersionInfo();
    release_text(reinterpret_cast<char*>(record));
}

bool read_file_version_info(const char* file_name, FileVersionInfo& record) {
    release_members(record);

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(file_name, &handle);
    if (size == 0) {
        return false;
    }
    const std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[size]);
    // The file may have changed or gone since its size was asked for: a block that was not
    // filled is never queried.
    if (!block || !GetFileVersionInfoA(file_name, handle, size, block.get())) {
        return false;
    }

    // The languages of the translation table; the first entry names the string table.
    std::string languages;
    std::string table_key = kDefaultTableKey;
    void* translation = nullptr;
    UINT translation_length = 0;
    if (VerQueryValueA(block.get(), kTranslationPath, &translation, &translation_length) &&
        translation != nullptr && translation_length >= 4) {
        const auto* entries = static_cast<const unsigned char*>(translation);
        for (UINT i = 0; i < translation_length / 4; ++i) {
            DWORD entry = 0;
            std::memcpy(&entry, entries + 4 * i, sizeof entry);
            char name[kLanguageNameBuffer] = {};
            VerLanguageNameA(entry, name, kLanguageNameBuffer);
            name[kLanguageNameBuffer - 1] = '\0';
            if (i > 0) {
                languages += kLanguageSeparator;
            }
            languages += name;
            if (i == 0) {
                char key[9];
                std::snprintf(key, sizeof key, "%04x%04x", entry & 0xFFFFu, entry >> 16);
                table_key = key;
            }
        }
    }

    // A key the table lacks gives an empty value: the result pointer starts out at "" for every
    // query, so no other key's value can stand in for it.
    std::string values[std::size(kStringQueries)];
    char path[96];
    for (std::size_t i = 0; i < std::size(kStringQueries); ++i) {
        std::snprintf(path, sizeof path, kStringQueries[i].format, table_key.c_str());
        void* found = const_cast<char*>(kEmptyText);
        UINT length = 0;
        if (VerQueryValueA(block.get(), path, &found, &length)) {
            values[i] = std::string(queried_text(found, block.get(), size));
        }
    }

    // Every member gets a block of its own, in record order.
    for (OwnedText FileVersionInfo::*member : kMembers) {
        std::string_view value = languages;
        for (std::size_t i = 0; i < std::size(kStringQueries); ++i) {
            if (kStringQueries[i].member == member) {
                value = values[i];
            }
        }
        record.*member = make_owned_text(fit_member(value), kVersionMemberBlockSize);
    }
    return true;
}

std::string version_banner(const FileVersionInfo& record) {
    std::string_view name = member_text(record.ProductName);
    if (name.empty()) {
        name = member_text(record.FileDescription);
    }
    std::string_view version = member_text(record.ProductVersion);
    if (version.empty()) {
        version = member_text(record.FileVersion);
    }
    std::string banner(name);
    if (!banner.empty() && !version.empty()) {
        banner += ' ';
    }
    banner += version;
    return banner;
}

int print_own_version(const char* executable_path) {
    FileVersionInfo record;
    if (!read_file_version_info(executable_path, record)) {
        std::fprintf(stderr, "quavik: 无法读取版本信息：%s\n",
                     executable_path != nullptr ? executable_path : "");
        return 1;
    }
    std::printf("%s\n", version_banner(record).c_str());
    std::fflush(stdout);
    return 0;
}

}  // namespace quavik
