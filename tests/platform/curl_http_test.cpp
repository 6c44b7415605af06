// The libcurl client against a local server that misbehaves in every way the network can.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include <gtest/gtest.h>

#include "platform/curl/curl_http.h"

namespace quavik {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kFiftyMegabytes = 50u << 20;

std::string gzip(const std::string& data) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY),
              Z_OK);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// Handlers that must not answer wait here until the test is over.
class Gate {
  public:
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 30s, [this] { return open_; });  // a bound against a stuck test
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

// A port on which nothing listens: bound, so nobody else takes it, but not listening.
class ClosedPort {
  public:
    ClosedPort() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        EXPECT_EQ(bind(fd_, reinterpret_cast<sockaddr*>(&address), size), 0);
        EXPECT_EQ(getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size), 0);
        port_ = ntohs(address.sin_port);
    }
    ~ClosedPort() { close(fd_); }
    int port() const { return port_; }

  private:
    int fd_;
    int port_ = 0;
};

class CurlFetch : public ::testing::Test {
  protected:
    void SetUp() override {
        // The server writes into sockets that the client closes early.
        signal(SIGPIPE, SIG_IGN);
        setenv("no_proxy", "127.0.0.1", 1);  // the local server is never reached via a proxy
        add_handlers();
        port_ = server_.bind_to_any_port("127.0.0.1");
        ASSERT_GT(port_, 0);
        listener_ = std::thread([this] { server_.listen_after_bind(); });
        // stop() only stops a server that has started; wait until it has.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!server_.is_running() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        ASSERT_TRUE(server_.is_running());
    }
    void TearDown() override {
        gate_.open();
        server_.stop();
        if (listener_.joinable()) {
            listener_.join();
        }
    }

    std::string url(std::string_view path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
    }

    void add_handlers() {
        server_.Get("/page", [this](const httplib::Request& request, httplib::Response& response) {
            {
                std::lock_guard lock(requests_mutex_);
                last_request_headers_ = request.headers;
            }
            response.set_content("<html>tazep 页面</html>", "text/html; charset=gbk");
        });
        server_.Get("/gzip", [](const httplib::Request&, httplib::Response& response) {
            response.set_header("Content-Encoding", "gzip");
            response.set_content(gzip("a gzipped page"), "text/html");
        });
        server_.Get("/redirect", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/page");
        });
        server_.Get("/404", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("not here", "text/plain");
        });
        server_.Get("/500", [](const httplib::Request&, httplib::Response& response) {
            response.status = 500;
        });
        server_.Get("/to-file", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("file:///etc/passwd");
        });
        server_.Get("/to-ftp", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("ftp://127.0.0.1/pub");
        });
        server_.Get("/nowhere", [](const httplib::Request&, httplib::Response& response) {
            response.status = 302;  // a redirect that names no target
            response.set_content("moved", "text/plain");
        });
        server_.Get("/loop", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/loop");
        });
        server_.Get("/slow", [this](const httplib::Request&, httplib::Response& response) {
            gate_.wait();
            response.set_content("too late", "text/plain");
        });
        server_.Get("/stall", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                1000, "text/html",
                [this](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                    if (offset == 0) {
                        sink.write("<html>", 6);
                        return true;
                    }
                    gate_.wait();
                    return false;
                });
        });
        server_.Get("/huge", [](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider(
                "text/html", [sent = std::size_t{0}](std::size_t, httplib::DataSink& sink) mutable {
                    static const std::string block(64 * 1024, 'x');
                    if (sent >= kFiftyMegabytes) {
                        sink.done();
                        return true;
                    }
                    sent += block.size();
                    return sink.write(block.data(), block.size());
                });
        });
        server_.Get("/huge-length", [](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                kFiftyMegabytes, "text/html",
                [](std::size_t, std::size_t length, httplib::DataSink& sink) {
                    static const std::string block(64 * 1024, 'x');
                    return sink.write(block.data(), std::min(length, block.size()));
                });
        });
        server_.Get("/cut", [](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                1000, "text/html", [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                    if (offset > 0) {
                        return false;  // the connection drops after half the body
                    }
                    const std::string half(500, 'x');
                    return sink.write(half.data(), half.size());
                });
        });
        server_.Get("/bomb", [](const httplib::Request&, httplib::Response& response) {
            static const std::string bomb = gzip(std::string(kFiftyMegabytes, '\0'));
            response.set_header("Content-Encoding", "gzip");
            response.set_content(bomb, "text/html");
        });
        server_.Get("/brotli", [](const httplib::Request&, httplib::Response& response) {
            response.set_header("Content-Encoding", "br");
            response.set_content("\x0b\x02\x80hello\x03", "text/html");
        });
        server_.Get("/exact", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(std::string(std::stoul(request.get_param_value("n")), 'x'),
                                 "text/plain");
        });
    }

    httplib::Server server_;
    int port_ = 0;
    std::thread listener_;
    Gate gate_;
    std::mutex requests_mutex_;
    httplib::Headers last_request_headers_;
};

