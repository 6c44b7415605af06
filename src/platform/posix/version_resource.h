#pragma once
// Finding the version resource of an executable: the RT_VERSION resource of a Windows PE image
// (32- or 64-bit), or the named section of one of our own ELF executables, which carries the
// same VS_VERSIONINFO bytes.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "version_source.h"

namespace quavik::version {

// A declared resource or section larger than this is taken for garbage and never read.
constexpr std::uint32_t kMaxResourceSize = 1u << 20;
// The root's wLength is 16 bits wide, so no tree is longer than this.
constexpr std::size_t kMaxTreeSize = 0xFFFF;
constexpr std::uint16_t kResourceTypeVersion = 16;  // RT_VERSION
constexpr std::uint16_t kVersionResourceId = 1;     // VS_VERSION_INFO
// The ELF section our own executables carry their version resource in.
constexpr std::string_view kVersionSectionName = ".quavik_version";

// The first bytes (at most kMaxTreeSize) of the PE image's version resource.
std::optional<std::vector<std::uint8_t>> read_pe_version_resource(const ByteSource& source);
// The first bytes (at most kMaxTreeSize) of the ELF file's version section.
std::optional<std::vector<std::uint8_t>> read_elf_version_section(const ByteSource& source);

// The VS_VERSIONINFO tree of a PE or ELF executable, exactly its root's wLength bytes, checked
// to be well formed. Nothing for any other file, or when the tree is damaged.
std::optional<std::vector<std::uint8_t>> find_version_tree(const ByteSource& source);

}  // namespace quavik::version
