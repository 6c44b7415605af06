#include "update/update_check.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "frame/allocator.h"
#include "platform/code_page.h"
#include "platform/fake/fake_platform.h"
#include "ui/event_bindings.h"
#include "ui/handlers.h"
#include "ui/window_definition.h"

namespace quavik {
namespace {

constexpr std::string_view kHost = "update.test:8080";
constexpr std::string_view kUrl = "http://update.test:8080/tazep";
constexpr std::string_view kLabelBefore = "当前版本：1.0.0.0";

std::string to_gbk(std::string_view program_text) {
    return convert_code_page(program_text, kProgramCodePage, kCodePageGbk).value_or("");
}

std::string page(std::string_view edition, std::string_view url = "http://update.test/d.zip",
                 std::string_view explain = "修复了若干问题") {
    return "<html><body>tazep\n[edition]=" + std::string(edition) +
           "[/edition]\n[downloadURL]=" + std::string(url) +
           "[/downloadURL]\n[explain]=" + std::string(explain) +
           "[/explain]\n<script>var sogou_ad_width=360;</script></body></html>";
}

FetchInfo fetch_info(long status, std::string content_type, std::string error = "") {
    FetchInfo info;
    info.error = std::move(error);
    info.status = status;
    info.content_type = std::move(content_type);
    return info;
}

fake::FakeAnswer gbk_answer(std::string_view program_page) {
    return {to_gbk(program_page), fetch_info(200, "text/html; charset=gbk")};
}

// The real start window over the fake GUI, with its event bindings: a click on 按钮2 reaches
// the handler as it does in the program.
class UpdateCheckFlow : public ::testing::Test {
  protected:
    void SetUp() override {
        program.endpoints.update_host = std::string(kHost);
        dispatcher.resume();
        ASSERT_NE(platform.gui.build_window(definitions->start_window, dispatcher), nullptr);
        window = platform.gui.window();
        program.window = window;
        record.FileVersion = make_owned_text("1.0.0.0");
        program_version_info = &record;
        window->set_text("标签", kLabelBefore);
    }
    void TearDown() override { program_version_info = nullptr; }

    void answer(fake::FakeAnswer a) { platform.http.answers[std::string(kUrl)] = std::move(a); }
    void click_and_finish() {
        window->click("按钮2");
        platform.threads.run_all();
    }
    std::string label() { return window->read_text("标签"); }
    const fake::ShownMessage& only_box() {
        EXPECT_EQ(platform.message_box.shown.size(), 1u);
        static const fake::ShownMessage kNone{"", "", 0};
        return platform.message_box.shown.empty() ? kNone : platform.message_box.shown.front();
    }

