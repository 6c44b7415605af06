// The version record and its reader: what a read fills in, which string table it reads, what
// happens to missing keys and over-long texts, failed and repeated reads, and the program's own
// executable (this test binary carries the program's version resource).
#include "frame/version_info.h"
#include "version_members.h"

#include <malloc.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../platform/pe_builder.h"
#include "../platform/version_fixtures.h"

namespace quavik {
namespace {

using testing::build_pe_with_version;
using testing::Bytes;
using testing::TempDir;
using testing::VersionSpec;

constexpr const char* kTitle = "Quavik靓号选号KM1.0";

using testing::MemberExpectation;
using testing::kMembers;

void expect_all_absent(const FileVersionInfo& record) {
    for (const MemberExpectation& m : kMembers) {
        EXPECT_EQ((record.*m.member).get(), nullptr) << m.name;
    }
}

// Every member present, in a block of its own with room for 255 bytes and the terminator.
void expect_all_present(const FileVersionInfo& record) {
    for (const MemberExpectation& m : kMembers) {
        const char* text = (record.*m.member).get();
        ASSERT_NE(text, nullptr) << m.name;
        EXPECT_GE(malloc_usable_size(const_cast<char*>(text)), kVersionMemberBlockSize) << m.name;
        EXPECT_LT(std::string_view(text).size(), kVersionMemberBlockSize) << m.name;
    }
}

class VersionInfoTest : public ::testing::Test {
  protected:
    std::string write_pe(const VersionSpec& layout, bool wide = false) {
        return dir_.write("sample" + std::to_string(++count_) + ".dll",
                          build_pe_with_version(layout, wide).bytes);
    }
    static VersionSpec with_strings(std::vector<std::pair<std::string, std::string>> strings,
                                    std::string table = "080404B0") {
        VersionSpec layout;
        layout.translations = {{0x0804, 0x04B0}};
        layout.tables = {{std::move(table), std::move(strings)}};
        return layout;
    }

    TempDir dir_;
    int count_ = 0;
};

TEST_F(VersionInfoTest, FillsEveryMemberFromAPeImage) {
    for (const bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "PE32+" : "PE32");
        FileVersionInfo record;
        // The file names its table "080404B0"; the reader asks for "080404b0".
        ASSERT_TRUE(read_file_version_info(write_pe(testing::typical_version_spec(), wide).c_str(),
                                           record));
        expect_all_present(record);
        EXPECT_EQ(member_text(record.FileVersion), "1.2.3.4");
        EXPECT_EQ(member_text(record.FileDescription), "示例程序");
        EXPECT_EQ(member_text(record.InternalName), "sample");
        EXPECT_EQ(member_text(record.CompanyName), "示例公司");
        EXPECT_EQ(member_text(record.LegalCopyright), "版权所有 (C) 2024");
        EXPECT_EQ(member_text(record.LegalTrademarks), "Sample™");
        EXPECT_EQ(member_text(record.OriginalFilename), "sample.exe");
        EXPECT_EQ(member_text(record.ProductName), "示例产品");
        EXPECT_EQ(member_text(record.ProductVersion), "5.6.7.8");
        EXPECT_EQ(member_text(record.Language), "中文(简体，中国)");
        EXPECT_EQ(member_text(record.Comments), "注释");
    }
}

TEST_F(VersionInfoTest, TranslationTableChoosesTheStringTable) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
        std::optional<Bytes> raw_translation;
        std::string table;
        const char* company;   // what CompanyName reads
        const char* language;  // the Language member
    };
    const Case cases[] = {
        {"no translation table: US English, Latin-1", {}, std::nullopt, "040904E4", "acme", ""},
        {"no translation table, other string table", {}, std::nullopt, "080404B0", "", ""},
        {"first entry names the table",
         {{0x0409, 0x04E4}, {0x0804, 0x04B0}},
         std::nullopt,
         "040904E4",
         "acme",
         "英语(美国), 中文(简体，中国)"},
        {"later entries do not",
         {{0x0804, 0x04B0}, {0x0409, 0x04E4}},
         std::nullopt,
         "040904E4",
         "",
         "中文(简体，中国), 英语(美国)"},
        {"leading zeros kept", {{0x0007, 0x0000}}, std::nullopt, "00070000", "acme", "德语"},
        {"translation shorter than one entry", {}, Bytes{0x04, 0x08}, "040904E4", "acme", ""},
        {"an entry and a half",
         {},
         Bytes{0x09, 0x04, 0xE4, 0x04, 0x04, 0x08},
         "040904E4",
         "acme",
         "英语(美国)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VersionSpec layout = with_strings({{"CompanyName", "acme"}}, c.table);
        layout.translations = c.translations;
        layout.translation_bytes = c.raw_translation;
        FileVersionInfo record;
        ASSERT_TRUE(read_file_version_info(write_pe(layout).c_str(), record));
        expect_all_present(record);
        EXPECT_EQ(member_text(record.CompanyName), c.company);
        EXPECT_EQ(member_text(record.Language), c.language);
    }
}

