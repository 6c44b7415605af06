// fetch_url_bytes over WinHTTP against a small HTTP server of the test's own on 127.0.0.1:
// pages, error statuses, redirects and their limit, the body cap, codings it does not take,
// the total time limit, the request's no-cache headers, and addresses that are no web pages.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/winhttp_client.h"

namespace quavik {
namespace {

using win32::WinHttpClient;
using win32::WinHttpLimits;

// Answers each connection by the path of its request, one request per connection. Stops (and
// closes every socket) when destroyed.
class TestServer {
  public:
    TestServer() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        int size = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(listener_, 16) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            ADD_FAILURE() << "cannot listen on 127.0.0.1";
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~TestServer() {
        stopping_ = true;
        closesocket(listener_);
        thread_.join();
        WSACleanup();
    }
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    std::string url(std::string_view path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
    }
    // The requests received so far, head only.
    std::vector<std::string> requests() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

  private:
    void serve() {
        while (!stopping_) {
            const SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) {
                return;
            }
            answer(client);
            shutdown(client, SD_BOTH);
            closesocket(client);
        }
    }

    static bool send_all(SOCKET client, std::string_view bytes) {
        while (!bytes.empty()) {
            const int sent = send(client, bytes.data(), static_cast<int>(bytes.size()), 0);
            if (sent <= 0) {
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        }
        return true;
    }

    static std::string reply(std::string_view status, std::string_view headers,
                             std::string_view body) {
        return "HTTP/1.1 " + std::string(status) + "\r\n" + std::string(headers) +
               "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
               std::string(body);
    }

    void answer(SOCKET client) {
        std::string head;
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos) {
            const int got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) {
                return;
            }
            head.append(buffer, static_cast<std::size_t>(got));
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(head);
        }
        const std::size_t path_start = head.find(' ') + 1;
        const std::string path = head.substr(path_start, head.find(' ', path_start) - path_start);

        if (path == "/page") {
            send_all(client, reply("200 OK", "Content-Type: text/html; charset=gbk\r\n",
                                   "tazep \xD2\xB3\xC3\xE6"));
        } else if (path == "/missing") {
            send_all(client, reply("404 Not Found", "Content-Type: text/plain\r\n", "none"));
        } else if (path.starts_with("/hop/")) {
            // /hop/N redirects to /hop/N-1; /hop/0 is the page.
            const int left = std::stoi(path.substr(5));
            if (left == 0) {
                send_all(client, reply("200 OK", "Content-Type: text/plain\r\n", "arrived"));
            } else {
                send_all(client, reply("302 Found",
                                       "Location: /hop/" + std::to_string(left - 1) + "\r\n", ""));
            }
        } else if (path == "/announced-too-large") {
            send_all(client,
                     "HTTP/1.1 200 OK\r\nContent-Length: 2097152\r\n"
                     "Connection: close\r\n\r\n" +
                         std::string(1024, 'x'));
        } else if (path == "/too-large") {
            // No length announced: the cap holds while the body is read.
            send_all(client, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
            const std::string chunk(64 * 1024, 'x');
            for (int i = 0; i < 40 && !stopping_; ++i) {
                if (!send_all(client, chunk)) {
                    break;
                }
            }
        } else if (path == "/gzip") {
            send_all(client, reply("200 OK", "Content-Encoding: gzip\r\n", "\x1F\x8B\x08"));
        } else if (path == "/trickle") {
            // A byte now and then, never a stall long enough to end the transfer by itself.
            send_all(client, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
            for (int i = 0; i < 100 && !stopping_; ++i) {
                if (!send_all(client, "x")) {
                    break;
                }
                Sleep(100);
            }
        }
    }

    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

class Win32HttpTest : public ::testing::Test {
  protected:
    TestServer server_;
};

TEST_F(Win32HttpTest, FetchesThePageWithItsContentType) {
    WinHttpClient client;
    FetchInfo info;
    EXPECT_EQ(client.fetch_url_bytes(server_.url("/page"), &info), "tazep \xD2\xB3\xC3\xE6");
    EXPECT_EQ(info.error, "");
    EXPECT_EQ(info.status, 200);
    EXPECT_EQ(info.content_type, "text/html; charset=gbk");
    EXPECT_EQ(client.fetch_url_bytes(server_.url("/page"), nullptr), "tazep \xD2\xB3\xC3\xE6");
}

TEST_F(Win32HttpTest, AsksEveryCacheOnTheWayForAFreshAnswer) {
    WinHttpClient client;
    client.fetch_url_bytes(server_.url("/page"), nullptr);
    const std::vector<std::string> requests = server_.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].starts_with("GET /page HTTP/1.1\r\n")) << requests[0];
    EXPECT_NE(requests[0].find("Cache-Control: no-cache\r\n"), std::string::npos) << requests[0];
    EXPECT_NE(requests[0].find("Pragma: no-cache\r\n"), std::string::npos) << requests[0];
}

TEST_F(Win32HttpTest, FailuresAreEmptyWithAReason) {
    WinHttpLimits limits;
    limits.total_timeout_ms = 2000;
    limits.stall_timeout_ms = 1500;
    WinHttpClient client(limits);
    struct Case {
        const char* name;
        std::string url;
        long status;
        std::string reason;
    };
    const Case cases[] = {
        {"error status", server_.url("/missing"), 404, "服务器返回错误 404"},
        {"redirects within the limit", server_.url("/hop/3"), 0, ""},
        {"too many redirects", server_.url("/hop/5"), 0, "重定向次数过多或重定向到不允许的地址"},
        {"announced body over the cap", server_.url("/announced-too-large"), 200, "页面过大"},
        {"body over the cap", server_.url("/too-large"), 200, "页面过大"},
        {"a coding that was not asked for", server_.url("/gzip"), 200,
         "服务器使用了不支持的压缩方式"},
        {"the total time runs out", server_.url("/trickle"), 200, "连接超时"},
        {"not a web address", "ftp://127.0.0.1/page", 0, "地址不是 http 或 https 网址"},
        {"no address at all", "", 0, "地址不是 http 或 https 网址"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FetchInfo info;
        const std::string body = client.fetch_url_bytes(c.url, &info);
        if (c.reason.empty()) {
            EXPECT_EQ(body, "arrived");
            EXPECT_EQ(info.error, "");
            EXPECT_EQ(info.status, 200);
        } else {
            EXPECT_EQ(body, "");
            EXPECT_EQ(info.error, c.reason);
            EXPECT_EQ(info.status, c.status);
        }
    }
}

TEST_F(Win32HttpTest, UnreachableServerFailsWithAReason) {
    // A port nobody listens on: bound and closed again.
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(probe);

    WinHttpClient client;
    FetchInfo info;
    EXPECT_EQ(client.fetch_url_bytes(
                  "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/tazep", &info),
              "");
    EXPECT_EQ(info.error, "无法连接到服务器");
    EXPECT_EQ(info.status, 0);
}

}  // namespace
}  // namespace quavik
