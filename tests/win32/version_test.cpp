// The version record read through the system's own GetFileVersionInfoA, VerQueryValueA and
// VerLanguageNameA: the program's executable with its version resource, and copies of this test
// program that the system's resource writer gave the version resources of pe_builder.h. This
// file keeps its literals in UTF-8 (the fixtures of pe_builder.h are UTF-8); what a record holds
// is program text, GBK, so expectations are converted first.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../platform/pe_builder.h"
#include "frame/version_info.h"
#include "../frame/version_members.h"
#include "platform/code_page.h"

namespace quavik {
namespace {

using testing::build_version_resource;
using testing::Bytes;
using testing::typical_version_spec;
using testing::VersionSpec;

constexpr const char* kOwnExecutable = QUAVIK_BINARY_DIR "/quavik.exe";

// UTF-8 to the program's text encoding.
std::string program_text(std::string_view utf8) {
    const std::optional<std::string> text =
        convert_code_page(utf8, kCodePageUtf8, kProgramCodePage);
    EXPECT_TRUE(text.has_value()) << utf8;
    return text.value_or("");
}

std::string language_name(DWORD language) {
    char name[256] = {};
    VerLanguageNameA(language, name, sizeof name);
    return name;
}

using testing::MemberExpectation;
using testing::kMembers;

// A directory of its own in the temporary directory, removed with its files.
class TempDir {
  public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("quavik-version-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string write(std::string_view name, const Bytes& bytes) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream stream(file, std::ios::binary | std::ios::trunc);
        stream.write(reinterpret_cast<const char*>(bytes.data()),
                     static_cast<std::streamsize>(bytes.size()));
        EXPECT_TRUE(stream.good()) << "cannot write " << file;
        return file.string();
    }

    // A copy of this test program whose only resource is the version resource of `layout`,
    // written by the system (UpdateResource), so the image is one the system itself made.
    std::string with_version(std::string_view name, const VersionSpec& layout) const {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        const std::filesystem::path file = path_ / name;
        std::filesystem::copy_file(self, file, std::filesystem::copy_options::overwrite_existing);
        Bytes resource = build_version_resource(layout);
        HANDLE update = BeginUpdateResourceA(file.string().c_str(), TRUE);
        EXPECT_NE(update, nullptr) << "cannot update " << file;
        if (update != nullptr) {
            EXPECT_TRUE(UpdateResourceA(update, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), 0x0804,
                                        resource.data(), static_cast<DWORD>(resource.size())));
            EXPECT_TRUE(EndUpdateResourceA(update, FALSE));
        }
        return file.string();
    }

  private:
    std::filesystem::path path_;
};

class Win32VersionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 936u) << "run the Windows tests under a Chinese locale (code page 936)";
    }
    TempDir dir_;
};

TEST_F(Win32VersionTest, ReadsTheProgramsOwnExecutable) {
    FileVersionInfo record;
    ASSERT_TRUE(read_file_version_info(kOwnExecutable, record)) << kOwnExecutable;
    const std::string title = program_text("Quavik靓号选号KM1.0");
    const std::string credit = program_text("By：Quavik工作室 QQ:10086100");
    struct Expected {
        const char* name;
        OwnedText FileVersionInfo::*member;
        std::string text;
    };
    const Expected expected[] = {
        {"FileVersion", &FileVersionInfo::FileVersion, "1.0.0.0"},
        {"ProductVersion", &FileVersionInfo::ProductVersion, "1.0.0.0"},
        {"FileDescription", &FileVersionInfo::FileDescription, title},
        {"ProductName", &FileVersionInfo::ProductName, title},
        {"CompanyName", &FileVersionInfo::CompanyName, credit},
        {"Comments", &FileVersionInfo::Comments, credit},
        {"Language", &FileVersionInfo::Language, language_name(0x04B00804)},
        // Not in the resource: present and empty.
        {"InternalName", &FileVersionInfo::InternalName, ""},
        {"LegalTrademarks", &FileVersionInfo::LegalTrademarks, ""},
        {"OriginalFilename", &FileVersionInfo::OriginalFilename, ""},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        ASSERT_NE((record.*e.member).get(), nullptr);
        EXPECT_EQ(member_text(record.*e.member), e.text);
    }
    EXPECT_FALSE(member_text(record.Language).empty());
    EXPECT_TRUE(std::string_view(member_text(record.LegalCopyright)).ends_with(credit));
    EXPECT_EQ(version_banner(record), title + " 1.0.0.0");
}

