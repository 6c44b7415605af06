// Fuzzes the version-resource reader with arbitrary bytes taken three ways: as a whole file (the
// PE and ELF locators and the tree check), as a VS_VERSIONINFO tree (the query block, written at
// its full size and cut short), and through the path of a query.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "version_api.h"
#include "version_block.h"
#include "version_resource.h"
#include "version_tree.h"

namespace {

using quavik::version::kMaxTreeSize;

constexpr const char* kPaths[] = {
    "\\",
    "\\VarFileInfo\\Translation",
    "\\StringFileInfo",
    "\\StringFileInfo\\080404b0",
    "\\StringFileInfo\\080404b0\\ProductName",
    "\\StringFileInfo\\040904E4\\FileVersion",
    "\\StringFileInfo\\040904b0\\CompanyName",
};

// Writes `tree` into a block of exactly `capacity` bytes on the heap, so that any access past it
// is caught, and asks it everything.
void query(std::span<const std::uint8_t> tree, std::size_t capacity, const std::string& extra) {
    std::vector<std::uint8_t> block(capacity);
    if (!quavik::version::write_version_block(tree, block.data(), block.size())) {
        return;
    }
    auto ask = [&block](const char* path) {
        void* found = nullptr;
        UINT length = 0;
        if (VerQueryValueA(block.data(), path, &found, &length)) {
            const auto* at = static_cast<const std::uint8_t*>(found);
            if (at < block.data() || at + length > block.data() + block.size()) {
                __builtin_trap();
            }
            if (length > 0) {
                volatile std::uint8_t sink = at[length - 1];
                (void)sink;
            }
        }
    };
    for (const char* path : kPaths) {
        ask(path);
    }
    ask(extra.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);

    const quavik::version::MemorySource source(bytes);
    if (const auto tree = quavik::version::find_version_tree(source)) {
        query(*tree, quavik::version::version_block_size(tree->size()), "\\");
    }

    if (size <= kMaxTreeSize) {
        (void)quavik::version::VersionTree(bytes).is_well_formed();
        // A query path from the last bytes, up to their first zero.
        const std::size_t tail = size < 48 ? size : 48;
        std::string path(reinterpret_cast<const char*>(data + size - tail), tail);
        path.resize(std::strlen(path.c_str()));
        const std::size_t full = quavik::version::version_block_size(size);
        query(bytes, full, path);
        query(bytes, size > 0 ? full - 1 - data[0] % full : full, path);
    }

    if (size >= 4) {
        DWORD language = 0;
        std::memcpy(&language, data, sizeof language);
        char name[16];
        VerLanguageNameA(language, name, 1 + data[size - 1] % sizeof name);
    }
    return 0;
}
