// The version section of an ELF executable (32- or 64-bit, either byte order), found by name
// through the section headers. Only the headers, the one name compared and the section itself
// are read.
#include <algorithm>

#include "version_resource.h"

namespace quavik::version {

namespace {

constexpr std::uint8_t kElfMagic[4] = {0x7F, 'E', 'L', 'F'};
constexpr std::uint8_t kElfClass32 = 1;
constexpr std::uint8_t kElfClass64 = 2;
constexpr std::uint8_t kElfDataLittle = 1;
constexpr std::uint8_t kElfDataBig = 2;
constexpr std::uint32_t kSectionTypeNoBits = 8;   // SHT_NOBITS: no bytes in the file
constexpr std::uint16_t kExtendedIndex = 0xFFFF;  // SHN_XINDEX
// More section headers than any executable of ours will have; beyond this the file is garbage.
constexpr std::uint64_t kMaxSections = 0x10000;

struct SectionHeader {
    std::uint32_t name = 0;
    std::uint32_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint32_t link = 0;
};

class ElfFile {
  public:
    explicit ElfFile(const ByteSource& source) : source_(source) {}

    bool load_header();
    std::optional<std::vector<std::uint8_t>> version_section() const;

  private:
    std::uint16_t u16(const std::uint8_t* p) const { return big_ ? load_u16be(p) : load_u16le(p); }
    std::uint32_t u32(const std::uint8_t* p) const { return big_ ? load_u32be(p) : load_u32le(p); }
    std::uint64_t u64(const std::uint8_t* p) const { return big_ ? load_u64be(p) : load_u64le(p); }
    std::optional<SectionHeader> section(std::uint64_t index) const;
    bool name_is(const SectionHeader& names, std::uint32_t name, std::string_view wanted) const;

    const ByteSource& source_;
    bool wide_ = false;
    bool big_ = false;
    std::uint64_t table_offset_ = 0;
    std::uint64_t entry_size_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t names_index_ = 0;
};

bool ElfFile::load_header() {
    std::uint8_t header[64];
    if (!source_.read(0, header, 16) || !std::equal(kElfMagic, kElfMagic + 4, header)) {
        return false;
    }
    if (header[4] != kElfClass32 && header[4] != kElfClass64) {
        return false;
    }
    if (header[5] != kElfDataLittle && header[5] != kElfDataBig) {
        return false;
    }
    wide_ = header[4] == kElfClass64;
    big_ = header[5] == kElfDataBig;
    if (!source_.read(0, header, wide_ ? 64 : 52)) {
        return false;
    }
    std::uint64_t count = 0;
    std::uint64_t names_index = 0;
    if (wide_) {
        table_offset_ = u64(header + 0x28);
        entry_size_ = u16(header + 0x3A);
        count = u16(header + 0x3C);
        names_index = u16(header + 0x3E);
    } else {
        table_offset_ = u32(header + 0x20);
        entry_size_ = u16(header + 0x2E);
        count = u16(header + 0x30);
        names_index = u16(header + 0x32);
    }
    if (table_offset_ == 0 || entry_size_ < (wide_ ? 64u : 40u)) {
        return false;
    }
    // With many sections the true count and name-table index stand in section header 0.
    count_ = 1;
    std::optional<SectionHeader> first = section(0);
    if (!first) {
        return false;
    }
    count_ = count != 0 ? count : first->size;
    names_index_ = names_index != kExtendedIndex ? names_index : first->link;
    // The whole table must be in the file.
    return count_ > 0 && count_ <= kMaxSections && names_index_ < count_ &&
           table_offset_ <= source_.size() &&
           count_ * entry_size_ <= source_.size() - table_offset_;
}

std::optional<SectionHeader> ElfFile::section(std::uint64_t index) const {
    if (index >= count_ || table_offset_ > UINT64_MAX - index * entry_size_) {
        return std::nullopt;
    }
    std::uint8_t raw[64];
    const std::size_t read_size = wide_ ? 64 : 40;
    if (!source_.read(table_offset_ + index * entry_size_, raw, read_size)) {
        return std::nullopt;
    }
    SectionHeader header;
    header.name = u32(raw);
    header.type = u32(raw + 4);
    if (wide_) {
        header.offset = u64(raw + 24);
        header.size = u64(raw + 32);
        header.link = u32(raw + 40);
    } else {
        header.offset = u32(raw + 16);
        header.size = u32(raw + 20);
        header.link = u32(raw + 24);
    }
    return header;
}

bool ElfFile::name_is(const SectionHeader& names, std::uint32_t name,
                      std::string_view wanted) const {
    // The name and its terminator must lie inside the name table.
    if (names.type == kSectionTypeNoBits || name > names.size ||
        names.size - name < wanted.size() + 1) {
        return false;
    }
    char text[64];
    if (wanted.size() + 1 > sizeof text || names.offset > UINT64_MAX - name ||
        !source_.read(names.offset + name, text, wanted.size() + 1)) {
        return false;
    }
    return std::string_view(text, wanted.size()) == wanted && text[wanted.size()] == '\0';
}

std::optional<std::vector<std::uint8_t>> ElfFile::version_section() const {
    const std::optional<SectionHeader> names = section(names_index_);
    if (!names) {
        return std::nullopt;
    }
    for (std::uint64_t index = 1; index < count_; ++index) {
        const std::optional<SectionHeader> candidate = section(index);
        if (!candidate) {
            return std::nullopt;
        }
        if (!name_is(*names, candidate->name, kVersionSectionName)) {
            continue;
        }
        if (candidate->type == kSectionTypeNoBits || candidate->size == 0 ||
            candidate->size > kMaxResourceSize) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> bytes;
        const std::size_t wanted = candidate->size < kMaxTreeSize
                                       ? static_cast<std::size_t>(candidate->size)
                                       : kMaxTreeSize;
        if (!source_.read_bytes(candidate->offset, wanted, bytes)) {
            return std::nullopt;
        }
        return bytes;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> read_elf_version_section(const ByteSource& source) {
    ElfFile file(source);
    if (!file.load_header()) {
        return std::nullopt;
    }
    return file.version_section();
}

}  // namespace quavik::version