    fake::FakePlatform platform;
    Program program{platform.facilities()};
    std::unique_ptr<WindowDefinitions> definitions = load_window_definitions();
    EventDispatcher dispatcher{program};
    fake::FakeWindow* window = nullptr;
    FileVersionInfo record;
};

struct OutcomeCase {
    const char* name;
    std::optional<fake::FakeAnswer> answer;  // nothing: the server cannot be reached
    const char* local_version;
    std::string label;
    std::string box_text;
    std::string_view caption;
    unsigned flags;
};

TEST_F(UpdateCheckFlow, TellsTheOutcomeInTheLabelAndOneBox) {
    const std::string failed = "检查更新失败：";
    const OutcomeCase cases[] = {
        {"newer edition, GBK page", gbk_answer(page("2.0")), "1.0.0.0",
         "本地版本：1.0.0.0   服务器最新版本：2.0",
         "发现新版本：2.0\r\n\r\n修复了若干问题\r\n\r\n是否下载更新？", "发现新版本",
         mb::kYesNo | mb::kIconQuestion},
        {"newer edition, UTF-8 page",
         fake::FakeAnswer{"<meta charset=\"utf-8\">" + page("1.10"), fetch_info(200, "")}, "1.9",
         "本地版本：1.9   服务器最新版本：1.10",
         "发现新版本：1.10\r\n\r\n修复了若干问题\r\n\r\n是否下载更新？", "发现新版本",
         mb::kYesNo | mb::kIconQuestion},
        {"equal edition", gbk_answer(page("1.0.0.0")), "1.0.0.0",
         "本地版本：1.0.0.0   服务器最新版本：1.0.0.0", "暂无更新", "提示：",
         mb::kOk | mb::kIconInformation},
        {"equal edition written shorter, with line ends", gbk_answer(page("\r\n1.0\r\n")),
         "1.0.0.0", "本地版本：1.0.0.0   服务器最新版本：1.0", "暂无更新", "提示：",
         mb::kOk | mb::kIconInformation},
        {"older edition", gbk_answer(page("0.9")), "1.0.0.0",
         "本地版本：1.0.0.0   服务器最新版本：0.9", "暂无更新", "提示：",
         mb::kOk | mb::kIconInformation},
        {"server cannot be reached", std::nullopt, "1.0.0.0", std::string(kLabelBefore),
         failed + "无法连接到服务器", "提示：", mb::kOk | mb::kIconError},
        {"HTTP error", fake::FakeAnswer{"", fetch_info(404, "text/plain", "服务器返回错误 404")},
         "1.0.0.0", std::string(kLabelBefore), failed + "服务器返回错误 404", "提示：",
         mb::kOk | mb::kIconError},
        {"empty page", fake::FakeAnswer{"", fetch_info(200, "text/html")}, "1.0.0.0",
         std::string(kLabelBefore), failed + "页面中没有更新信息", "提示：",
         mb::kOk | mb::kIconError},
        {"no section", gbk_answer("<html>暂停服务</html>"), "1.0.0.0", std::string(kLabelBefore),
         failed + "页面中没有更新信息", "提示：", mb::kOk | mb::kIconError},
        {"missing field",
         gbk_answer("tazep[edition]=2.0[/edition][explain]=D[/explain]var sogou_ad_width=360"),
         "1.0.0.0", std::string(kLabelBefore), failed + "更新信息缺少字段 [downloadURL]", "提示：",
         mb::kOk | mb::kIconError},
        {"edition not a version", gbk_answer(page("v2.0")), "1.0.0.0", std::string(kLabelBefore),
         failed + "服务器上的版本号无效", "提示：", mb::kOk | mb::kIconError},
        {"invalid bytes for the declared charset",
         fake::FakeAnswer{"tazep\xFF\xFE", fetch_info(200, "text/html; charset=gbk")}, "1.0.0.0",
         std::string(kLabelBefore), failed + "页面含有无效或无法显示的字符", "提示：",
         mb::kOk | mb::kIconError},
        {"local version unreadable", gbk_answer(page("2.0")), "", std::string(kLabelBefore),
         failed + "无法读取本地版本，无法比较版本", "提示：", mb::kOk | mb::kIconError},
    };
    for (const OutcomeCase& c : cases) {
        SCOPED_TRACE(c.name);
        platform.http.answers.clear();
        platform.message_box.shown.clear();
        if (c.answer) {
            answer(*c.answer);
        }
        record.FileVersion = make_owned_text(c.local_version);
        window->set_text("标签", kLabelBefore);

        window->click("按钮2");
        EXPECT_EQ(label(), "正在检查更新...");
        EXPECT_TRUE(platform.message_box.shown.empty()) << "nothing is said before the answer";
        platform.threads.run_all();

        EXPECT_EQ(label(), c.label);
        const fake::ShownMessage& box = only_box();
        EXPECT_EQ(box.text, c.box_text);
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.flags, c.flags);
        EXPECT_TRUE(platform.shell.opened.empty()) << "nothing opens without a Yes";
        EXPECT_FALSE(program.update_check_running);
    }
}

TEST_F(UpdateCheckFlow, FetchesTheFixedAddressOnAWorkerThread) {
    answer(gbk_answer(page("1.0.0.0")));
    window->click("按钮2");
    EXPECT_EQ(platform.threads.pending_workers(), 1u);
    EXPECT_TRUE(platform.http.requests.empty()) << "the main thread does not fetch";
    platform.threads.run_all();
    EXPECT_EQ(platform.http.requests, std::vector<std::string>{std::string(kUrl)});
}

TEST_F(UpdateCheckFlow, RefusesASecondCheckWhileOneRuns) {
    answer(gbk_answer(page("1.0.0.0")));
    window->click("按钮2");
    window->click("按钮2");
    handle_check_update_clicked(program);
    EXPECT_EQ(platform.threads.pending_workers(), 1u);
    EXPECT_EQ(label(), "正在检查更新...");
    platform.threads.run_all();
    EXPECT_EQ(platform.http.requests.size(), 1u);
    EXPECT_EQ(platform.message_box.shown.size(), 1u);

    // Once it has ended, the next click checks again.
    click_and_finish();
    EXPECT_EQ(platform.http.requests.size(), 2u);
    EXPECT_EQ(platform.message_box.shown.size(), 2u);
}

// A click that waited behind the check's own message box must not start a second check.
TEST_F(UpdateCheckFlow, StaysBusyWhileItsBoxIsUp) {
    struct BusyProbe : fake::FakeMessageBoxes {
        const Program* program = nullptr;
        std::vector<bool> running;
        int show_message_box(std::string_view text, std::string_view caption,
                             unsigned flags) override {
            running.push_back(program->update_check_running);
            return fake::FakeMessageBoxes::show_message_box(text, caption, flags);
        }
    } probe;
    Program probed{
        Facilities{platform.gui, platform.http, probe, platform.shell, platform.threads}};
    probe.program = &probed;
    probed.endpoints = program.endpoints;
    probed.window = window;
    answer(gbk_answer(page("2.0")));
    handle_check_update_clicked(probed);
    platform.threads.run_all();
    EXPECT_EQ(probe.running, std::vector<bool>{true});
    EXPECT_FALSE(probed.update_check_running);
}

TEST_F(UpdateCheckFlow, YesOpensAnHttpDownloadUrl) {
    for (const char* url : {"http://update.test/download/quavik-2.0.zip",
                            "HTTPS://update.test:8443/d?v=2.0#top", "http://[::1]:8080/d"}) {
        SCOPED_TRACE(url);
        platform.shell.opened.clear();
        platform.message_box.shown.clear();
        answer(gbk_answer(page("2.0", url)));
        platform.message_box.answers = {mb::kResultYes};
        click_and_finish();
        EXPECT_EQ(platform.shell.opened, std::vector<std::string>{url});
        EXPECT_EQ(platform.message_box.shown.size(), 1u) << "no second box after a good Yes";
    }
}

TEST_F(UpdateCheckFlow, NoOpensNothing) {
    answer(gbk_answer(page("2.0")));
    platform.message_box.answers = {mb::kResultNo};
    click_and_finish();
    EXPECT_TRUE(platform.shell.opened.empty());
    EXPECT_EQ(platform.message_box.shown.size(), 1u);
}

TEST_F(UpdateCheckFlow, YesRefusesAnythingButAnHttpUrl) {
    const char* refused[] = {"file:///bin/sh",           "-x",
                             "/usr/bin/quavik",          "",
                             "javascript:alert(1)",      "http://update.test/a b",
                             "http://update.test/\r\nx", "#引号http://update.test/d#引号"};
    for (const char* url : refused) {
        SCOPED_TRACE(url);
        platform.message_box.shown.clear();
        answer(gbk_answer(page("2.0", url)));
        platform.message_box.answers = {mb::kResultYes};
        click_and_finish();
        EXPECT_TRUE(platform.shell.opened.empty());
        ASSERT_EQ(platform.message_box.shown.size(), 2u);
        EXPECT_EQ(platform.message_box.shown[1].text, kTextBadDownloadUrl);
        EXPECT_EQ(platform.message_box.shown[1].caption, "提示：");
    }
}

TEST_F(UpdateCheckFlow, SaysSoWhenTheBrowserCannotBeOpened) {
    answer(gbk_answer(page("2.0", "http://update.test/d.zip")));
    platform.message_box.answers = {mb::kResultYes};
    platform.shell.succeed = false;
    click_and_finish();
    ASSERT_EQ(platform.message_box.shown.size(), 2u);
    EXPECT_EQ(platform.message_box.shown[1].text,
              "无法打开浏览器，请手动访问：http://update.test/d.zip");
}

TEST_F(UpdateCheckFlow, AWindowClosedDuringTheCheckIsLeftAlone) {
    answer(gbk_answer(page("2.0")));
    window->click("按钮2");
    window->close();
    platform.threads.run_all();
    EXPECT_TRUE(platform.message_box.shown.empty());
    EXPECT_FALSE(program.update_check_running);
}

// ---------------------------------------------------------------------------------------------
// The texts themselves.

TEST(UpdateTexts, JoinAsTheMessagesRead) {
    EXPECT_EQ(update_version_line("1.0.0.0", "2.0"), "本地版本：1.0.0.0   服务器最新版本：2.0");
    EXPECT_EQ(update_offer_text("2.0", "D"), "发现新版本：2.0\r\n\r\nD\r\n\r\n是否下载更新？");
    EXPECT_EQ(kTextChecking.substr(kTextChecking.size() - 3), "...");

    // In GBK, as the Windows build writes them: full-width colon A3 BA, full-width question mark
    // A3 BF, three ASCII spaces before the server label.
    const std::string line = to_gbk(update_version_line("1", "2"));
    EXPECT_EQ(line,
              "\xB1\xBE\xB5\xD8\xB0\xE6\xB1\xBE\xA3\xBA"
              "1   "
              "\xB7\xFE\xCE\xF1\xC6\xF7\xD7\xEE\xD0\xC2\xB0\xE6\xB1\xBE\xA3\xBA"
              "2");
    const std::string offer = to_gbk(update_offer_text("2.0", "D"));
    EXPECT_TRUE(offer.ends_with("\xA3\xBF"));

    // A description that would fill the screen is cut on a character boundary.
    std::string at_limit = "xx";
    while (at_limit.size() < kMaxExplainShown) {
        at_limit += "新";
    }
    ASSERT_EQ(at_limit.size(), kMaxExplainShown);
    EXPECT_EQ(update_offer_text("2.0", at_limit),
              "发现新版本：2.0\r\n\r\n" + at_limit + "\r\n\r\n是否下载更新？");
    const std::string over_limit = "x" + at_limit;  // "xxx", then three-byte characters
    const std::string cut = update_offer_text("2.0", over_limit);
    EXPECT_EQ(cut, "发现新版本：2.0\r\n\r\n" + over_limit.substr(0, kMaxExplainShown - 2) +
                       "……\r\n\r\n是否下载更新？");
    EXPECT_TRUE(convert_code_page(cut, kProgramCodePage, kCodePageGbk).has_value())
        << "no character is cut in half";
    EXPECT_EQ(to_gbk(kCaptionNotice), "\xCC\xE1\xCA\xBE\xA3\xBA");
}

TEST(SafeDownloadUrl, AcceptsOnlyAbsoluteHttpUrls) {
    struct Case {
        const char* url;
        bool safe;
    };
    const Case cases[] = {
        {"http://update.quavik.example/download/quavik-2.0.zip", true},
        {"https://update.quavik.example/d", true},
        {"Http://host", true},
        {"http://host:8080", true},
        {"http://host/p?a=1&b=%20#f", true},
        {"http://[2001:db8::1]:80/d", true},
        {"http://127.0.0.1/d", true},
        {"", false},
        {"http://", false},
        {"http:///path", false},
        {"http:host/d", false},
        {"//host/d", false},
        {"ftp://host/d", false},
        {"file:///bin/sh", false},
        {"-x", false},
        {"--help http://host/", false},
        {" http://host/", false},
        {"http://host/ ", false},
        {"http://host/a\tb", false},
        {"http://host/a\x7f", false},
        {"http://host/\"x", false},
        {"http://host/<x>", false},
        {"http://host\\evil/", false},
        {"http://user:pw@host/", false},
        {"http://host:/", false},
        {"http://host:123456/", false},
        {"http://host:8a/", false},
        {"http://[::1/", false},
        {"http://[]/", false},
        {"http://hóst/", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(is_safe_download_url(c.url), c.safe);
    }
    EXPECT_TRUE(is_safe_download_url("http://h/" + std::string(2000, 'a')));
    EXPECT_FALSE(is_safe_download_url("http://h/" + std::string(2100, 'a')));
}

}  // namespace
}  // namespace quavik
