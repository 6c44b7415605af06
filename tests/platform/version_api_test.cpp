// The system's version-resource functions over PE and ELF files: what a well-formed resource
// yields, how paths and keys are matched, the block's bounds, and bad files of every kind.
#include "version_api.h"

#include <sys/stat.h>

#include <cstring>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "pe_builder.h"
#include "version_fixtures.h"

namespace quavik {
namespace {

using testing::build_elf;
using testing::build_pe;
using testing::build_pe_with_version;
using testing::build_version_resource;
using testing::Bytes;
using testing::ElfSpec;
using testing::PeImage;
using testing::PeSpec;
using testing::ResourceSpec;
using testing::TempDir;
using testing::typical_version_spec;
using testing::VersionSpec;

// The block GetFileVersionInfoA fills for `path`, sized as GetFileVersionInfoSizeA says.
std::optional<Bytes> load_block(const std::string& path) {
    DWORD handle = 123;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    if (size == 0) {
        return std::nullopt;
    }
    Bytes block(size);
    if (!GetFileVersionInfoA(path.c_str(), handle, size, block.data())) {
        return std::nullopt;
    }
    return block;
}

std::optional<std::string> query_text(const Bytes& block, const char* sub_block) {
    void* found = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), sub_block, &found, &length)) {
        return std::nullopt;
    }
    return std::string(static_cast<const char*>(found));
}

std::uint32_t fixed_word(const void* fixed, std::size_t index) {
    std::uint32_t word = 0;
    std::memcpy(&word, static_cast<const std::uint8_t*>(fixed) + 4 * index, sizeof word);
    return word;
}

std::string repeat(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// ---- well-formed files -------------------------------------------------------------------

TEST(VersionApiTest, ReadsPe32AndPe32PlusImages) {
    TempDir dir;
    for (const bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "PE32+" : "PE32");
        const std::string path =
            dir.write(wide ? "wide.dll" : "narrow.exe",
                      build_pe_with_version(typical_version_spec(), wide).bytes);
        const std::optional<Bytes> block = load_block(path);
        ASSERT_TRUE(block);

        void* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block->data(), "\\", &fixed, &length));
        ASSERT_EQ(length, 52u);
        EXPECT_EQ(fixed_word(fixed, 0), 0xFEEF04BDu);
        EXPECT_EQ(fixed_word(fixed, 2), 0x00010002u);  // file version 1.2.3.4
        EXPECT_EQ(fixed_word(fixed, 3), 0x00030004u);
        EXPECT_EQ(fixed_word(fixed, 8), 0x4u);  // VOS__WINDOWS32

        void* translation = nullptr;
        ASSERT_TRUE(
            VerQueryValueA(block->data(), "\\VarFileInfo\\Translation", &translation, &length));
        ASSERT_EQ(length, 4u);
        EXPECT_EQ(fixed_word(translation, 0), 0x04B00804u);

        EXPECT_EQ(query_text(*block, "\\StringFileInfo\\080404B0\\ProductName"), "示例产品");
        EXPECT_EQ(query_text(*block, "\\StringFileInfo\\080404B0\\FileVersion"), "1.2.3.4");
        EXPECT_EQ(query_text(*block, "\\StringFileInfo\\080404B0\\LegalTrademarks"), "Sample™");
    }
}

TEST(VersionApiTest, StringLengthCountsConvertedBytesWithTerminator) {
    TempDir dir;
    const auto block =
        load_block(dir.write("a.dll", build_pe_with_version(typical_version_spec()).bytes));
    ASSERT_TRUE(block);
    void* found = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        VerQueryValueA(block->data(), "\\StringFileInfo\\080404B0\\ProductName", &found, &length));
    EXPECT_EQ(length, std::strlen("示例产品") + 1);
}

