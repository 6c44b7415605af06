// The update check through the real window, with the real HTTP client and worker threads
// against a stand-in update server: the window stays usable while the server is slow.
#include <httplib.h>
#include <wx/uiaction.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "gui_test_support.h"
#include "platform/curl/curl_http.h"

namespace quavik::testing {
namespace {

constexpr const char* kNewerPage =
    "<html><body>tazep\n[edition]=2.0[/edition]\n"
    "[downloadURL]=http://example.com/quavik-2.0.zip[/downloadURL]\n"
    "[explain]=D[/explain]\n<script>var sogou_ad_width=360;</script></body></html>";

// Answers /tazep only when the test lets it.
class SlowUpdateServer {
public:
    SlowUpdateServer() {
        server_.Get("/tazep", [this](const httplib::Request&, httplib::Response& response) {
            std::unique_lock lock(mutex_);
            ++requests_;
            released_.wait(lock, [this] { return answer_; });
            response.set_content(kNewerPage, "text/html; charset=utf-8");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~SlowUpdateServer() {
        release();
        server_.stop();
        thread_.join();
    }
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
    int requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    void release() {
        std::lock_guard lock(mutex_);
        answer_ = true;
        released_.notify_all();
    }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable released_;
    int requests_ = 0;
    bool answer_ = false;
};

class UpdateGuiTest : public ::testing::Test {
protected:
    SlowUpdateServer server;
    CurlHttpClient http;
    wx::WxThreads threads;
    StartWindow window{&http, &threads};
    wx::MainFrame& frame = window.frame();

    void SetUp() override {
        window.program().endpoints.update_host = server.host();
        program_version_info->FileVersion = make_owned_text("1.0.0.0", kVersionMemberBlockSize);
        ASSERT_TRUE(wait_for([&] { return frame.IsShown() && frame.IsActive(); }));
    }

    void click(std::string_view unit) {
        wxUIActionSimulator simulator;
        simulator.MouseMove(frame.unit(unit)->GetScreenRect().GetPosition() + wxPoint(20, 10));
        simulator.MouseClick();
    }
};

TEST_F(UpdateGuiTest, WindowStaysUsableWhileTheServerIsSlowAndASecondCheckIsRefused) {
    click("按钮2");
    ASSERT_TRUE(wait_for([&] { return server.requests() == 1; }));
    EXPECT_EQ(frame.read_text("标签"), "正在检查更新...");

    // The server holds its answer; the window still takes typing.
    frame.focus_unit("编辑框2");
    ASSERT_TRUE(wait_for([&] { return frame.focused_unit() == "编辑框2"; }));
    wxUIActionSimulator().Text("97");
    EXPECT_TRUE(wait_for([&] { return frame.read_text("编辑框2") == "97"; }))
        << "the window froze while the check ran";

    click("按钮2");  // refused while the first check runs
    wait_for([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(server.requests(), 1);

    server.release();
    auto& shown = window.fakes().message_box.shown;
    ASSERT_TRUE(wait_for([&] { return !shown.empty(); }));
    EXPECT_EQ(shown[0].caption, "发现新版本");
    EXPECT_EQ(shown[0].text, "发现新版本：2.0\r\n\r\nD\r\n\r\n是否下载更新？");
    EXPECT_EQ(frame.read_text("标签"), "本地版本：1.0.0.0   服务器最新版本：2.0");
    // No was answered (the fake's default): nothing opened.
    EXPECT_TRUE(window.fakes().shell.opened.empty());
}

}  // namespace
}  // namespace quavik::testing
