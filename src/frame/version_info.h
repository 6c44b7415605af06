#pragma once
// The version record: the eleven version texts of an executable, as its version resource
// states them.
#include <string>
#include <string_view>

#include "frame/allocator.h"

namespace quavik {

struct FileVersionInfo {
    OwnedText FileVersion;
    OwnedText FileDescription;
    OwnedText InternalName;
    OwnedText CompanyName;
    OwnedText LegalCopyright;
    OwnedText LegalTrademarks;
    OwnedText OriginalFilename;
    OwnedText ProductName;
    OwnedText ProductVersion;
    OwnedText Language;
    OwnedText Comments;
};

// Each member's text block after a successful read.
constexpr std::size_t kVersionMemberBlockSize = 256;

// A present member's text, or "" for an absent one.
inline std::string_view member_text(const OwnedText& member) {
    return member ? std::string_view(member.get()) : std::string_view();
}

// A new record with all eleven members absent (from the program's allocator).
FileVersionInfo* create_file_version_info();
// Releases each present member, members 1 to 11 in order.
void release_members(FileVersionInfo& record);
// Releases the members, then the record.
void release_file_version_info(FileVersionInfo* record);

// Fills `record` from the version resource of `file_name`. False, with all eleven members
// absent, when the file has no readable version resource.
bool read_file_version_info(const char* file_name, FileVersionInfo& record);

// The product name and version of a filled record, "<ProductName> <ProductVersion>"; the file
// description and file version stand in for empty ones.
std::string version_banner(const FileVersionInfo& record);

// `quavik --version`: reads the version resource of the program's own file and prints its
// banner on standard output. Returns 0, or 1 with a message on standard error when the file has
// no readable version resource.
int print_own_version(const char* executable_path);

}  // namespace quavik
