#include "version_resource.h"

#include "version_tree.h"

namespace quavik::version {

std::optional<std::vector<std::uint8_t>> find_version_tree(const ByteSource& source) {
    std::uint8_t magic[4];
    if (!source.read(0, magic, sizeof magic)) {
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> bytes;
    if (magic[0] == 0x7F && magic[1] == 'E' && magic[2] == 'L' && magic[3] == 'F') {
        bytes = read_elf_version_section(source);
    } else if (magic[0] == 'M' && magic[1] == 'Z') {
        bytes = read_pe_version_resource(source);
    }
    if (!bytes || bytes->size() < 2) {
        return std::nullopt;
    }
    // The resource may be padded; the tree is its root's wLength bytes, which must all be there.
    const std::size_t length = load_u16le(bytes->data());
    if (length > bytes->size()) {
        return std::nullopt;
    }
    bytes->resize(length);
    if (!VersionTree(*bytes).is_well_formed()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace quavik::version
