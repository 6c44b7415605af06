#include "version_block.h"

#include <algorithm>
#include <cstring>

#include "version_source.h"
#include "version_tree.h"

namespace quavik::version {

bool write_version_block(std::span<const std::uint8_t> tree, void* block, std::size_t capacity) {
    if (block == nullptr) {
        return false;
    }
    if (tree.size() < kNodeHeaderSize || tree.size() > 0xFFFF) {
        clear_version_block(block, capacity);
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
            clear_version_block(block, capacity);
            return false;
        }
    }
    auto* bytes = static_cast<std::uint8_t*>(block);
    const std::size_t total = version_block_size(size);
    std::memcpy(bytes, kBlockSignature, sizeof kBlockSignature);
    store_u32le(bytes + 4, static_cast<std::uint32_t>(size));
    store_u32le(bytes + 8, static_cast<std::uint32_t>(total));
    std::uint8_t* tree_start = bytes + kBlockHeaderSize;
    std::memcpy(tree_start, tree.data(), size);
    store_u16le(tree_start, static_cast<std::uint16_t>(size));  // the root, when cut short
    std::fill(tree_start + size, bytes + total, std::uint8_t{0});
    return true;
}

void clear_version_block(void* block, std::size_t capacity) {
    if (block != nullptr) {
        std::memset(block, 0, std::min(capacity, kBlockHeaderSize));
    }
}

std::optional<BlockView> view_version_block(const void* block) {
    if (block == nullptr) {
        return std::nullopt;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    if (std::memcmp(bytes, kBlockSignature, sizeof kBlockSignature) != 0) {
        return std::nullopt;
    }
    const std::size_t size = load_u32le(bytes + 4);
    if (size < kNodeHeaderSize || size > 0xFFFF ||
        load_u32le(bytes + 8) != version_block_size(size) ||
        load_u16le(bytes + kBlockHeaderSize) != size) {
        return std::nullopt;
    }
    BlockView view;
    view.tree = std::span<const std::uint8_t>(bytes + kBlockHeaderSize, size);
    // The block belongs to the caller, who handed it over for the conversion area to be used.
    view.area = const_cast<std::uint8_t*>(bytes + kBlockHeaderSize + align4(size));
    view.area_size = conversion_area_size(size);
    return view;
}

}  // namespace quavik::version
