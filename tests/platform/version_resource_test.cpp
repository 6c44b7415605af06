// The program's own version resource: the bytes generated from assets/version.json, as a Linux
// executable carries them (this test binary, a small carrier, a stripped copy, build/quavik) and
// as the Windows resource script states them.
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "frame/version_info.h"
#include "pe_builder.h"
#include "version_fixtures.h"
#include "version_resource.h"
#include "version_tree.h"

namespace quavik {
namespace {

using testing::Bytes;
using version::VersionNode;
using version::VersionTree;

constexpr const char* kTitle = "Quavik靓号选号KM1.0";

Bytes own_section() {
    const auto file = version::FileSource::open("/proc/self/exe");
    EXPECT_TRUE(file);
    if (!file) {
        return {};
    }
    const auto bytes = version::read_elf_version_section(*file);
    EXPECT_TRUE(bytes) << "this test binary carries no version section";
    return bytes.value_or(Bytes{});
}

std::u16string key_of(const VersionTree& tree, const VersionNode& node) {
    std::u16string key;
    for (std::size_t i = 0; i < node.key_units; ++i) {
        key.push_back(static_cast<char16_t>(tree.unit_at(node.key_offset + 2 * i)));
    }
    return key;
}

std::vector<VersionNode> children_of(const VersionTree& tree, const VersionNode& node) {
    std::vector<VersionNode> children;
    for (auto child = tree.next_child(node, nullptr); child;
         child = tree.next_child(node, &*child)) {
        children.push_back(*child);
    }
    return children;
}

TEST(VersionResourceTest, HoldsExactlyTheDescribedContent) {
    Bytes section = own_section();
    ASSERT_GE(section.size(), 6u);
    section.resize(testing::get_u16(section, 0));
    const VersionTree tree(section);
    ASSERT_TRUE(tree.is_well_formed());
    const VersionNode root = *tree.root();
    EXPECT_EQ(key_of(tree, root), u"VS_VERSION_INFO");
    ASSERT_EQ(root.value_length, 52);

    // VS_FIXEDFILEINFO: 1.0.0.0 / 1.0.0.0, no flags, 32-bit Windows, an application.
    const std::uint32_t expected_fixed[13] = {
        0xFEEF04BD, 0x00010000, 0x00010000, 0, 0x00010000, 0, 0x3F, 0, 0x4, 0x1, 0, 0, 0};
    for (std::size_t i = 0; i < 13; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(testing::get_u32(section, root.value_offset + 4 * i), expected_fixed[i]);
    }

    const std::vector<VersionNode> top = children_of(tree, root);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(key_of(tree, top[0]), u"StringFileInfo");
    EXPECT_EQ(key_of(tree, top[1]), u"VarFileInfo");

    const std::vector<VersionNode> tables = children_of(tree, top[0]);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(key_of(tree, tables[0]), u"080404B0");
    const std::vector<VersionNode> strings = children_of(tree, tables[0]);
    const std::u16string credit = testing::utf16("By：Quavik工作室 QQ:10086100");
    struct Expected {
        std::u16string key;
        std::u16string value;
    };
    const Expected expected[] = {
        {u"FileVersion", u"1.0.0.0"},
        {u"FileDescription", testing::utf16(kTitle)},
        {u"ProductName", testing::utf16(kTitle)},
        {u"ProductVersion", u"1.0.0.0"},
        {u"CompanyName", credit},
        {u"LegalCopyright", {}},  // a note, then the credit: checked below
        {u"Comments", credit},
    };
    ASSERT_EQ(strings.size(), std::size(expected));
    for (std::size_t i = 0; i < strings.size(); ++i) {
        SCOPED_TRACE(i);
        const VersionNode& node = strings[i];
        EXPECT_EQ(key_of(tree, node), expected[i].key);
        EXPECT_EQ(node.type, 1);
        std::u16string value;
        for (std::size_t at = node.value_offset; tree.unit_at(at) != 0; at += 2) {
            value.push_back(static_cast<char16_t>(tree.unit_at(at)));
        }
        EXPECT_EQ(node.value_length, value.size() + 1);  // characters with the terminator
        if (expected[i].key == u"LegalCopyright") {
            ASSERT_GT(value.size(), credit.size());
            EXPECT_EQ(value.substr(value.size() - credit.size()), credit);
        } else {
            EXPECT_EQ(value, expected[i].value);
        }
    }

    const std::vector<VersionNode> vars = children_of(tree, top[1]);
    ASSERT_EQ(vars.size(), 1u);
    EXPECT_EQ(key_of(tree, vars[0]), u"Translation");
    EXPECT_EQ(vars[0].type, 0);
    ASSERT_EQ(vars[0].value_length, 4);
    EXPECT_EQ(testing::get_u32(section, vars[0].value_offset), 0x04B00804u);
}

// The words of the generated resource script, as the bytes windres puts in the resource.
Bytes resource_script_bytes(const std::string& path) {
    std::ifstream stream(path);
    std::stringstream text;
    text << stream.rdbuf();
    const std::string script = text.str();
    const std::size_t begin = script.find("BEGIN");
    const std::size_t end = script.find("END", begin);
    EXPECT_NE(begin, std::string::npos);
    Bytes bytes;
    std::istringstream words(script.substr(begin + 5, end - begin - 5));
    std::string word;
    while (words >> word) {
        const unsigned value = std::stoul(word, nullptr, 16);
        bytes.push_back(static_cast<std::uint8_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    return bytes;
}

TEST(VersionResourceTest, WindowsResourceScriptCarriesTheSameBytes) {
    Bytes section = own_section();
    ASSERT_GE(section.size(), 6u);
    section.resize(testing::get_u16(section, 0));
    EXPECT_EQ(resource_script_bytes(QUAVIK_VERSION_RC), section);
}

TEST(VersionResourceTest, WindowsResourceCompilerKeepsTheBytes) {
    // The 32-bit Windows build compiles the same script with windres; a resource-only DLL linked
    // from it must hold the very bytes this binary carries.
    if (std::system("(command -v i686-w64-mingw32-windres && command -v i686-w64-mingw32-ld && "
                    "command -v cpp) >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no MinGW binutils (binutils-mingw-w64-i686) here";
    }
    Bytes section = own_section();
    ASSERT_GE(section.size(), 6u);
    section.resize(testing::get_u16(section, 0));
    const testing::TempDir dir;
    const std::string object = (dir.path() / "version.o").string();
    const std::string library = (dir.path() / "version.dll").string();
    const std::string command = std::string(
                                    "i686-w64-mingw32-windres --preprocessor=cpp "
                                    "--preprocessor-arg=-P -O coff -i '") +
                                QUAVIK_VERSION_RC + "' -o '" + object +
                                "' && i686-w64-mingw32-ld --dll -e 0 -o '" + library + "' '" +
                                object + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto file = version::FileSource::open(library.c_str());
    ASSERT_TRUE(file);
    const auto tree = version::find_version_tree(*file);
    ASSERT_TRUE(tree);
    EXPECT_EQ(*tree, section);
}

// Runs `command`, returning its standard output and exit status.
std::pair<std::string, int> run(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr) << command;
    if (pipe == nullptr) {
        return {"", -1};
    }
    std::string output;
    char chunk[256];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        output.append(chunk, got);
    }
    const int status = ::pclose(pipe);  // waits for the child
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(VersionResourceTest, ExecutablesPrintTheirOwnVersion) {
    for (const char* carrier : {QUAVIK_VERSION_CARRIER, QUAVIK_VERSION_CARRIER_STRIPPED}) {
        SCOPED_TRACE(carrier);
        const auto [output, status] = run(std::string("'") + carrier + "' --version");
        EXPECT_EQ(status, 0);
        EXPECT_EQ(output, std::string(kTitle) + " 1.0.0.0\n");
    }
}

TEST(VersionResourceTest, BuiltProgramCarriesIt) {
    const std::filesystem::path program = std::filesystem::path(QUAVIK_BINARY_DIR) / "quavik";
    if (!std::filesystem::exists(program)) {
        GTEST_SKIP() << program << " is not built in this configuration";
    }
    FileVersionInfo record;
    ASSERT_TRUE(read_file_version_info(program.c_str(), record));
    EXPECT_EQ(member_text(record.FileVersion), "1.0.0.0");
    EXPECT_EQ(member_text(record.ProductVersion), "1.0.0.0");
    EXPECT_EQ(member_text(record.FileDescription), kTitle);
    EXPECT_EQ(member_text(record.ProductName), kTitle);
    const auto [output, status] = run("'" + program.string() + "' --version");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, std::string(kTitle) + " 1.0.0.0\n");
}

}  // namespace
}  // namespace quavik
