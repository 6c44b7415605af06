#pragma once
// Fixture builders for the version-resource tests: VS_VERSIONINFO trees, minimal PE32 / PE32+
// images whose .rsrc section holds them, and minimal ELF files with a version section. Everything
// is built in memory from plain descriptions, so the fixtures are reproducible and every corrupt
// variant is one edit away; offsets of the interesting structures come back with the image.
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quavik::testing {

using Bytes = std::vector<std::uint8_t>;

inline void put_u16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
inline void put_u32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    put_u16(bytes, at, static_cast<std::uint16_t>(value));
    put_u16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}
inline void put_u64(Bytes& bytes, std::size_t at, std::uint64_t value) {
    put_u32(bytes, at, static_cast<std::uint32_t>(value));
    put_u32(bytes, at + 4, static_cast<std::uint32_t>(value >> 32));
}
inline std::uint16_t get_u16(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}
inline std::uint32_t get_u32(const Bytes& bytes, std::size_t at) {
    return get_u16(bytes, at) | (static_cast<std::uint32_t>(get_u16(bytes, at + 2)) << 16);
}
inline void append_u16(Bytes& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void append_u32(Bytes& bytes, std::uint32_t value) {
    append_u16(bytes, static_cast<std::uint16_t>(value));
    append_u16(bytes, static_cast<std::uint16_t>(value >> 16));
}
inline void pad_to(Bytes& bytes, std::size_t alignment) {
    while (bytes.size() % alignment != 0) {
        bytes.push_back(0);
    }
}

// UTF-8 to UTF-16, for fixture texts (valid UTF-8 only).
inline std::u16string utf16(std::string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t code = extra == 0   ? lead
                        : extra == 1 ? lead & 0x1F
                        : extra == 2 ? lead & 0x0F
                                     : lead & 0x07;
        for (int k = 1; k <= extra; ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (code >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

// ---- VS_VERSIONINFO ----------------------------------------------------------------------

struct NodeSpec {
    std::u16string key;
    std::uint16_t type = 1;
    Bytes value;
    std::optional<std::uint16_t> value_length;  // default: UTF-16 units for text, else bytes
    std::vector<NodeSpec> children;
};

inline Bytes utf16z_bytes(std::u16string_view text) {
    Bytes bytes;
    for (const char16_t unit : text) {
        append_u16(bytes, unit);
    }
    append_u16(bytes, 0);
    return bytes;
}

inline Bytes serialize_node(const NodeSpec& node) {
    Bytes out(6, 0);
    const Bytes key = utf16z_bytes(node.key);
    out.insert(out.end(), key.begin(), key.end());
    pad_to(out, 4);
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const NodeSpec& child : node.children) {
        pad_to(out, 4);
        const Bytes bytes = serialize_node(child);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    const std::uint16_t value_length = node.value_length.value_or(
        static_cast<std::uint16_t>(node.type == 1 ? node.value.size() / 2 : node.value.size()));
    put_u16(out, 0, static_cast<std::uint16_t>(out.size()));
    put_u16(out, 2, value_length);
    put_u16(out, 4, node.type);
    return out;
}

inline NodeSpec string_node(std::string_view key, std::string_view value) {
    return NodeSpec{utf16(key), 1, utf16z_bytes(utf16(value)), std::nullopt, {}};
}

struct StringTableSpec {
    std::string key;  // e.g. "080404B0"
    std::vector<std::pair<std::string, std::string>> strings;
};

struct VersionSpec {
    std::uint32_t file_version_ms = 0x00010002;  // 1.2
    std::uint32_t file_version_ls = 0x00030004;  // .3.4
    std::uint32_t product_version_ms = 0x00050006;
    std::uint32_t product_version_ls = 0x00070008;
    std::uint32_t file_os = 0x4;
    std::uint32_t file_type = 0x1;
    std::vector<StringTableSpec> tables;
    // Language/code-page entries of VarFileInfo\Translation; no VarFileInfo at all when empty
    // and `translation_bytes` is not set.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
    std::optional<Bytes> translation_bytes;  // the raw Translation value, instead of the above
};

inline NodeSpec version_root(const VersionSpec& layout) {
    NodeSpec root{u"VS_VERSION_INFO", 0, {}, std::nullopt, {}};
    for (const std::uint32_t word :
         {0xFEEF04BDu, 0x00010000u, layout.file_version_ms, layout.file_version_ls,
          layout.product_version_ms, layout.product_version_ls, 0x3Fu, 0u, layout.file_os,
          layout.file_type, 0u, 0u, 0u}) {
        append_u32(root.value, word);
    }
    if (!layout.tables.empty()) {
        NodeSpec info{u"StringFileInfo", 1, {}, std::nullopt, {}};
        for (const StringTableSpec& table : layout.tables) {
            NodeSpec table_node{utf16(table.key), 1, {}, std::nullopt, {}};
            for (const auto& [key, value] : table.strings) {
                table_node.children.push_back(string_node(key, value));
            }
            info.children.push_back(table_node);
        }
        root.children.push_back(info);
    }
    if (!layout.translations.empty() || layout.translation_bytes) {
        NodeSpec var{u"Translation", 0, {}, std::nullopt, {}};
        if (layout.translation_bytes) {
            var.value = *layout.translation_bytes;
        } else {
            for (const auto& [language, code_page] : layout.translations) {
                append_u16(var.value, language);
                append_u16(var.value, code_page);
            }
        }
        root.children.push_back(NodeSpec{u"VarFileInfo", 1, {}, std::nullopt, {var}});
    }
    return root;
}

inline Bytes build_version_resource(const VersionSpec& layout) {
    return serialize_node(version_root(layout));
}

// A typical resource: Chinese (PRC), Unicode, all ten strings.
inline VersionSpec typical_version_spec() {
    VersionSpec layout;
    layout.translations = {{0x0804, 0x04B0}};
    layout.tables = {{"080404B0",
                      {{"CompanyName", "示例公司"},
                       {"FileDescription", "示例程序"},
                       {"FileVersion", "1.2.3.4"},
                       {"InternalName", "sample"},
                       {"LegalCopyright", "版权所有 (C) 2024"},
                       {"LegalTrademarks", "Sample™"},
                       {"OriginalFilename", "sample.exe"},
                       {"ProductName", "示例产品"},
                       {"ProductVersion", "5.6.7.8"},
                       {"Comments", "注释"}}}};
    return layout;
}

// ---- PE images ---------------------------------------------------------------------------

struct ResourceSpec {
    std::uint16_t type = 16;  // RT_VERSION
    std::uint16_t name = 1;
    std::uint16_t language = 0x0804;
    Bytes data;
};

struct PeSpec {
    bool pe32_plus = false;
    std::vector<ResourceSpec> resources;
};

struct PeImage {
    Bytes bytes;
    std::size_t pe_offset = 0;           // "PE\0\0"
    std::size_t optional_offset = 0;     // optional header
    std::size_t resource_directory = 0;  // the resource data-directory entry (RVA, size)
    std::size_t section_table = 0;
    std::size_t rsrc_offset = 0;  // file offset of .rsrc
    std::uint32_t rsrc_rva = 0;
    // File offsets, in the order the directories were laid out: [0] root, then one per type,
    // then one per (type, name).
    std::vector<std::size_t> directories;
    std::vector<std::size_t> data_entries;  // IMAGE_RESOURCE_DATA_ENTRY, one per resource
    std::vector<std::size_t> data;          // resource bytes, one per resource
};

// Two sections: an empty ".text" at RVA 0x1000 and ".rsrc" at RVA 0x2000, file offset 0x400, so
// RVAs and file offsets differ.
inline PeImage build_pe(const PeSpec& layout) {
    constexpr std::size_t kPeOffset = 0x80;
    constexpr std::uint32_t kTextRva = 0x1000;
    constexpr std::uint32_t kRsrcRva = 0x2000;
    constexpr std::size_t kTextRaw = 0x200;
    constexpr std::size_t kRsrcRaw = 0x400;

    // Group the resources by type, then name, then language, all ascending.
    std::map<std::uint16_t, std::map<std::uint16_t, std::map<std::uint16_t, std::size_t>>> tree;
    for (std::size_t i = 0; i < layout.resources.size(); ++i) {
        const ResourceSpec& r = layout.resources[i];
        tree[r.type][r.name][r.language] = i;
    }

    PeImage image;
    Bytes rsrc;
    auto directory = [&rsrc](std::size_t entries) {
        const std::size_t at = rsrc.size();
        rsrc.resize(at + 16 + 8 * entries, 0);
        put_u16(rsrc, at + 14, static_cast<std::uint16_t>(entries));
        return at;
    };
    std::vector<std::size_t> rsrc_directories;
    const std::size_t root = directory(tree.size());
    rsrc_directories.push_back(root);
    std::size_t type_index = 0;
    std::vector<std::size_t> type_directories;
    for (const auto& [type, names] : tree) {
        const std::size_t dir = directory(names.size());
        rsrc_directories.push_back(dir);
        type_directories.push_back(dir);
        put_u32(rsrc, root + 16 + 8 * type_index, type);
        put_u32(rsrc, root + 16 + 8 * type_index + 4,
                0x80000000u | static_cast<std::uint32_t>(dir));
        ++type_index;
    }
    type_index = 0;
    std::vector<std::pair<std::size_t, std::vector<std::size_t>>> language_dirs;
    for (const auto& [type, names] : tree) {
        std::size_t name_index = 0;
        for (const auto& [name, languages] : names) {
            const std::size_t dir = directory(languages.size());
            rsrc_directories.push_back(dir);
            const std::size_t parent = type_directories[type_index];
            put_u32(rsrc, parent + 16 + 8 * name_index, name);
            put_u32(rsrc, parent + 16 + 8 * name_index + 4,
                    0x80000000u | static_cast<std::uint32_t>(dir));
            std::vector<std::size_t> order;
            for (const auto& [language, index] : languages) {
                order.push_back(index);
            }
            language_dirs.emplace_back(dir, order);
            ++name_index;
        }
        ++type_index;
    }
    std::vector<std::size_t> entry_at(layout.resources.size());
    for (const auto& [dir, order] : language_dirs) {
        for (std::size_t k = 0; k < order.size(); ++k) {
            const std::size_t entry = rsrc.size();
            rsrc.resize(entry + 16, 0);
            entry_at[order[k]] = entry;
            put_u32(rsrc, dir + 16 + 8 * k, layout.resources[order[k]].language);
            put_u32(rsrc, dir + 16 + 8 * k + 4, static_cast<std::uint32_t>(entry));
        }
    }
    std::vector<std::size_t> data_at(layout.resources.size());
    for (std::size_t i = 0; i < layout.resources.size(); ++i) {
        pad_to(rsrc, 4);
        data_at[i] = rsrc.size();
        rsrc.insert(rsrc.end(), layout.resources[i].data.begin(), layout.resources[i].data.end());
        put_u32(rsrc, entry_at[i], kRsrcRva + static_cast<std::uint32_t>(data_at[i]));
        put_u32(rsrc, entry_at[i] + 4, static_cast<std::uint32_t>(layout.resources[i].data.size()));
    }
    const std::size_t rsrc_virtual = rsrc.size();
    pad_to(rsrc, 0x200);

    Bytes& out = image.bytes;
    out.assign(kRsrcRaw + rsrc.size(), 0);
    out[0] = 'M';
    out[1] = 'Z';
    put_u32(out, 0x3C, kPeOffset);
    image.pe_offset = kPeOffset;
    out[kPeOffset] = 'P';
    out[kPeOffset + 1] = 'E';
    const std::size_t coff = kPeOffset + 4;
    const std::uint16_t optional_size = layout.pe32_plus ? 240 : 224;
    put_u16(out, coff, layout.pe32_plus ? 0x8664 : 0x014C);  // machine
    put_u16(out, coff + 2, 2);                               // sections
    put_u16(out, coff + 16, optional_size);
    put_u16(out, coff + 18, layout.pe32_plus ? 0x0022 : 0x0102);
    const std::size_t opt = coff + 20;
    image.optional_offset = opt;
    put_u16(out, opt, layout.pe32_plus ? 0x20B : 0x10B);
    put_u32(out, opt + 32, 0x1000);  // section alignment
    put_u32(out, opt + 36, 0x200);   // file alignment
    put_u32(out, opt + 56, 0x3000);  // size of image
    put_u32(out, opt + 60, 0x200);   // size of headers
    const std::size_t count_at = opt + (layout.pe32_plus ? 108 : 92);
    put_u32(out, count_at, 16);
    image.resource_directory = count_at + 4 + 2 * 8;
    put_u32(out, image.resource_directory, kRsrcRva);
    put_u32(out, image.resource_directory + 4, static_cast<std::uint32_t>(rsrc_virtual));

    const std::size_t sections = opt + optional_size;
    image.section_table = sections;
    auto section = [&out](std::size_t at, const char* name, std::uint32_t virtual_size,
                          std::uint32_t rva, std::uint32_t raw_size, std::uint32_t raw) {
        std::copy(name, name + std::char_traits<char>::length(name), out.begin() + at);
        put_u32(out, at + 8, virtual_size);
        put_u32(out, at + 12, rva);
        put_u32(out, at + 16, raw_size);
        put_u32(out, at + 20, raw);
    };
    section(sections, ".text", 0x10, kTextRva, 0x200, kTextRaw);
    section(sections + 40, ".rsrc", static_cast<std::uint32_t>(rsrc_virtual), kRsrcRva,
            static_cast<std::uint32_t>(rsrc.size()), kRsrcRaw);

    std::copy(rsrc.begin(), rsrc.end(), out.begin() + kRsrcRaw);
    image.rsrc_offset = kRsrcRaw;
    image.rsrc_rva = kRsrcRva;
    for (const std::size_t dir : rsrc_directories) {
        image.directories.push_back(kRsrcRaw + dir);
    }
    for (std::size_t i = 0; i < layout.resources.size(); ++i) {
        image.data_entries.push_back(kRsrcRaw + entry_at[i]);
        image.data.push_back(kRsrcRaw + data_at[i]);
    }
    return image;
}

// A PE image of the given bitness with one version resource.
inline PeImage build_pe_with_version(const VersionSpec& layout, bool pe32_plus = false) {
    return build_pe(
        PeSpec{pe32_plus, {ResourceSpec{16, 1, 0x0804, build_version_resource(layout)}}});
}

// ---- ELF files ---------------------------------------------------------------------------

struct ElfSpec {
    bool wide = true;  // ELFCLASS64, else ELFCLASS32
    bool big_endian = false;
    std::optional<Bytes> version_section;
    std::string section_name = ".quavik_version";
    std::uint32_t section_type = 1;   // SHT_PROGBITS
    bool extended_numbering = false;  // e_shnum 0 and e_shstrndx SHN_XINDEX
};

struct ElfImage {
    Bytes bytes;
    std::size_t header_table = 0;   // e_shoff
    std::size_t entry_size = 0;     // e_shentsize
    std::size_t version_index = 3;  // the version section's header
    std::size_t names_index = 2;    // .shstrtab
};

inline ElfImage build_elf(const ElfSpec& layout) {
    const bool big = layout.big_endian;
    auto put = [big](Bytes& b, std::size_t at, std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) {
            const int shift = big ? 8 * (size - 1 - i) : 8 * i;
            b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> shift);
        }
    };
    ElfImage image;
    const std::size_t header_size = layout.wide ? 64 : 52;
    image.entry_size = layout.wide ? 64 : 40;
    Bytes& out = image.bytes;
    out.assign(header_size, 0);

    const std::string names =
        std::string("\0.text\0.shstrtab\0", 17) + layout.section_name + std::string("\0", 1);
    const std::size_t names_at = out.size();
    out.insert(out.end(), names.begin(), names.end());
    pad_to(out, 8);
    std::size_t version_at = out.size();
    if (layout.version_section) {
        out.insert(out.end(), layout.version_section->begin(), layout.version_section->end());
        pad_to(out, 8);
    }
    image.header_table = out.size();
    const std::size_t count = layout.version_section ? 4 : 3;
    out.resize(out.size() + count * image.entry_size, 0);

    out[0] = 0x7F;
    out[1] = 'E';
    out[2] = 'L';
    out[3] = 'F';
    out[4] = layout.wide ? 2 : 1;
    out[5] = big ? 2 : 1;
    out[6] = 1;
    put(out, 16, 2, 2);  // ET_EXEC
    if (layout.wide) {
        put(out, 0x28, image.header_table, 8);
        put(out, 0x34, header_size, 2);
        put(out, 0x3A, image.entry_size, 2);
        put(out, 0x3C, layout.extended_numbering ? 0 : count, 2);
        put(out, 0x3E, layout.extended_numbering ? 0xFFFF : 2, 2);
    } else {
        put(out, 0x20, image.header_table, 4);
        put(out, 0x28, header_size, 2);
        put(out, 0x2E, image.entry_size, 2);
        put(out, 0x30, layout.extended_numbering ? 0 : count, 2);
        put(out, 0x32, layout.extended_numbering ? 0xFFFF : 2, 2);
    }
    auto section = [&](std::size_t index, std::uint32_t name, std::uint32_t type,
                       std::uint64_t offset, std::uint64_t size, std::uint32_t link) {
        const std::size_t at = image.header_table + index * image.entry_size;
        put(out, at, name, 4);
        put(out, at + 4, type, 4);
        if (layout.wide) {
            put(out, at + 24, offset, 8);
            put(out, at + 32, size, 8);
            put(out, at + 40, link, 4);
        } else {
            put(out, at + 16, offset, 4);
            put(out, at + 20, size, 4);
            put(out, at + 24, link, 4);
        }
    };
    section(0, 0, 0, 0, layout.extended_numbering ? count : 0, layout.extended_numbering ? 2 : 0);
    section(1, 1, 1, names_at, 0, 0);             // .text, empty
    section(2, 7, 3, names_at, names.size(), 0);  // .shstrtab
    if (layout.version_section) {
        section(3, 17, layout.section_type, version_at, layout.version_section->size(), 0);
    }
    return image;
}

}  // namespace quavik::testing
