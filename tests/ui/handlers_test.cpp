// The window's handlers against the headless platform: the version label and the search.
#include "ui/handlers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "frame/frame.h"
#include "platform/fake/fake_platform.h"
#include "ui/event_bindings.h"

namespace quavik {
namespace {

class HandlersTest : public ::testing::Test {
protected:
    fake::FakePlatform platform;
    Program program{platform.facilities()};

    void SetUp() override {
        program.frame.definitions = load_window_definitions();
        program.frame.events = std::make_unique<EventDispatcher>(program);
        program.executable_path = "/nonexistent/quavik";
        program.endpoints.search_host = "127.0.0.1:8080";
        program_version_info = create_file_version_info();
        load_start_window(program, kStartWindowName);
    }
    void TearDown() override { release_program_globals(); }

    fake::FakeWindow& window() { return *platform.gui.window(); }
    void type(std::string_view province, std::string_view city, std::string_view pattern) {
        window().type("编辑框2", province);
        window().type("编辑框3", city);
        window().type("编辑框4", pattern);
    }
};

TEST_F(HandlersTest, StartShowsTheSearchPageForValidValues) {
    struct Case {
        const char* name;
        const char* province;
        const char* city;
        const char* pattern;
        const char* url;
    };
    const Case cases[] = {
        {"as typed", "10", "101", "AAAA",
         "http://127.0.0.1:8080/num.php?shengfenid=10&shiquid=101&lh=AAAA"},
        {"lower case with spaces around", " 10 ", "\t101", "  aaaa ",
         "http://127.0.0.1:8080/num.php?shengfenid=10&shiquid=101&lh=AAAA"},
        {"city whose ID does not start with its province's", "18", "720", "ABAB",
         "http://127.0.0.1:8080/num.php?shengfenid=18&shiquid=720&lh=ABAB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window().addresses.clear();
        type(c.province, c.city, c.pattern);
        window().click("按钮1");
        EXPECT_EQ(window().addresses, std::vector<std::string>{c.url});
        EXPECT_TRUE(platform.message_box.shown.empty());
    }
}

TEST_F(HandlersTest, StartRefusesBadValuesWithAMessageAndSendsNothing) {
    struct Case {
        const char* name;
        const char* province;
        const char* city;
        const char* pattern;
        const char* message_part;
    };
    const Case cases[] = {
        {"empty boxes", "", "", "", "省份id"},
        {"city of another province", "11", "101", "AAAA", "内蒙古地区"},
        {"unknown pattern", "10", "101", "ABCABC", "靓号类型"},
        {"query injection in the pattern", "10", "101", "AAAA&lh=AA#x", "靓号类型"},
        {"CJK in the city box", "10", "呼和浩特", "AAAA", "市区id"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform.message_box.shown.clear();
        type(c.province, c.city, c.pattern);
        window().click("按钮1");
        EXPECT_TRUE(window().addresses.empty());
        ASSERT_EQ(platform.message_box.shown.size(), 1u);
        EXPECT_NE(platform.message_box.shown[0].text.find(c.message_part), std::string::npos)
            << platform.message_box.shown[0].text;
    }
}

TEST_F(HandlersTest, UnboundButtonsDoNothing) {
    type("10", "101", "AAAA");
    for (const char* unit : {"按钮3", "按钮4", "按钮5", "标签", "编辑框1", "超文本浏览框1"}) {
        window().click(unit);
    }
    EXPECT_TRUE(window().addresses.empty());
    EXPECT_TRUE(platform.message_box.shown.empty());
    EXPECT_TRUE(platform.http.requests.empty());
}

TEST_F(HandlersTest, VersionLabelSaysPlainlyWhenTheRecordCannotBeRead) {
    EXPECT_EQ(window().read_text("标签"), "当前版本：未知（无法读取程序的版本信息）");
}

TEST(VersionLabelText, ShowsTheFileVersion) {
    FileVersionInfo record;
    record.FileVersion = make_owned_text("1.0.0.0", kVersionMemberBlockSize);
    EXPECT_EQ(version_label_text(record, true), "当前版本：1.0.0.0");
    EXPECT_EQ(version_label_text(record, false), "当前版本：未知（无法读取程序的版本信息）");
    EXPECT_EQ(version_label_text(FileVersionInfo{}, true),
              "当前版本：未知（无法读取程序的版本信息）");
}

}  // namespace
}  // namespace quavik