TEST(VersionApiTest, MatchesPathsLikeTheSystem) {
    TempDir dir;
    const auto block =
        load_block(dir.write("a.dll", build_pe_with_version(typical_version_spec()).bytes));
    ASSERT_TRUE(block);
    struct Case {
        const char* name;
        const char* path;
        std::optional<std::string> expected;
    };
    // clang-format off
    const Case cases[] = {
        {"as stored",          "\\StringFileInfo\\080404B0\\CompanyName", "示例公司"},
        {"lower-case table",   "\\StringFileInfo\\080404b0\\CompanyName", "示例公司"},
        {"any case",           "\\stringfileinfo\\080404b0\\COMPANYNAME", "示例公司"},
        {"doubled separators", "\\\\StringFileInfo\\\\080404b0\\\\CompanyName\\", "示例公司"},
        {"no leading slash",   "StringFileInfo\\080404b0\\CompanyName", "示例公司"},
        {"other table",        "\\StringFileInfo\\040904E4\\CompanyName", std::nullopt},
        {"missing key",        "\\StringFileInfo\\080404b0\\NoSuchKey", std::nullopt},
        {"key prefix",         "\\StringFileInfo\\080404b0\\Company", std::nullopt},
        {"longer key",         "\\StringFileInfo\\080404b0\\CompanyNames", std::nullopt},
        {"too deep",           "\\StringFileInfo\\080404b0\\CompanyName\\x", std::nullopt},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(query_text(*block, c.path), c.expected);
    }
    // The empty path and "\" both name the fixed part.
    void* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block->data(), "", &fixed, &length));
    EXPECT_EQ(fixed_word(fixed, 0), 0xFEEF04BDu);
}

TEST(VersionApiTest, FailedQueryLeavesThePointerAlone) {
    TempDir dir;
    const auto block =
        load_block(dir.write("a.dll", build_pe_with_version(typical_version_spec()).bytes));
    ASSERT_TRUE(block);
    char marker[] = "marker";
    void* found = marker;
    UINT length = 99;
    EXPECT_FALSE(
        VerQueryValueA(block->data(), "\\StringFileInfo\\080404b0\\Nope", &found, &length));
    EXPECT_EQ(found, marker);
    EXPECT_EQ(length, 0u);
}

TEST(VersionApiTest, ConvertedStringsKeepTheirOwnSlots) {
    // Neighbouring strings that grow from two bytes a character to three must not overwrite one
    // another, so that every pointer handed out stays good.
    const std::string a = repeat("靓号", 20);
    const std::string b = repeat("选号", 20);
    VersionSpec layout;
    layout.translations = {{0x0804, 0x04B0}};
    layout.tables = {{"080404B0", {{"A", a}, {"B", b}, {"C", "号"}}}};
    TempDir dir;
    const auto block = load_block(dir.write("a.dll", build_pe_with_version(layout).bytes));
    ASSERT_TRUE(block);
    void* found_a = nullptr;
    void* found_b = nullptr;
    void* found_c = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block->data(), "\\StringFileInfo\\080404B0\\A", &found_a, &length));
    ASSERT_TRUE(VerQueryValueA(block->data(), "\\StringFileInfo\\080404B0\\B", &found_b, &length));
    ASSERT_TRUE(VerQueryValueA(block->data(), "\\StringFileInfo\\080404B0\\C", &found_c, &length));
    EXPECT_EQ(static_cast<const char*>(found_a), a);
    EXPECT_EQ(static_cast<const char*>(found_b), b);
    EXPECT_STREQ(static_cast<const char*>(found_c), "号");
}

TEST(VersionApiTest, ReadsStringsStoredAsBinaryOrWithOddLengths) {
    // Some tools write string values with wType 0, or count wValueLength in bytes; the text up
    // to its terminator is read all the same.
    testing::NodeSpec root = testing::version_root(VersionSpec{});
    testing::NodeSpec binary = testing::string_node("Binary", "bin");
    binary.type = 0;
    binary.value_length = static_cast<std::uint16_t>(binary.value.size());
    testing::NodeSpec bytes_counted = testing::string_node("Bytes", "in bytes");
    bytes_counted.value_length = static_cast<std::uint16_t>(bytes_counted.value.size());
    testing::NodeSpec empty = testing::string_node("Empty", "");
    empty.value.clear();
    root.children.push_back(testing::NodeSpec{
        u"StringFileInfo",
        1,
        {},
        std::nullopt,
        {testing::NodeSpec{u"040904B0", 1, {}, std::nullopt, {binary, bytes_counted, empty}}}});
    TempDir dir;
    const auto block = load_block(dir.write(
        "odd.dll",
        build_pe(PeSpec{false, {ResourceSpec{16, 1, 0, testing::serialize_node(root)}}}).bytes));
    ASSERT_TRUE(block);
    EXPECT_EQ(query_text(*block, "\\StringFileInfo\\040904B0\\Binary"), "bin");
    EXPECT_EQ(query_text(*block, "\\StringFileInfo\\040904B0\\Bytes"), "in bytes");
    EXPECT_EQ(query_text(*block, "\\StringFileInfo\\040904B0\\Empty"), "");
}

