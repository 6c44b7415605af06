#include "version_tree.h"

#include <string>

#include "version_source.h"

namespace quavik::version {

namespace {

constexpr std::u16string_view kRootKey = u"VS_VERSION_INFO";
constexpr std::u16string_view kStringFileInfoKey = u"StringFileInfo";

char16_t ascii_lower(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool equal_ignoring_ascii_case(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower(a[i]) != ascii_lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::uint16_t VersionTree::unit_at(std::size_t offset) const {
    return load_u16le(bytes_.data() + offset);
}

std::optional<VersionNode> VersionTree::node_at(std::size_t offset, std::size_t limit) const {
    if (limit > bytes_.size() || offset > limit || limit - offset < kNodeHeaderSize) {
        return std::nullopt;
    }
    VersionNode node;
    node.offset = offset;
    const std::size_t length = unit_at(offset);
    if (length < kNodeHeaderSize || length > limit - offset) {
        return std::nullopt;
    }
    node.end = offset + length;
    node.value_length = unit_at(offset + 2);
    node.type = unit_at(offset + 4);
    node.key_offset = offset + kNodeHeaderSize;

    // The key runs to its NUL unit, which must lie inside the node.
    std::size_t cursor = node.key_offset;
    while (true) {
        if (node.end - cursor < 2) {
            return std::nullopt;
        }
        if (unit_at(cursor) == 0) {
            break;
        }
        cursor += 2;
    }
    node.key_units = (cursor - node.key_offset) / 2;
    node.value_offset = align4(cursor + 2);
    if (node.value_offset > node.end) {
        node.value_offset = node.end;
    }
    const std::size_t value_bytes =
        node.type == kTextType ? std::size_t{node.value_length} * 2 : node.value_length;
    const std::size_t children = align4(node.value_offset + value_bytes);
    node.children_offset = children < node.end ? children : node.end;
    return node;
}

std::optional<VersionNode> VersionTree::next_child(const VersionNode& parent,
                                                   const VersionNode* previous) const {
    const std::size_t offset = previous == nullptr ? parent.children_offset : align4(previous->end);
    if (offset >= parent.end || parent.end - offset < kNodeHeaderSize) {
        return std::nullopt;  // the end of the children, or padding after the last one
    }
    return node_at(offset, parent.end);
}

bool VersionTree::key_equals(const VersionNode& node, std::u16string_view key) const {
    if (node.key_units != key.size()) {
        return false;
    }
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (ascii_lower(unit_at(node.key_offset + 2 * i)) != ascii_lower(key[i])) {
            return false;
        }
    }
    return true;
}

std::optional<VersionNode> VersionTree::find_child(const VersionNode& parent,
                                                   std::u16string_view key) const {
    std::optional<VersionNode> child = next_child(parent, nullptr);
    while (child) {
        if (key_equals(*child, key)) {
            return child;
        }
        child = next_child(parent, &*child);
    }
    return std::nullopt;
}

bool VersionTree::node_is_well_formed(const VersionNode& node, int depth) const {
    if (depth > kMaxTreeDepth) {
        return false;
    }
    std::size_t offset = node.children_offset;
    while (offset < node.end && node.end - offset >= kNodeHeaderSize) {
        const std::optional<VersionNode> child = node_at(offset, node.end);
        if (!child || !node_is_well_formed(*child, depth + 1)) {
            return false;
        }
        offset = align4(child->end);
    }
    return true;
}

bool VersionTree::is_well_formed() const {
    const std::optional<VersionNode> top = root();
    return top && top->end == bytes_.size() && key_equals(*top, kRootKey) &&
           node_is_well_formed(*top, 0);
}

std::optional<VersionValue> VersionTree::find_value(std::span<const std::u16string> path) const {
    std::optional<VersionNode> node = root();
    if (!node || path.size() > static_cast<std::size_t>(kMaxTreeDepth)) {
        return std::nullopt;
    }
    for (const std::u16string& component : path) {
        node = find_child(*node, component);
        if (!node) {
            return std::nullopt;
        }
    }
    VersionValue value;
    value.offset = node->value_offset;
    // The strings of a string table are text even where a tool wrote wType 0 for them.
    const bool in_string_table =
        path.size() == 3 && equal_ignoring_ascii_case(path[0], kStringFileInfoKey);
    value.text = node->type == kTextType || in_string_table;
    const std::size_t room = node->end - node->value_offset;
    const std::size_t declared =
        value.text ? std::size_t{node->value_length} * 2 : std::size_t{node->value_length};
    value.size = declared < room ? declared : room;
    return value;
}

std::vector<std::string_view> split_sub_block(std::string_view sub_block) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= sub_block.size()) {
        std::size_t stop = sub_block.find('\\', start);
        if (stop == std::string_view::npos) {
            stop = sub_block.size();
        }
        if (stop > start) {
            parts.push_back(sub_block.substr(start, stop - start));
        }
        start = stop + 1;
    }
    return parts;
}

}  // namespace quavik::version
