#pragma once
// The block GetFileVersionInfoA fills and VerQueryValueA reads:
//
//   offset 0    "QVKA"
//   offset 4    the tree's size, its root's wLength (32 bits, little-endian)
//   offset 8    the size of the whole block (32 bits, little-endian)
//   offset 12   the VS_VERSIONINFO tree
//   then        on a 4-byte boundary, the conversion area, where VerQueryValueA writes strings
//               converted to the program's text encoding
//
// Like the system's own layer, the block keeps the raw tree (so "\" points at the
// VS_FIXEDFILEINFO inside it) and leaves room for converted strings. The header comes first so
// that VerQueryValueA can tell one of our blocks from any other bytes by reading twelve bytes,
// and learns from them how far the block reaches before it reads anything else. A string at
// tree offset p is converted to area offset p / 2 * 3: every UTF-16 unit becomes at most three
// bytes, so each string has a slot of its own and pointers handed out stay valid.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quavik::version {

constexpr std::uint8_t kBlockSignature[4] = {'Q', 'V', 'K', 'A'};
constexpr std::size_t kBlockHeaderSize = 12;

constexpr std::size_t conversion_area_size(std::size_t tree_size) {
    return tree_size / 2 * 3 + 4;
}
constexpr std::size_t version_block_size(std::size_t tree_size) {
    return kBlockHeaderSize + ((tree_size + 3) & ~std::size_t{3}) + conversion_area_size(tree_size);
}

// Writes `tree` as a block into `capacity` bytes at `block`. When the block is too small the
// tree is cut short (its root's wLength says so) to what fits; false, with the signature
// cleared, when not even a node header fits.
bool write_version_block(std::span<const std::uint8_t> tree, void* block, std::size_t capacity);

// Makes `capacity` bytes at `block` unmistakably not a block (a failed fill must not leave an
// earlier block's header behind).
void clear_version_block(void* block, std::size_t capacity);

struct BlockView {
    std::span<const std::uint8_t> tree;
    std::uint8_t* area = nullptr;
    std::size_t area_size = 0;
};

// The parts of a block written by write_version_block; nothing when its header is not ours or
// does not agree with itself and the tree's root. Reads the twelve header bytes first and
// nothing past the block size they state.
std::optional<BlockView> view_version_block(const void* block);

}  // namespace quavik::version