TEST(VersionApiTest, PicksResourceOneAndThePreferredLanguage) {
    auto resource = [](std::uint16_t name, std::uint16_t language, const char* product) {
        VersionSpec layout;
        layout.tables = {{"040904B0", {{"ProductName", product}}}};
        return ResourceSpec{16, name, language, build_version_resource(layout)};
    };
    struct Case {
        const char* name;
        std::vector<ResourceSpec> resources;
        const char* expected;
    };
    const Case cases[] = {
        {"resource 1 before 2", {resource(2, 0x0409, "two"), resource(1, 0x0409, "one")}, "one"},
        {"only resource 7", {resource(7, 0x0409, "seven")}, "seven"},
        {"Chinese before English", {resource(1, 0x0409, "en"), resource(1, 0x0804, "zh")}, "zh"},
        {"neutral first", {resource(1, 0x0804, "zh"), resource(1, 0x0000, "neutral")}, "neutral"},
        {"else the first listed", {resource(1, 0x0411, "ja"), resource(1, 0x0412, "ko")}, "ja"},
        {"other types ignored",
         {ResourceSpec{3, 1, 0, Bytes(40, 0xAB)}, resource(1, 0x0409, "v")},
         "v"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto block =
            load_block(dir.write("pick.dll", build_pe(PeSpec{false, c.resources}).bytes));
        ASSERT_TRUE(block);
        EXPECT_EQ(query_text(*block, "\\StringFileInfo\\040904B0\\ProductName"), c.expected);
    }
}

// ---- the block's bounds ------------------------------------------------------------------

TEST(VersionApiTest, ShortBufferIsFilledWithinItsLengthAndStaysQueryable) {
    TempDir dir;
    const std::string path =
        dir.write("a.dll", build_pe_with_version(typical_version_spec()).bytes);
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    constexpr std::size_t kGuard = 64;
    for (const DWORD length : {size - 1, size / 2, size / 3, DWORD{120}, DWORD{40}, DWORD{20}}) {
        SCOPED_TRACE(length);
        Bytes buffer(length + kGuard, 0xCC);
        if (!GetFileVersionInfoA(path.c_str(), 0, length, buffer.data())) {
            continue;  // too small for even a node header
        }
        for (std::size_t i = length; i < buffer.size(); ++i) {
            ASSERT_EQ(buffer[i], 0xCC) << "written past the buffer at " << i;
        }
        // Whatever survived the cut can be asked for; nothing is read or written past it.
        for (const char* sub_block :
             {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\080404B0\\Comments",
              "\\StringFileInfo\\080404B0\\CompanyName"}) {
            void* found = nullptr;
            UINT found_length = 0;
            if (VerQueryValueA(buffer.data(), sub_block, &found, &found_length)) {
                const auto* at = static_cast<const std::uint8_t*>(found);
                EXPECT_GE(at, buffer.data());
                EXPECT_LE(at + found_length, buffer.data() + length);
            }
        }
        for (std::size_t i = length; i < buffer.size(); ++i) {
            ASSERT_EQ(buffer[i], 0xCC) << "written past the buffer at " << i;
        }
    }
    Bytes tiny(4, 0);
    EXPECT_FALSE(GetFileVersionInfoA(path.c_str(), 0, 4, tiny.data()));
    EXPECT_FALSE(GetFileVersionInfoA(path.c_str(), 0, size, nullptr));
}

TEST(VersionApiTest, ForeignBlocksAreRefused) {
    struct Case {
        const char* name;
        Bytes block;
    };
    Bytes raw_tree = build_version_resource(typical_version_spec());
    raw_tree.resize(raw_tree.size() + 4096, 0);  // a raw tree without our area header
    const Case cases[] = {
        {"zeros", Bytes(256, 0)},
        {"ones", Bytes(256, 0xFF)},
        {"raw tree", raw_tree},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        void* found = nullptr;
        UINT length = 0;
        EXPECT_FALSE(VerQueryValueA(c.block.data(), "\\", &found, &length));
        EXPECT_FALSE(VerQueryValueA(c.block.data(), "\\StringFileInfo\\080404B0\\CompanyName",
                                    &found, &length));
    }
    void* found = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueA(nullptr, "\\", &found, &length));
    const Bytes zeros(64, 0);
    EXPECT_FALSE(VerQueryValueA(zeros.data(), nullptr, &found, &length));
}

