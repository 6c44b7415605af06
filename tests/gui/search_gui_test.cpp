// The number search through the real window: typed values, one request to a stand-in service,
// the page shown in the HTML view.
#include <httplib.h>
#include <wx/button.h>
#include <wx/uiaction.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>
#include <thread>

#include "gui_test_support.h"

namespace quavik::testing {
namespace {

// An HTTP server on loopback that records every request it gets.
class StandInService {
public:
    // `content_type`: what the service says its answers are.
    explicit StandInService(std::string content_type = "text/html; charset=utf-8")
        : content_type_(std::move(content_type)) {
        server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            {
                std::lock_guard lock(mutex_);
                std::string target = request.path;
                if (!request.params.empty()) {
                    // httplib decodes the query; keep the raw target as the client sent it.
                    target = request.target;
                }
                requests_.push_back(target);
            }
            response.set_content(
                "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>号码列表</title></head>"
                "<body><p>15847001111</p></body></html>",
                content_type_);
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~StandInService() {
        server_.stop();
        thread_.join();
    }
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
    // The searches it got (the browser may also ask for other things, such as an icon).
    std::vector<std::string> requests() {
        std::lock_guard lock(mutex_);
        std::vector<std::string> searches;
        for (const std::string& target : requests_) {
            if (target.rfind("/num.php", 0) == 0) {
                searches.push_back(target);
            }
        }
        return searches;
    }

private:
    std::string content_type_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

// A loopback port that nothing listens on.
int free_port() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}

class SearchGuiTest : public ::testing::Test {
protected:
    StandInService service;
    StartWindow window;
    wx::MainFrame& frame = window.frame();

    void SetUp() override {
        window.program().endpoints.search_host = service.host();
        ASSERT_TRUE(wait_for([&] { return frame.IsShown() && frame.IsActive(); }));
    }

    // Types into a box with real key presses.
    void type_into(std::string_view unit, const char* text) {
        frame.focus_unit(unit);
        ASSERT_TRUE(wait_for([&] { return frame.focused_unit() == unit; }));
        wxUIActionSimulator simulator;
        simulator.Text(text);
        ASSERT_TRUE(wait_for([&] { return frame.read_text(unit) == text; }))
            << "typed \"" << text << "\", box holds \"" << frame.read_text(unit) << "\"";
    }

    void click(std::string_view unit) {
        wxWindow* button = frame.unit(unit);
        wxUIActionSimulator simulator;
        simulator.MouseMove(button->GetScreenRect().GetPosition() + wxPoint(20, 10));
        simulator.MouseClick();
    }

    wx::WebEngine* web_view() {
        return static_cast<wx::HtmlViewUnit*>(frame.unit("超文本浏览框1"))->engine();
    }
};

TEST_F(SearchGuiTest, OneClickMakesExactlyOneRequestAndShowsThePage) {
    EXPECT_EQ(web_view(), nullptr) << "the browser engine started before the first search";
    type_into("编辑框2", "10");
    type_into("编辑框3", "101");
    type_into("编辑框4", " aaaa ");
    click("按钮1");

    ASSERT_TRUE(wait_for([&] { return !service.requests().empty(); }))
        << "no request reached the service";
    ASSERT_TRUE(wait_for([&] {
        return web_view() != nullptr && web_view()->title() == wxString::FromUTF8("号码列表");
    })) << "the page did not appear in the view";
    EXPECT_EQ(service.requests(),
              std::vector<std::string>{"/num.php?shengfenid=10&shiquid=101&lh=AAAA"});
    EXPECT_EQ(web_view()->text_size_level(), 2);
    EXPECT_TRUE(window.fakes().message_box.shown.empty());
}

TEST_F(SearchGuiTest, BadValuesSendNothing) {
    type_into("编辑框2", "10");
    type_into("编辑框3", "101");
    type_into("编辑框4", "AA&lh=AAAA#");
    click("按钮1");
    ASSERT_TRUE(wait_for([&] { return !window.fakes().message_box.shown.empty(); }));
    EXPECT_TRUE(service.requests().empty());
    EXPECT_EQ(web_view(), nullptr);
}

TEST_F(SearchGuiTest, AServiceThatIsDownGivesAClearErrorPage) {
    // A port that was free a moment ago: nothing listens there.
    const std::string closed_host = "127.0.0.1:" + std::to_string(free_port());
    window.program().endpoints.search_host = closed_host;
    type_into("编辑框2", "10");
    type_into("编辑框3", "101");
    type_into("编辑框4", "AAAA");
    click("按钮1");
    ASSERT_TRUE(wait_for([&] {
        return web_view() != nullptr &&
               web_view()->title() == wxString::FromUTF8("无法打开页面");
    })) << "no error page; title is "
        << (web_view() ? web_view()->title().utf8_string() : std::string("-"));
    // The page names the address (the engine may briefly show its own page in between).
    const std::string address =
        "http://" + closed_host + "/num.php?shengfenid=10&amp;shiquid=101&amp;lh=AAAA";
    EXPECT_TRUE(wait_for([&] {
        return web_view()->source().utf8_string().find(address) != std::string::npos;
    })) << web_view()->source().utf8_string();
}

TEST_F(SearchGuiTest, ADownloadInsteadOfAPageGivesAClearErrorPage) {
    StandInService download_service("application/octet-stream");
    window.program().endpoints.search_host = download_service.host();
    type_into("编辑框2", "10");
    type_into("编辑框3", "101");
    type_into("编辑框4", "AAAA");
    click("按钮1");
    ASSERT_TRUE(wait_for([&] { return !download_service.requests().empty(); }));
    EXPECT_TRUE(wait_for([&] {
        return web_view() != nullptr &&
               web_view()->title() == wxString::FromUTF8("无法打开页面");
    })) << "title is " << (web_view() ? web_view()->title().utf8_string() : std::string("-"));
}

}  // namespace
}  // namespace quavik::testing