TEST_F(VersionInfoTest, MissingKeysAreEmptyAndNeverBorrowAnotherValue) {
    // FileVersion is queried first and CompanyName right after it; a reader that kept the
    // previous result pointer would show "1.0.0.0" as the company.
    FileVersionInfo record;
    ASSERT_TRUE(read_file_version_info(
        write_pe(with_strings({{"FileVersion", "1.0.0.0"}, {"Comments", "note"}})).c_str(),
        record));
    expect_all_present(record);
    EXPECT_EQ(member_text(record.FileVersion), "1.0.0.0");
    EXPECT_EQ(member_text(record.Comments), "note");
    for (const auto member : {&FileVersionInfo::CompanyName, &FileVersionInfo::FileDescription,
                              &FileVersionInfo::InternalName, &FileVersionInfo::LegalCopyright,
                              &FileVersionInfo::LegalTrademarks, &FileVersionInfo::OriginalFilename,
                              &FileVersionInfo::ProductName, &FileVersionInfo::ProductVersion}) {
        EXPECT_EQ(member_text(record.*member), "");
    }
}

std::string repeat(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

TEST_F(VersionInfoTest, OverlongValuesAreCutBetweenCharacters) {
    struct Case {
        const char* name;
        std::string value;
        std::string kept;
    };
    const Case cases[] = {
        {"255 bytes fit", std::string(255, 'a'), std::string(255, 'a')},
        {"256 bytes", std::string(256, 'b'), std::string(255, 'b')},
        {"far too long", std::string(3000, 'c'), std::string(255, 'c')},
        {"three-byte characters end on the limit", repeat("号", 100), repeat("号", 85)},
        {"cut before a character that would cross", "a" + repeat("号", 100),
         "a" + repeat("号", 84)},
        {"two bytes short", "ab" + repeat("号", 100), "ab" + repeat("号", 84)},
        {"four-byte characters", repeat("😀", 70), repeat("😀", 63)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileVersionInfo record;
        ASSERT_TRUE(read_file_version_info(
            write_pe(with_strings({{"ProductName", c.value}, {"Comments", c.value}})).c_str(),
            record));
        expect_all_present(record);
        EXPECT_EQ(member_text(record.ProductName), c.kept);
        EXPECT_EQ(member_text(record.Comments), c.kept);
    }
}

TEST_F(VersionInfoTest, LongLanguageListIsCutBetweenCharacters) {
    VersionSpec layout = with_strings({{"CompanyName", "acme"}});
    layout.translations.assign(30, {0x0804, 0x04B0});
    std::string full = "中文(简体，中国)";
    for (int i = 1; i < 30; ++i) {
        full += ", 中文(简体，中国)";
    }
    FileVersionInfo record;
    ASSERT_TRUE(read_file_version_info(write_pe(layout).c_str(), record));
    const std::string_view language = member_text(record.Language);
    EXPECT_LE(language.size(), 255u);
    EXPECT_GT(language.size(), 250u);
    EXPECT_EQ(full.substr(0, language.size()), language);
    // The cut falls between characters: the next byte starts one.
    EXPECT_NE(static_cast<unsigned char>(full[language.size()]) & 0xC0, 0x80);
}

TEST_F(VersionInfoTest, FailedReadReleasesWhatWasThere) {
    const std::string good = write_pe(testing::typical_version_spec());
    testing::PeImage broken = build_pe_with_version(testing::typical_version_spec());
    broken.bytes[broken.data[0] + 6] = 'X';  // the root key
    const std::string corrupt = dir_.write("corrupt.dll", broken.bytes);
    const std::string text = dir_.write_text("notes.txt", "not an executable\n");
    for (const std::string& bad :
         {(dir_.path() / "missing.exe").string(), text, corrupt, dir_.path().string()}) {
        SCOPED_TRACE(bad);
        FileVersionInfo record;
        ASSERT_TRUE(read_file_version_info(good.c_str(), record));
        EXPECT_FALSE(read_file_version_info(bad.c_str(), record));
        expect_all_absent(record);
    }
    FileVersionInfo record;
    EXPECT_FALSE(read_file_version_info(nullptr, record));
    expect_all_absent(record);
}

TEST_F(VersionInfoTest, ReadingTwiceGivesTheSameTexts) {
    const std::string path = write_pe(testing::typical_version_spec());
    FileVersionInfo* record = create_file_version_info();
    expect_all_absent(*record);
    ASSERT_TRUE(read_file_version_info(path.c_str(), *record));
    std::vector<std::string> first;
    for (const MemberExpectation& m : kMembers) {
        first.emplace_back(member_text(record->*m.member));
    }
    ASSERT_TRUE(read_file_version_info(path.c_str(), *record));
    for (std::size_t i = 0; i < std::size(kMembers); ++i) {
        EXPECT_EQ(member_text(record->*kMembers[i].member), first[i]) << kMembers[i].name;
    }
    // The first read's texts were released by the second; with the leak checker on, so are
    // these.
    release_file_version_info(record);
    release_file_version_info(nullptr);
}

TEST_F(VersionInfoTest, ReadsTheProgramsOwnExecutable) {
    FileVersionInfo record;
    ASSERT_TRUE(read_file_version_info("/proc/self/exe", record));
    expect_all_present(record);
    EXPECT_EQ(member_text(record.FileVersion), "1.0.0.0");
    EXPECT_EQ(member_text(record.ProductVersion), "1.0.0.0");
    EXPECT_EQ(member_text(record.FileDescription), kTitle);
    EXPECT_EQ(member_text(record.ProductName), kTitle);
    EXPECT_EQ(member_text(record.Language), "中文(简体，中国)");
    const std::string_view credit = member_text(record.CompanyName);
    EXPECT_EQ(credit.substr(0, std::string_view("By：").size()), "By：");
    EXPECT_EQ(member_text(record.Comments), credit);
    const std::string_view copyright = member_text(record.LegalCopyright);
    ASSERT_GT(copyright.size(), credit.size());
    EXPECT_EQ(copyright.substr(copyright.size() - credit.size()), credit);
    for (const auto member : {&FileVersionInfo::InternalName, &FileVersionInfo::LegalTrademarks,
                              &FileVersionInfo::OriginalFilename}) {
        EXPECT_EQ(member_text(record.*member), "");
    }
}

TEST(VersionBannerTest, NamesProductAndVersion) {
    struct Case {
        const char* name;
        const char* product_name;
        const char* product_version;
        const char* description;
        const char* file_version;
        const char* banner;
    };
    const Case cases[] = {
        {"product name and version", "产品", "2.0", "描述", "1.0", "产品 2.0"},
        {"description for a missing name", nullptr, "2.0", "描述", "1.0", "描述 2.0"},
        {"file version for a missing version", "产品", "", "描述", "1.0", "产品 1.0"},
        {"name only", "产品", nullptr, nullptr, nullptr, "产品"},
        {"nothing", nullptr, nullptr, nullptr, nullptr, ""},
    };
    auto text = [](const char* value) {
        return value == nullptr ? OwnedText() : make_owned_text(value, kVersionMemberBlockSize);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileVersionInfo record;
        record.ProductName = text(c.product_name);
        record.ProductVersion = text(c.product_version);
        record.FileDescription = text(c.description);
        record.FileVersion = text(c.file_version);
        EXPECT_EQ(version_banner(record), c.banner);
    }
}

TEST_F(VersionInfoTest, PrintOwnVersionReportsSuccessAndFailure) {
    ::testing::internal::CaptureStdout();
    const int status = print_own_version("/proc/self/exe");
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, std::string(kTitle) + " 1.0.0.0\n");

    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int failed = print_own_version(dir_.write_text("plain.txt", "text").c_str());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("plain.txt"), std::string::npos);
    EXPECT_EQ(failed, 1);
}

}  // namespace
}  // namespace quavik