TEST_F(CurlFetch, ReadsAPageFromTheServer) {
    CurlHttpClient client;
    FetchInfo info;
    info.error = "stale";
    EXPECT_EQ(client.fetch_url_bytes(url("/page"), &info), "<html>tazep 页面</html>");
    EXPECT_EQ(info.error, "");
    EXPECT_EQ(info.status, 200);
    EXPECT_EQ(info.content_type, "text/html; charset=gbk");

    // Never from a cache, and only identity or gzip bodies asked for.
    std::lock_guard lock(requests_mutex_);
    const auto header = [&](const char* name) {
        const auto found = last_request_headers_.find(name);
        return found == last_request_headers_.end() ? std::string("(none)") : found->second;
    };
    EXPECT_EQ(header("Cache-Control"), "no-cache");
    EXPECT_EQ(header("Pragma"), "no-cache");
    EXPECT_EQ(header("Accept-Encoding"), "gzip");
}

TEST_F(CurlFetch, FollowsAnHttpRedirectAndDecodesGzip) {
    CurlHttpClient client;
    FetchInfo info;
    EXPECT_EQ(client.fetch_url_bytes(url("/redirect"), &info), "<html>tazep 页面</html>");
    EXPECT_EQ(info.error, "");
    EXPECT_EQ(client.fetch_url_bytes(url("/gzip"), &info), "a gzipped page");
    EXPECT_EQ(info.error, "");
}

TEST_F(CurlFetch, TheCapAllowsExactlyItsSize) {
    CurlHttpClient client(FetchLimits{.max_bytes = 1000});
    FetchInfo info;
    EXPECT_EQ(client.fetch_url_bytes(url("/exact?n=1000"), &info).size(), 1000u);
    EXPECT_EQ(info.error, "");
    EXPECT_EQ(client.fetch_url_bytes(url("/exact?n=1001"), &info).size(), 0u);
    EXPECT_EQ(info.error, "页面过大");
}

struct FaultCase {
    const char* name;
    std::string path;  // on the test server, or a whole URL when it has a scheme
    FetchLimits limits;
    const char* reason;
    long status;
};

TEST_F(CurlFetch, EveryFaultIsAnEmptyAnswerWithAReason) {
    const ClosedPort closed;
    const FaultCase cases[] = {
        {"server down",
         "http://127.0.0.1:" + std::to_string(closed.port()) + "/tazep",
         {},
         "无法连接到服务器",
         0},
        {"never answers", "/slow", {.total_timeout = 300ms}, "连接超时", 0},
        // libcurl averages the speed over a few seconds; a high floor trips it after one.
        {"stalls in the middle of the body",
         "/stall",
         {.total_timeout = 60s, .low_speed_bytes = 100000, .low_speed_time = 1s},
         "连接超时",
         200},
        {"50 MB without a length", "/huge", {}, "页面过大", 200},
        {"50 MB announced by Content-Length", "/huge-length", {}, "页面过大", 200},
        {"gzip bomb", "/bomb", {}, "页面过大", 200},
        {"a coding other than gzip", "/brotli", {}, "不支持的压缩方式", 200},
        {"cut off in the middle of the body", "/cut", {}, "连接中断", 200},
        {"not found", "/404", {}, "服务器返回错误 404", 404},
        {"server error", "/500", {}, "服务器返回错误 500", 500},
        {"redirect to file:", "/to-file", {}, "重定向到不允许的地址", 302},
        {"redirect to ftp:", "/to-ftp", {}, "重定向到不允许的地址", 302},
        {"a redirect without a target", "/nowhere", {}, "服务器返回错误 302", 302},
        {"endless redirects", "/loop", {}, "重定向次数过多", 302},
        {"a file: URL to begin with", "file:///etc/passwd", {}, "不是 http 或 https", 0},
        {"a malformed URL", "http://[zz/", {}, "地址无效", 0},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        CurlHttpClient client(c.limits);
        FetchInfo info;
        const std::string target = c.path.starts_with("/") ? url(c.path) : c.path;
        const std::string body = client.fetch_url_bytes(target, &info);
        EXPECT_TRUE(body.empty()) << body.size() << " bytes came back";
        EXPECT_NE(info.error.find(c.reason), std::string::npos) << info.error;
        EXPECT_EQ(info.status, c.status);
    }
}

TEST_F(CurlFetch, WorkerThreadsFetchAtTheSameTime) {
    CurlHttpClient client;
    std::vector<std::thread> workers;
    std::vector<int> successes(4, 0);
    for (std::size_t i = 0; i < successes.size(); ++i) {
        workers.emplace_back([&, i] {
            for (int round = 0; round < 5; ++round) {
                FetchInfo info;
                if (client.fetch_url_bytes(url(round % 2 == 0 ? "/page" : "/gzip"), &info) != "" &&
                    info.error.empty()) {
                    ++successes[i];
                }
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    EXPECT_EQ(successes, std::vector<int>(4, 5));
}

}  // namespace
}  // namespace quavik
