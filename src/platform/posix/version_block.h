#pragma once
// The block GetFileVersionInfoA fills and VerQueryValueA reads:
//
//   offset 0            the VS_VERSIONINFO tree, its root's wLength bytes
//   align4(wLength)     "QVKA", then the size of the conversion area (32 bits, little-endian)
//   + 8                 the conversion area, where VerQueryValueA writes strings converted to
//                       the program's text encoding
//
// Like the system's own layer, the block keeps the raw tree (so "\" points at the
// VS_FIXEDFILEINFO inside it) and leaves room behind it for converted strings. A string at tree
// offset p is converted to area offset p / 2 * 3: every UTF-16 unit becomes at most three bytes,
// so each string has a slot of its own and pointers handed out stay valid.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quavik::version {

constexpr std::uint8_t kConversionAreaSignature[4] = {'Q', 'V', 'K', 'A'};
constexpr std::size_t kAreaHeaderSize = 8;

constexpr std::size_t conversion_area_size(std::size_t tree_size) {
    return tree_size / 2 * 3 + 4;
}
constexpr std::size_t version_block_size(std::size_t tree_size) {
    return ((tree_size + 3) & ~std::size_t{3}) + kAreaHeaderSize + conversion_area_size(tree_size);
}

// Writes `tree` as a block into `capacity` bytes at `block`. When the block is too small the
// tree is cut short (its root's wLength says so) to what fits; false when not even a node
// header fits.
bool write_version_block(std::span<const std::uint8_t> tree, void* block, std::size_t capacity);

struct BlockView {
    std::span<const std::uint8_t> tree;
    std::uint8_t* area = nullptr;
    std::size_t area_size = 0;
};

// The parts of a block written by write_version_block; nothing when the block does not carry
// the signature and area size its tree length calls for. Reads the root's wLength and the
// eight bytes of the area header, nothing else.
std::optional<BlockView> view_version_block(const void* block);

}  // namespace quavik::version