TEST(VersionApiTest, FailedFillLeavesNoBlockBehind) {
    // A buffer that held a block, filled again from a file without one: no query may find the
    // old block's header and trust it.
    TempDir dir;
    const std::string good =
        dir.write("good.dll", build_pe_with_version(typical_version_spec()).bytes);
    const std::string bad = dir.write_text("bad.txt", "no resource here");
    const DWORD size = GetFileVersionInfoSizeA(good.c_str(), nullptr);
    Bytes buffer(size);
    ASSERT_TRUE(GetFileVersionInfoA(good.c_str(), 0, size, buffer.data()));
    EXPECT_FALSE(GetFileVersionInfoA(bad.c_str(), 0, size, buffer.data()));
    void* found = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueA(buffer.data(), "\\", &found, &length));
    EXPECT_FALSE(
        VerQueryValueA(buffer.data(), "\\StringFileInfo\\080404B0\\CompanyName", &found, &length));
}

// ---- bad files ---------------------------------------------------------------------------

// Every case is a file without a readable version resource: size 0, no block.
void expect_no_version(const std::string& path) {
    EXPECT_EQ(GetFileVersionInfoSizeA(path.c_str(), nullptr), 0u);
    Bytes block(4096, 0);
    EXPECT_FALSE(
        GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
}

TEST(VersionApiTest, FilesThatAreNoExecutables) {
    TempDir dir;
    const std::string fifo = (dir.path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // must not wait for a writer
    struct Case {
        const char* name;
        std::string path;
    };
    const Case cases[] = {
        {"missing", (dir.path() / "missing.dll").string()},
        {"empty name", ""},
        {"directory", dir.path().string()},
        {"empty file", dir.write("empty.dll", {})},
        {"text file", dir.write("notes.txt", Bytes{'h', 'e', 'l', 'l', 'o', '\n'})},
        {"MZ alone", dir.write("mz.exe", Bytes{'M', 'Z'})},
        {"fifo", fifo},
        {"character device", "/dev/zero"},
        {"PE without resources", dir.write("bare.exe", build_pe(PeSpec{}).bytes)},
        {"PE without version",
         dir.write("icon.exe",
                   build_pe(PeSpec{false, {ResourceSpec{3, 1, 0, Bytes(64, 1)}}}).bytes)},
        {"ELF without section", dir.write("bare.elf", build_elf(ElfSpec{}).bytes)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expect_no_version(c.path);
    }
    EXPECT_EQ(GetFileVersionInfoSizeA(nullptr, nullptr), 0u);
}

TEST(VersionApiTest, CorruptPeImages) {
    using Edit = void (*)(PeImage&);
    struct Case {
        const char* name;
        Edit edit;
    };
    const Case cases[] = {
        {"PE offset past the end", [](PeImage& p) { testing::put_u32(p.bytes, 0x3C, 0x7FFFFFF0); }},
        {"PE signature", [](PeImage& p) { p.bytes[p.pe_offset + 1] = 'X'; }},
        {"optional magic", [](PeImage& p) { testing::put_u16(p.bytes, p.optional_offset, 0x107); }},
        {"optional header cut short",
         [](PeImage& p) { testing::put_u16(p.bytes, p.pe_offset + 20, 60); }},
        {"two data directories",
         [](PeImage& p) { testing::put_u32(p.bytes, p.resource_directory - 20, 2); }},
        {"resource directory empty",
         [](PeImage& p) { testing::put_u32(p.bytes, p.resource_directory, 0); }},
        {"resource RVA in no section",
         [](PeImage& p) { testing::put_u32(p.bytes, p.resource_directory, 0x90000); }},
        {"section table past the end",
         [](PeImage& p) { testing::put_u16(p.bytes, p.pe_offset + 6, 0xFFFF); }},
        {"no sections", [](PeImage& p) { testing::put_u16(p.bytes, p.pe_offset + 6, 0); }},
        {"section raw data past the end",
         [](PeImage& p) { testing::put_u32(p.bytes, p.section_table + 40 + 20, 0x7FFFF000); }},
        {"root entry counts overrun the section",
         [](PeImage& p) {
             testing::put_u16(p.bytes, p.directories[0] + 12, 0xFFFF);
             testing::put_u16(p.bytes, p.directories[0] + 14, 0xFFFF);
         }},
        {"type directory points at itself",
         [](PeImage& p) {
             testing::put_u32(
                 p.bytes, p.directories[1] + 20,
                 0x80000000u | static_cast<std::uint32_t>(p.directories[1] - p.rsrc_offset));
         }},
        {"name directory points back at the root",
         [](PeImage& p) { testing::put_u32(p.bytes, p.directories[2] + 20, 0x80000000u); }},
        {"type entry is data, not a directory",
         [](PeImage& p) {
             testing::put_u32(p.bytes, p.directories[0] + 20,
                              testing::get_u32(p.bytes, p.directories[0] + 20) & 0x7FFFFFFF);
         }},
        {"subdirectory offset past the section",
         [](PeImage& p) { testing::put_u32(p.bytes, p.directories[1] + 20, 0x8FFFFFF0u); }},
        {"gigantic resource size",
         [](PeImage& p) { testing::put_u32(p.bytes, p.data_entries[0] + 4, 0xFFFFFFF0u); }},
        {"resource size past the section",
         [](PeImage& p) { testing::put_u32(p.bytes, p.data_entries[0] + 4, 0x10000); }},
        {"resource size zero",
         [](PeImage& p) { testing::put_u32(p.bytes, p.data_entries[0] + 4, 0); }},
        {"resource RVA past everything",
         [](PeImage& p) { testing::put_u32(p.bytes, p.data_entries[0], 0xFFFFFFF0u); }},
        {"root longer than the resource",
         [](PeImage& p) {
             testing::put_u16(p.bytes, p.data[0],
                              static_cast<std::uint16_t>(testing::get_u16(p.bytes, p.data[0]) + 8));
             testing::put_u32(p.bytes, p.data_entries[0] + 4,
                              testing::get_u16(p.bytes, p.data[0]) - 8);
         }},
        {"root shorter than its header",
         [](PeImage& p) { testing::put_u16(p.bytes, p.data[0], 4); }},
        {"root key", [](PeImage& p) { p.bytes[p.data[0] + 6] = 'W'; }},
        {"root key without terminator",
         [](PeImage& p) { testing::put_u16(p.bytes, p.data[0], 6 + 10); }},
        {"child overruns its parent",
         [](PeImage& p) {
             // StringFileInfo follows the 92 bytes of root header, key and fixed part.
             testing::put_u16(
                 p.bytes, p.data[0] + 92,
                 static_cast<std::uint16_t>(testing::get_u16(p.bytes, p.data[0]) - 80));
         }},
        {"child shorter than a header",
         [](PeImage& p) { testing::put_u16(p.bytes, p.data[0] + 92, 2); }},
    };
    TempDir dir;
    for (const bool wide : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(wide ? "PE32+: " : "PE32: ") + c.name);
            PeImage image = build_pe_with_version(typical_version_spec(), wide);
            ASSERT_TRUE(load_block(dir.write("good.dll", image.bytes)));
            c.edit(image);
            expect_no_version(dir.write("bad.dll", image.bytes));
        }
    }
}

TEST(VersionApiTest, ReadsElfSections) {
    const Bytes tree = build_version_resource(typical_version_spec());
    struct Case {
        const char* name;
        bool wide;
        bool big_endian;
        bool extended_numbering;
    };
    const Case cases[] = {
        {"ELF64 little-endian", true, false, false},
        {"ELF32 little-endian", false, false, false},
        {"ELF64 big-endian", true, true, false},
        {"ELF32 big-endian", false, true, false},
        {"extended section numbering", true, false, true},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ElfSpec layout;
        layout.wide = c.wide;
        layout.big_endian = c.big_endian;
        layout.extended_numbering = c.extended_numbering;
        layout.version_section = tree;
        const auto block = load_block(dir.write("a.elf", build_elf(layout).bytes));
        ASSERT_TRUE(block);
        EXPECT_EQ(query_text(*block, "\\StringFileInfo\\080404B0\\ProductName"), "示例产品");
    }
}

TEST(VersionApiTest, CorruptElfFiles) {
    const Bytes tree = build_version_resource(typical_version_spec());
    using Edit = void (*)(testing::ElfImage&);
    struct Case {
        const char* name;
        Edit edit;
    };
    const Case cases[] = {
        {"class", [](testing::ElfImage& e) { e.bytes[4] = 3; }},
        {"byte order", [](testing::ElfImage& e) { e.bytes[5] = 0; }},
        {"section headers past the end",
         [](testing::ElfImage& e) { testing::put_u64(e.bytes, 0x28, 0x7FFFFFFFFFFFull); }},
        {"section header offset wraps",
         [](testing::ElfImage& e) { testing::put_u64(e.bytes, 0x28, ~0ull - 8); }},
        {"entry size too small", [](testing::ElfImage& e) { testing::put_u16(e.bytes, 0x3A, 16); }},
        {"name table index out of range",
         [](testing::ElfImage& e) { testing::put_u16(e.bytes, 0x3E, 40); }},
        {"section count past the table",
         [](testing::ElfImage& e) { testing::put_u16(e.bytes, 0x3C, 0xFFF0); }},
        {"name offset past the name table",
         [](testing::ElfImage& e) {
             testing::put_u32(e.bytes, e.header_table + 3 * e.entry_size, 0xFFFFFFF0u);
         }},
        {"name table past the end",
         [](testing::ElfImage& e) {
             testing::put_u64(e.bytes, e.header_table + 2 * e.entry_size + 24, 0xFFFFFFFF0ull);
         }},
        {"section data past the end",
         [](testing::ElfImage& e) {
             testing::put_u64(e.bytes, e.header_table + 3 * e.entry_size + 24, e.bytes.size());
         }},
        {"gigantic section",
         [](testing::ElfImage& e) {
             testing::put_u64(e.bytes, e.header_table + 3 * e.entry_size + 32, 0x7FFFFFFFFFFFull);
         }},
        {"section without file bytes",
         [](testing::ElfImage& e) {
             testing::put_u32(e.bytes, e.header_table + 3 * e.entry_size + 4, 8);
         }},
        {"section shorter than its tree",
         [](testing::ElfImage& e) {
             testing::put_u64(e.bytes, e.header_table + 3 * e.entry_size + 32, 100);
         }},
        {"tree cut inside a child",
         [](testing::ElfImage& e) {
             const std::size_t at =
                 testing::get_u32(e.bytes, e.header_table + 3 * e.entry_size + 24);
             testing::put_u16(e.bytes, at, 200);
         }},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ElfSpec layout;
        layout.version_section = tree;
        testing::ElfImage image = build_elf(layout);
        ASSERT_TRUE(load_block(dir.write("good.elf", image.bytes)));
        c.edit(image);
        expect_no_version(dir.write("bad.elf", image.bytes));
    }
    ElfSpec renamed;
    renamed.version_section = tree;
    renamed.section_name = ".quavik_versions";
    expect_no_version(dir.write("renamed.elf", build_elf(renamed).bytes));
}

// ---- language names ----------------------------------------------------------------------

TEST(VersionApiTest, NamesLanguagesAsAChineseSystemDoes) {
    struct Case {
        DWORD language;
        const char* name;
    };
    // clang-format off
    const Case cases[] = {
        {0x0804, "中文(简体，中国)"},
        {0x0404, "中文(繁体，台湾)"},
        {0x0C04, "中文(繁体，香港特别行政区)"},
        {0x0409, "英语(美国)"},
        {0x0809, "英语(英国)"},
        {0x0411, "日语(日本)"},
        {0x0412, "朝鲜语(韩国)"},
        {0x0407, "德语(德国)"},
        {0x040C, "法语(法国)"},
        {0x0419, "俄语(俄罗斯)"},
        {0x0000, "语言非特定"},
        {0x04B00804, "中文(简体，中国)"},  // a whole translation entry: the code page is ignored
        {0x04E40409, "英语(美国)"},
        {0x2C09, "英语"},                  // a region the table lacks: its primary language
        {0x0077, "语言非特定"},            // unknown altogether
        {0xFFFF, "语言非特定"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        char name[256];
        std::memset(name, 'x', sizeof name);
        const DWORD length = VerLanguageNameA(c.language, name, sizeof name);
        EXPECT_STREQ(name, c.name);
        EXPECT_EQ(length, std::strlen(c.name));
        EXPECT_EQ(VerLanguageNameA(c.language, nullptr, 0), std::strlen(c.name));
    }
}

TEST(VersionApiTest, LanguageNameIsCutBetweenCharacters) {
    // "中文(简体，中国)": 中 and 文 are three bytes each.
    struct Case {
        DWORD buffer;
        const char* written;
    };
    const Case cases[] = {{1, ""}, {3, ""}, {4, "中"}, {6, "中"}, {7, "中文"}, {8, "中文("}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.buffer);
        char name[16];
        std::memset(name, 'x', sizeof name);
        const DWORD result = VerLanguageNameA(0x0804, name, c.buffer);
        EXPECT_STREQ(name, c.written);
        EXPECT_EQ(name[c.buffer], 'x') << "written past the buffer";
        EXPECT_EQ(result, std::strlen("中文(简体，中国)") + 1);  // the size it needs
    }
}

}  // namespace
}  // namespace quavik
