// The reader beneath the system functions, on bytes in memory: truncation at every length,
// damaged lengths anywhere in a tree, and the inputs fuzzing has found (tests/data/version).
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "pe_builder.h"
#include "version_api.h"
#include "version_block.h"
#include "version_resource.h"
#include "version_tree.h"

namespace quavik {
namespace {

using testing::Bytes;

// Asks a block every kind of question; the answers must point inside the block.
void query_everything(const Bytes& tree) {
    Bytes block(version::version_block_size(tree.size()));
    if (!version::write_version_block(tree, block.data(), block.size())) {
        return;
    }
    for (const char* sub_block :
         {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo", "\\StringFileInfo\\080404b0",
          "\\StringFileInfo\\080404b0\\ProductName", "\\StringFileInfo\\040904b0\\CompanyName",
          "\\StringFileInfo\\080404b0\\Comments", "\\a\\b\\c\\d\\e\\f"}) {
        void* found = nullptr;
        UINT length = 0;
        if (VerQueryValueA(block.data(), sub_block, &found, &length)) {
            const auto* at = static_cast<const std::uint8_t*>(found);
            ASSERT_GE(at, block.data()) << sub_block;
            ASSERT_LE(at + length, block.data() + block.size()) << sub_block;
        }
    }
}

TEST(VersionReaderTest, EveryPrefixOfAnImageIsReadSafely) {
    const Bytes tree = testing::build_version_resource(testing::typical_version_spec());
    for (const bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "PE32+" : "PE32");
        const testing::PeImage image =
            testing::build_pe_with_version(testing::typical_version_spec(), wide);
        const std::size_t needed = image.data[0] + tree.size();
        for (std::size_t length = 0; length <= image.bytes.size(); ++length) {
            const version::MemorySource source(std::span(image.bytes.data(), length));
            const auto found = version::find_version_tree(source);
            ASSERT_EQ(found.has_value(), length >= needed) << "prefix of " << length << " bytes";
            if (found) {
                ASSERT_EQ(*found, tree);
            }
        }
    }
    testing::ElfSpec layout;
    layout.version_section = tree;
    const Bytes elf = testing::build_elf(layout).bytes;
    for (std::size_t length = 0; length <= elf.size(); ++length) {
        const version::MemorySource source(std::span(elf.data(), length));
        // The section headers come last, so only the whole file has them all.
        ASSERT_EQ(version::find_version_tree(source).has_value(), length == elf.size())
            << "prefix of " << length << " bytes";
    }
}

TEST(VersionReaderTest, DamagedLengthsAnywhereInATreeAreSafe) {
    // Every 16-bit word of a valid tree set to lengths that matter: too short for a header,
    // odd, exactly the rest, past the end.
    const Bytes tree = testing::build_version_resource(testing::typical_version_spec());
    const std::uint16_t size = static_cast<std::uint16_t>(tree.size());
    for (std::size_t at = 0; at + 2 <= tree.size(); at += 2) {
        for (const std::uint16_t value :
             {std::uint16_t{0}, std::uint16_t{1}, std::uint16_t{5}, std::uint16_t{6},
              std::uint16_t{7}, static_cast<std::uint16_t>(size - at),
              static_cast<std::uint16_t>(size - at + 1), std::uint16_t{0xFFFF}}) {
            Bytes damaged = tree;
            testing::put_u16(damaged, at, value);
            SCOPED_TRACE(testing::get_u16(tree, at));
            (void)version::VersionTree(damaged).is_well_formed();
            query_everything(damaged);
            if (HasFatalFailure()) {
                FAIL() << "word at " << at << " set to " << value;
            }
        }
    }
}

TEST(VersionReaderTest, InputsFoundByFuzzing) {
    const std::filesystem::path folder = std::filesystem::path(QUAVIK_TEST_DATA) / "version";
    ASSERT_TRUE(std::filesystem::is_directory(folder));
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".bin") {
            continue;
        }
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream stream(entry.path(), std::ios::binary);
        const Bytes input((std::istreambuf_iterator<char>(stream)),
                          std::istreambuf_iterator<char>());
        const version::MemorySource source(input);
        if (const auto tree = version::find_version_tree(source)) {
            query_everything(*tree);
        }
        if (input.size() <= version::kMaxTreeSize) {
            query_everything(input);
        }
    }
}

}  // namespace
}  // namespace quavik
