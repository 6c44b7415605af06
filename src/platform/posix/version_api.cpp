// The system's version-resource functions over our own reader: the tree comes from a PE image's
// RT_VERSION resource or from our ELF executables' version section (version_resource.h), the
// block GetFileVersionInfoA fills is laid out as version_block.h describes, and strings leave
// VerQueryValueA in the program's text encoding.
#include "version_api.h"

#include <cstring>
#include <string>
#include <vector>

#include "text_encoding.h"
#include "version_block.h"
#include "version_languages.h"
#include "version_resource.h"
#include "version_tree.h"

namespace {

using quavik::version::BlockView;
using quavik::version::FileSource;
using quavik::version::VersionTree;
using quavik::version::VersionValue;

std::optional<std::vector<std::uint8_t>> read_tree(const char* file_name) {
    const std::unique_ptr<FileSource> file = FileSource::open(file_name);
    if (!file) {
        return std::nullopt;
    }
    return quavik::version::find_version_tree(*file);
}

// A sub-block path as UTF-16 components; nothing when a component is not valid text.
std::optional<std::vector<std::u16string>> path_components(const char* sub_block) {
    std::vector<std::u16string> path;
    for (const std::string_view part : quavik::version::split_sub_block(sub_block)) {
        if (path.size() >= static_cast<std::size_t>(quavik::version::kMaxTreeDepth) ||
            part.size() > 0xFFFF) {
            return std::nullopt;
        }
        const int size = static_cast<int>(part.size());
        const int units = MultiByteToWideChar(kProgramCodePage, 0, part.data(), size, nullptr, 0);
        if (units <= 0) {
            return std::nullopt;
        }
        std::u16string component(static_cast<std::size_t>(units), u'\0');
        if (MultiByteToWideChar(kProgramCodePage, 0, part.data(), size, component.data(), units) !=
            units) {
            return std::nullopt;
        }
        path.push_back(std::move(component));
    }
    return path;
}

// The text value's UTF-16 units up to its first NUL, unpaired surrogates replaced by U+FFFD so
// that the conversion cannot fail half-way.
std::u16string text_units(std::span<const std::uint8_t> tree, const VersionValue& value) {
    std::u16string units;
    for (std::size_t at = value.offset; at + 2 <= value.offset + value.size; at += 2) {
        const char16_t unit = quavik::version::load_u16le(tree.data() + at);
        if (unit == 0) {
            break;
        }
        units.push_back(unit);
    }
    for (std::size_t i = 0; i < units.size(); ++i) {
        const bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF;
        const bool low = units[i] >= 0xDC00 && units[i] <= 0xDFFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            units[i] = u'\uFFFD';
        }
    }
    return units;
}

}  // namespace

DWORD GetFileVersionInfoSizeA(const char* lptstrFilename, DWORD* lpdwHandle) {
    if (lpdwHandle != nullptr) {
        *lpdwHandle = 0;
    }
    const std::optional<std::vector<std::uint8_t>> tree = read_tree(lptstrFilename);
    if (!tree) {
        return 0;
    }
    return static_cast<DWORD>(quavik::version::version_block_size(tree->size()));
}

BOOL GetFileVersionInfoA(const char* lptstrFilename, DWORD /*dwHandle*/, DWORD dwLen,
                         void* lpData) {
    if (lpData == nullptr || dwLen == 0) {
        return 0;
    }
    const std::optional<std::vector<std::uint8_t>> tree = read_tree(lptstrFilename);
    if (!tree) {
        quavik::version::clear_version_block(lpData, dwLen);
        return 0;
    }
    return quavik::version::write_version_block(*tree, lpData, dwLen) ? 1 : 0;
}

BOOL VerQueryValueA(const void* pBlock, const char* lpSubBlock, void** lplpBuffer, UINT* puLen) {
    if (puLen != nullptr) {
        *puLen = 0;
    }
    if (pBlock == nullptr || lpSubBlock == nullptr || lplpBuffer == nullptr) {
        return 0;
    }
    const std::optional<BlockView> block = quavik::version::view_version_block(pBlock);
    if (!block) {
        return 0;
    }
    const std::optional<std::vector<std::u16string>> path = path_components(lpSubBlock);
    if (!path) {
        return 0;
    }
    const VersionTree tree(block->tree);
    const std::optional<VersionValue> value = tree.find_value(*path);
    if (!value) {
        return 0;  // *lplpBuffer stays as it was
    }
    if (!value->text) {
        *lplpBuffer = const_cast<std::uint8_t*>(block->tree.data() + value->offset);
        if (puLen != nullptr) {
            *puLen = static_cast<UINT>(value->size);
        }
        return 1;
    }

    // Each string has its own slot in the conversion area (version_block.h).
    const std::u16string units = text_units(block->tree, *value);
    const std::size_t slot = value->offset / 2 * 3;
    if (slot >= block->area_size) {
        return 0;
    }
    char* out = reinterpret_cast<char*>(block->area + slot);
    const std::size_t room = block->area_size - slot - 1;  // keeps a byte for the terminator
    int written = 0;
    if (!units.empty() && room > 0) {
        written = WideCharToMultiByte(
            kProgramCodePage, 0, units.data(), static_cast<int>(units.size()), out,
            static_cast<int>(room < 0x7FFFFFFF ? room : 0x7FFFFFFF), nullptr, nullptr);
        if (written < 0) {
            written = 0;
        }
    }
    out[written] = '\0';
    *lplpBuffer = out;
    if (puLen != nullptr) {
        *puLen = value->size == 0 ? 0 : static_cast<UINT>(written) + 1;
    }
    return 1;
}

DWORD VerLanguageNameA(DWORD wLang, char* szLang, DWORD cchLang) {
    // Only the low 16 bits name the language; a translation entry's code page is ignored.
    const std::string_view name =
        quavik::version::language_name(static_cast<std::uint16_t>(wLang & 0xFFFF));
    if (szLang == nullptr || cchLang == 0) {
        return static_cast<DWORD>(name.size());
    }
    // Cut to the buffer on a character boundary, always terminated.
    std::size_t length = 0;
    while (length < name.size()) {
        const std::size_t next = length + quavik::character_length(name, length);
        if (next > cchLang - 1) {
            break;
        }
        length = next;
    }
    std::memcpy(szLang, name.data(), length);
    szLang[length] = '\0';
    // Like the system: the length written when the whole name fits, else the size needed.
    return static_cast<DWORD>(length == name.size() ? length : name.size() + 1);
}
