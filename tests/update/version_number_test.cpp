#include "update/version_number.h"

#include <gtest/gtest.h>

namespace quavik {
namespace {

using Parts = std::array<std::uint16_t, 4>;

struct ParseCase {
    const char* name;
    const char* text;
    std::optional<Parts> parts;
};

TEST(ParseVersionNumber, ReadsUpToFourPartsAndNothingElse) {
    const ParseCase cases[] = {
        {"four parts", "1.0.0.0", Parts{1, 0, 0, 0}},
        {"one part", "2", Parts{2, 0, 0, 0}},
        {"two parts", "1.10", Parts{1, 10, 0, 0}},
        {"largest parts", "65535.65535.65535.65535", Parts{65535, 65535, 65535, 65535}},
        {"leading zeros", "01.002", Parts{1, 2, 0, 0}},
        {"surrounding spaces and line ends", " \t1.2.3\r\n", Parts{1, 2, 3, 0}},
        {"empty", "", std::nullopt},
        {"only spaces", " \r\n", std::nullopt},
        {"prefix v", "v2.0", std::nullopt},
        {"suffix", "2.0-beta", std::nullopt},
        {"empty middle part", "1..0", std::nullopt},
        {"trailing dot", "1.", std::nullopt},
        {"leading dot", ".1", std::nullopt},
        {"letter in a part", "1.0.0.x", std::nullopt},
        {"five parts", "1.0.0.0.1", std::nullopt},
        {"part over 65535", "1.65536", std::nullopt},
        {"huge part", "99999999999999999999", std::nullopt},
        {"sign", "+1.0", std::nullopt},
        {"inner space", "1. 0", std::nullopt},
        {"comma", "1,0", std::nullopt},
        {"full-width digits", "２.０", std::nullopt},
        {"full-width stop", "1。0", std::nullopt},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<VersionNumber> version = parse_version_number(c.text);
        ASSERT_EQ(version.has_value(), c.parts.has_value());
        if (version) {
            EXPECT_EQ(version->parts, *c.parts);
        }
    }
}

struct CompareCase {
    const char* name;
    const char* published;
    const char* local;
    std::optional<bool> newer;
    const char* reason;
};

TEST(IsNewerVersion, ComparesNumbersNotTexts) {
    const CompareCase cases[] = {
        {"same", "1.0.0.0", "1.0.0.0", false, ""},
        {"same, written shorter", "1", "1.0.0.0", false, ""},
        {"same, with a line end", "1.0.0.0\r\n", " 1.0.0.0", false, ""},
        {"newer in the last part", "1.0.0.1", "1.0.0.0", true, ""},
        {"1.10 is newer than 1.9", "1.10", "1.9", true, ""},
        {"1.9 is older than 1.10", "1.9", "1.10", false, ""},
        {"2.0 is newer than 1.99.99.99", "2.0", "1.99.99.99", true, ""},
        {"older", "0.9", "1.0.0.0", false, ""},
        {"published not a version", "v2.0", "1.0.0.0", std::nullopt, "服务器上的版本号无效"},
        {"published empty", "", "1.0.0.0", std::nullopt, "服务器上的版本号无效"},
        {"local empty", "2.0", "", std::nullopt, "无法读取本地版本"},
        {"local not a version", "2.0", "1.0 beta", std::nullopt, "无法读取本地版本"},
    };
    for (const CompareCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_EQ(is_newer_version(c.published, c.local, &error), c.newer);
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace quavik
