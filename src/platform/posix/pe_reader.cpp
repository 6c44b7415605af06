// The version resource of a Windows PE image. Reads the DOS and PE headers, the section table
// and the three levels of the resource directory (type, name, language), then the resource's
// data; every offset is checked against the file and the section it lies in, and the walk has a
// fixed depth, so a directory that points back at itself cannot make it loop.
#include <algorithm>
#include <array>
#include <initializer_list>

#include "version_resource.h"

namespace quavik::version {

namespace {

constexpr std::uint16_t kDosMagic = 0x5A4D;         // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kOptionalMagicPe32 = 0x10B;
constexpr std::uint16_t kOptionalMagicPe32Plus = 0x20B;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::uint32_t kResourceDataDirectory = 2;
constexpr std::uint32_t kHighBit = 0x80000000;
// The loader rounds raw-data pointers down to this when the file alignment is at least this.
constexpr std::uint32_t kSectorSize = 0x200;

// Languages tried in turn for the version resource, as a Chinese system looks for it: neutral,
// Chinese (PRC), English (US); failing those, the first one listed.
constexpr std::array<std::uint16_t, 3> kLanguagePreference = {0x0000, 0x0804, 0x0409};

struct Section {
    std::uint32_t virtual_address;
    std::uint32_t virtual_size;
    std::uint32_t raw_size;
    std::uint32_t raw_pointer;
};

struct DirectoryEntry {
    std::uint32_t name;    // an ID, or (high bit) the offset of a name
    std::uint32_t target;  // (high bit) a subdirectory, else a data entry; from the section start
};

class PeImage {
  public:
    explicit PeImage(const ByteSource& source) : source_(source) {}

    bool load_headers();
    std::optional<std::vector<std::uint8_t>> version_resource() const;

  private:
    // `length` bytes of the image at `rva`, as the loader would map them: from the file within
    // a section's raw data, zeros beyond it up to the section's virtual size.
    bool read_rva(std::uint32_t rva, void* out, std::size_t length) const;
    std::optional<std::vector<DirectoryEntry>> read_directory(std::uint32_t offset) const;