TEST_F(Win32VersionTest, OwnExecutableCarriesTheFixedPartAndTheTranslation) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(kOwnExecutable, &handle);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(kOwnExecutable, handle, size, block.data()));
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(*static_cast<const DWORD*>(value), 0x04B00804u);
}

TEST_F(Win32VersionTest, FillsEveryMemberFromAVersionResource) {
    const std::string file = dir_.with_version("typical.exe", typical_version_spec());
    FileVersionInfo record;
    ASSERT_TRUE(read_file_version_info(file.c_str(), record));
    EXPECT_EQ(member_text(record.FileVersion), "1.2.3.4");
    EXPECT_EQ(member_text(record.CompanyName), program_text("示例公司"));
    EXPECT_EQ(member_text(record.FileDescription), program_text("示例程序"));
    EXPECT_EQ(member_text(record.InternalName), "sample");
    EXPECT_EQ(member_text(record.LegalCopyright), program_text("版权所有 (C) 2024"));
    EXPECT_EQ(member_text(record.OriginalFilename), "sample.exe");
    EXPECT_EQ(member_text(record.ProductName), program_text("示例产品"));
    EXPECT_EQ(member_text(record.ProductVersion), "5.6.7.8");
    EXPECT_EQ(member_text(record.Comments), program_text("注释"));
    EXPECT_EQ(member_text(record.Language), language_name(0x04B00804));
    // "™" has no GBK form: the system writes a default character instead, so the text is there.
    EXPECT_TRUE(std::string_view(member_text(record.LegalTrademarks)).starts_with("Sample"));
}

TEST_F(Win32VersionTest, WithoutTranslationTheUsEnglishTableIsRead) {
    VersionSpec layout;
    layout.tables = {{"040904E4", {{"FileVersion", "9.8.7.6"}, {"ProductName", "Other"}}},
                     {"080404B0", {{"FileVersion", "1.1.1.1"}}}};
    const std::string file = dir_.with_version("untranslated.exe", layout);
    FileVersionInfo record;
    ASSERT_TRUE(read_file_version_info(file.c_str(), record));
    EXPECT_EQ(member_text(record.FileVersion), "9.8.7.6");
    EXPECT_EQ(member_text(record.ProductName), "Other");
    ASSERT_NE(record.Language.get(), nullptr);
    EXPECT_EQ(member_text(record.Language), "");
}

TEST_F(Win32VersionTest, FailedReadLeavesEveryMemberAbsent) {
    const std::string text_file = dir_.write("notes.txt", Bytes{'n', 'o', 't', '\n'});
    const std::string missing =
        (std::filesystem::temp_directory_path() / "quavik-none.exe").string();
    for (const std::string& file : {text_file, missing}) {
        SCOPED_TRACE(file);
        FileVersionInfo record;
        ASSERT_TRUE(read_file_version_info(kOwnExecutable, record));
        EXPECT_FALSE(read_file_version_info(file.c_str(), record));
        for (const MemberExpectation& m : kMembers) {
            EXPECT_EQ((record.*m.member).get(), nullptr) << m.name;
        }
    }
}

TEST_F(Win32VersionTest, ReadingTwiceGivesTheSameTexts) {
    FileVersionInfo record;
    ASSERT_TRUE(read_file_version_info(kOwnExecutable, record));
    std::vector<std::string> first;
    for (const MemberExpectation& m : kMembers) {
        first.emplace_back(member_text(record.*m.member));
    }
    ASSERT_TRUE(read_file_version_info(kOwnExecutable, record));
    for (std::size_t i = 0; i < std::size(kMembers); ++i) {
        EXPECT_EQ(member_text(record.*kMembers[i].member), first[i]) << kMembers[i].name;
    }
}

}  // namespace
}  // namespace quavik
