#pragma once
// The VS_VERSIONINFO tree of a version resource. Every node has the same shape:
//
//   WORD  wLength;        bytes of the node, its value and its children
//   WORD  wValueLength;   bytes of the value, or UTF-16 units when wType is 1 (text)
//   WORD  wType;          1 text, 0 binary
//   WCHAR szKey[];        NUL-terminated UTF-16LE
//   padding to 4 bytes
//   value
//   padding to 4 bytes
//   children, each starting on a 4-byte boundary
//
// The root is "VS_VERSION_INFO" with a VS_FIXEDFILEINFO value; its children are
// "StringFileInfo" (string tables named <language><code page>, holding the strings) and
// "VarFileInfo" (the "Translation" value). Offsets count from the start of the tree, and
// nothing here reads outside the bytes it was given.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quavik::version {

constexpr std::size_t kNodeHeaderSize = 6;
constexpr std::size_t kFixedFileInfoSize = 52;
constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr std::uint16_t kTextType = 1;
// Real trees are four levels deep; anything much deeper is garbage.
constexpr int kMaxTreeDepth = 16;

constexpr std::size_t align4(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

struct VersionNode {
    std::size_t offset = 0;           // start of the node
    std::size_t end = 0;              // offset + wLength
    std::size_t key_offset = 0;       // szKey
    std::size_t key_units = 0;        // UTF-16 units of the key, without its terminator
    std::size_t value_offset = 0;     // start of the value
    std::uint16_t value_length = 0;   // wValueLength as stored
    std::uint16_t type = 0;           // wType
    std::size_t children_offset = 0;  // first child, or `end` when there is none
};

// Where a value lies in the tree.
struct VersionValue {
    std::size_t offset = 0;
    std::size_t size = 0;  // bytes, never past the node
    bool text = false;     // UTF-16LE text, read up to its first NUL unit
};

class VersionTree {
  public:
    explicit VersionTree(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::span<const std::uint8_t> bytes() const { return bytes_; }

    // The node at `offset` that must end by `limit`; nothing when its header, its key or its
    // length do not fit.
    std::optional<VersionNode> node_at(std::size_t offset, std::size_t limit) const;
    std::optional<VersionNode> root() const { return node_at(0, bytes_.size()); }

    // The next child of `parent` after `previous` (the first one when `previous` is null);
    // nothing at the end of the children or at the first child that does not fit.
    std::optional<VersionNode> next_child(const VersionNode& parent,
                                          const VersionNode* previous) const;

    // The first child whose key equals `key`, ignoring the case of ASCII letters.
    std::optional<VersionNode> find_child(const VersionNode& parent, std::u16string_view key) const;

    bool key_equals(const VersionNode& node, std::u16string_view key) const;
    std::uint16_t unit_at(std::size_t offset) const;

    // True when every node is well formed: each header and key fit, each child ends inside
    // its parent, no deeper than kMaxTreeDepth, and the root is "VS_VERSION_INFO" spanning
    // the whole tree.
    bool is_well_formed() const;

    // The value at `path` (the components between backslashes of a VerQueryValue sub-block;
    // empty for the root's fixed file information).
    std::optional<VersionValue> find_value(std::span<const std::u16string> path) const;

  private:
    bool node_is_well_formed(const VersionNode& node, int depth) const;
    std::span<const std::uint8_t> bytes_;
};

// Splits a sub-block path at its backslashes, skipping empty components.
std::vector<std::string_view> split_sub_block(std::string_view sub_block);

}  // namespace quavik::version