    const ByteSource& source_;
    std::vector<Section> sections_;
    std::uint32_t resource_rva_ = 0;
};

bool PeImage::load_headers() {
    std::uint8_t dos[0x40];
    if (!source_.read(0, dos, sizeof dos) || load_u16le(dos) != kDosMagic) {
        return false;
    }
    const std::uint64_t pe_offset = load_u32le(dos + 0x3C);
    std::uint8_t coff[4 + kCoffHeaderSize];
    if (!source_.read(pe_offset, coff, sizeof coff) || load_u32le(coff) != kPeSignature) {
        return false;
    }
    const std::uint16_t section_count = load_u16le(coff + 4 + 2);
    const std::uint16_t optional_size = load_u16le(coff + 4 + 16);
    const std::uint64_t optional_offset = pe_offset + sizeof coff;

    std::vector<std::uint8_t> optional;
    if (!source_.read_bytes(optional_offset, optional_size, optional) || optional.size() < 2) {
        return false;
    }
    const std::uint16_t magic = load_u16le(optional.data());
    std::size_t count_offset = 0;
    if (magic == kOptionalMagicPe32) {
        count_offset = 92;
    } else if (magic == kOptionalMagicPe32Plus) {
        count_offset = 108;
    } else {
        return false;
    }
    const std::size_t directories_offset = count_offset + 4;
    if (optional.size() < directories_offset) {
        return false;
    }
    const std::uint32_t directory_count = load_u32le(optional.data() + count_offset);
    const std::size_t resource_entry = directories_offset + kResourceDataDirectory * 8;
    if (directory_count <= kResourceDataDirectory || optional.size() < resource_entry + 8) {
        return false;  // no resource directory at all
    }
    resource_rva_ = load_u32le(optional.data() + resource_entry);
    if (resource_rva_ == 0 || load_u32le(optional.data() + resource_entry + 4) == 0) {
        return false;
    }
    const std::uint32_t file_alignment = load_u32le(optional.data() + 36);

    std::vector<std::uint8_t> table;
    if (!source_.read_bytes(optional_offset + optional_size,
                            std::size_t{section_count} * kSectionHeaderSize, table)) {
        return false;
    }
    sections_.reserve(section_count);
    for (std::size_t i = 0; i < section_count; ++i) {
        const std::uint8_t* header = table.data() + i * kSectionHeaderSize;
        Section section{};
        section.virtual_size = load_u32le(header + 8);
        section.virtual_address = load_u32le(header + 12);
        section.raw_size = load_u32le(header + 16);
        section.raw_pointer = load_u32le(header + 20);
        if (file_alignment >= kSectorSize) {
            section.raw_pointer &= ~(kSectorSize - 1);
        }
        sections_.push_back(section);
    }
    return true;
}

bool PeImage::read_rva(std::uint32_t rva, void* out, std::size_t length) const {
    for (const Section& section : sections_) {
        const std::uint64_t span =
            section.virtual_size > section.raw_size ? section.virtual_size : section.raw_size;
        if (rva < section.virtual_address || rva - section.virtual_address >= span) {
            continue;
        }
        const std::uint64_t offset = rva - section.virtual_address;
        if (length > span - offset) {
            return false;  // runs off the end of its section
        }
        const std::uint64_t on_file = offset < section.raw_size ? section.raw_size - offset : 0;
        const std::size_t from_file = length < on_file ? length : static_cast<std::size_t>(on_file);
        auto* bytes = static_cast<std::uint8_t*>(out);
        if (from_file > 0 &&
            !source_.read(std::uint64_t{section.raw_pointer} + offset, bytes, from_file)) {
            return false;
        }
        std::fill(bytes + from_file, bytes + length, std::uint8_t{0});
        return true;
    }
    return false;
}

std::optional<std::vector<DirectoryEntry>> PeImage::read_directory(std::uint32_t offset) const {
    if (offset > UINT32_MAX - resource_rva_) {
        return std::nullopt;
    }
    const std::uint32_t rva = resource_rva_ + offset;
    std::uint8_t header[kDirectoryHeaderSize];
    if (!read_rva(rva, header, sizeof header)) {
        return std::nullopt;
    }
    const std::size_t count = std::size_t{load_u16le(header + 12)} + load_u16le(header + 14);
    std::vector<std::uint8_t> raw(count * kDirectoryEntrySize);
    if (count > 0 && (rva > UINT32_MAX - kDirectoryHeaderSize ||
                      !read_rva(rva + kDirectoryHeaderSize, raw.data(), raw.size()))) {
        return std::nullopt;
    }
    std::vector<DirectoryEntry> entries(count);
    for (std::size_t i = 0; i < count; ++i) {
        entries[i].name = load_u32le(raw.data() + i * kDirectoryEntrySize);
        entries[i].target = load_u32le(raw.data() + i * kDirectoryEntrySize + 4);
    }
    return entries;
}

// The entry with ID `id`, for the preferred IDs in turn; else the first entry when `fallback`.
const DirectoryEntry* pick_entry(const std::vector<DirectoryEntry>& entries,
                                 std::initializer_list<std::uint16_t> ids, bool fallback) {
    for (const std::uint16_t id : ids) {
        for (const DirectoryEntry& entry : entries) {
            if ((entry.name & kHighBit) == 0 && entry.name == id) {
                return &entry;
            }
        }
    }
    return fallback && !entries.empty() ? &entries.front() : nullptr;
}

std::optional<std::vector<std::uint8_t>> PeImage::version_resource() const {
    const std::optional<std::vector<DirectoryEntry>> types = read_directory(0);
    if (!types) {
        return std::nullopt;
    }
    const DirectoryEntry* type = pick_entry(*types, {kResourceTypeVersion}, false);
    if (type == nullptr || (type->target & kHighBit) == 0) {
        return std::nullopt;
    }
    const auto names = read_directory(type->target & ~kHighBit);
    if (!names) {
        return std::nullopt;
    }
    // Resource 1 is the version resource; a file that numbers it otherwise still has one.
    const DirectoryEntry* name = pick_entry(*names, {kVersionResourceId}, true);
    if (name == nullptr || (name->target & kHighBit) == 0) {
        return std::nullopt;
    }
    const auto languages = read_directory(name->target & ~kHighBit);
    if (!languages) {
        return std::nullopt;
    }
    const DirectoryEntry* language = pick_entry(
        *languages, {kLanguagePreference[0], kLanguagePreference[1], kLanguagePreference[2]}, true);
    if (language == nullptr || (language->target & kHighBit) != 0 ||
        language->target > UINT32_MAX - resource_rva_) {
        return std::nullopt;  // a third level of directories, or none
    }
    std::uint8_t data_entry[kDataEntrySize];
    if (!read_rva(resource_rva_ + language->target, data_entry, sizeof data_entry)) {
        return std::nullopt;
    }
    const std::uint32_t data_rva = load_u32le(data_entry);
    const std::uint32_t data_size = load_u32le(data_entry + 4);
    if (data_size == 0 || data_size > kMaxResourceSize) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> data(data_size < kMaxTreeSize ? data_size : kMaxTreeSize);
    if (!read_rva(data_rva, data.data(), data.size())) {
        return std::nullopt;
    }
    return data;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> read_pe_version_resource(const ByteSource& source) {
    PeImage image(source);
    if (!image.load_headers()) {
        return std::nullopt;
    }
    return image.version_resource();
}

}  // namespace quavik::version
