#include "version_block.h"

#include <algorithm>
#include <cstring>

#include "version_source.h"
#include "version_tree.h"

namespace quavik::version {

bool write_version_block(std::span<const std::uint8_t> tree, void* block, std::size_t capacity) {
    if (block == nullptr || tree.size() < kNodeHeaderSize || tree.size() > 0xFFFF) {
        return false;
    }
    std::size_t size = tree.size();
    if (version_block_size(size) > capacity) {
        // About two and a half bytes of block per byte of tree; step down to what fits.
        size = std::min(size, capacity / 5 * 2);
        while (size >= kNodeHeaderSize && version_block_size(size) > capacity) {
            --size;
        }
        if (size < kNodeHeaderSize) {
            return false;
        }
    }
    auto* bytes = static_cast<std::uint8_t*>(block);
    std::memcpy(bytes, tree.data(), size);
    store_u16le(bytes, static_cast<std::uint16_t>(size));
    const std::size_t area_header = align4(size);
    std::fill(bytes + size, bytes + area_header, std::uint8_t{0});
    std::memcpy(bytes + area_header, kConversionAreaSignature, sizeof kConversionAreaSignature);
    store_u32le(bytes + area_header + 4, static_cast<std::uint32_t>(conversion_area_size(size)));
    std::memset(bytes + area_header + kAreaHeaderSize, 0, conversion_area_size(size));
    return true;
}

std::optional<BlockView> view_version_block(const void* block) {
    if (block == nullptr) {
        return std::nullopt;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    const std::size_t size = load_u16le(bytes);
    if (size < kNodeHeaderSize) {
        return std::nullopt;
    }
    const std::uint8_t* area_header = bytes + align4(size);
    if (std::memcmp(area_header, kConversionAreaSignature, sizeof kConversionAreaSignature) != 0 ||
        load_u32le(area_header + 4) != conversion_area_size(size)) {
        return std::nullopt;
    }
    BlockView view;
    view.tree = std::span<const std::uint8_t>(bytes, size);
    // The block belongs to the caller, who handed it over for the conversion area to be used.
    view.area = const_cast<std::uint8_t*>(area_header + kAreaHeaderSize);
    view.area_size = conversion_area_size(size);
    return view;
}

}  // namespace quavik::version
