// Runs the real quavik-service binary and talks HTTP to it.
#include <arpa/inet.h>
#include <fcntl.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kStartLimit = std::chrono::seconds(20);
constexpr auto kStopLimit = std::chrono::seconds(10);
constexpr auto kPollStep = std::chrono::milliseconds(10);

const std::string kServiceBinary = QUAVIK_BINARY_DIR "/quavik-service";

// The update page as published: GBK bytes that are not UTF-8, which must reach the client as
// they stand.
const std::string kTazepBytes =
    "<html><body>tazep\r\n[edition]=2.0[/edition]\r\n[explain]=\xD0\xC2\xB0\xE6[/explain]\r\n"
    "var sogou_ad_width=360;</body></html>";

// A quavik-service process on a free port. Stopped (and reaped) at the latest on destruction.
class ServiceProcess {
  public:
    explicit ServiceProcess(std::vector<std::string> args) {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        std::vector<std::string> argv_strings = {kServiceBinary};
        argv_strings.insert(argv_strings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : argv_strings) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        if (posix_spawn(&pid_, kServiceBinary.c_str(), &actions, nullptr, argv.data(), environ) !=
            0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        first_line_ = read_first_line(out[0]);
        close(out[0]);
    }

    ~ServiceProcess() {
        if (pid_ > 0 && !exit_status_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    const std::string& first_line() const { return first_line_; }

    // The port of "listening on http://127.0.0.1:PORT", or 0.
    int port() const {
        constexpr std::string_view kPrefix = "listening on http://127.0.0.1:";
        if (!first_line_.starts_with(kPrefix)) {
            return 0;
        }
        return std::atoi(first_line_.c_str() + kPrefix.size());
    }

    // Polls until the service answers a request, or the limit has passed.
    bool wait_until_answering() const {
        const auto deadline = Clock::now() + kStartLimit;
        while (Clock::now() < deadline) {
            httplib::Client client("127.0.0.1", port());
            client.set_connection_timeout(1);
            if (client.Get("/")) {
                return true;
            }
            std::this_thread::sleep_for(kPollStep);
        }
        return false;
    }

    // Sends `signal_number` and waits for the process to end; its wait status, or nothing when
    // it did not end in time.
    std::optional<int> stop(int signal_number) {
        kill(pid_, signal_number);
        return wait_for_exit();
    }

    std::optional<int> wait_for_exit() {
        const auto deadline = Clock::now() + kStopLimit;
        while (!exit_status_ && Clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exit_status_ = status;
            } else {
                std::this_thread::sleep_for(kPollStep);
            }
        }
        return exit_status_;
    }

  private:
    // The first line on the service's stdout, waiting at most kStartLimit.
    static std::string read_first_line(int fd) {
        std::string line;
        const auto deadline = Clock::now() + kStartLimit;
        while (Clock::now() < deadline) {
            pollfd readable{fd, POLLIN, 0};
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (poll(&readable, 1, static_cast<int>(left.count()) + 1) <= 0) {
                break;
            }
            char c = 0;
            if (read(fd, &c, 1) != 1 || c == '\n') {
                break;
            }
            line += c;
        }
        return line;
    }

    pid_t pid_ = -1;
    std::string first_line_;
    std::optional<int> exit_status_;
};

class ServiceProcessTest : public testing::Test {
  protected:
    void SetUp() override {
        www_ = fs::path(testing::TempDir()) / ("quavik-service-www-" + std::to_string(getpid()));
        fs::create_directories(www_);
        std::ofstream(www_ / "tazep.html", std::ios::binary) << kTazepBytes;
        std::ofstream(www_ / "index.html", std::ios::binary) << "<!DOCTYPE html><p>index</p>";
    }

    void TearDown() override { fs::remove_all(www_); }

    std::unique_ptr<ServiceProcess> start_service() {
        auto service = std::make_unique<ServiceProcess>(
            std::vector<std::string>{"--port", "0", "--www", www_.string(), "--quiet"});
        EXPECT_GT(service->port(), 0) << "first line: " << service->first_line();
        EXPECT_TRUE(service->port() > 0 && service->wait_until_answering());
        return service;
    }

    fs::path www_;
};

TEST_F(ServiceProcessTest, AnswersTheNumberSearchAndTheUpdatePage) {
    auto service = start_service();
    httplib::Client client("127.0.0.1", service->port());

    auto search = client.Get("/num.php?shengfenid=10&shiquid=101&lh=AAAA");
    ASSERT_TRUE(search);
    EXPECT_EQ(search->status, 200);
    EXPECT_EQ(search->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(search->body.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(search->body.find("呼和浩特"), std::string::npos);
    EXPECT_NE(search->body.find("<b class=\"hit\">"), std::string::npos);

    auto tazep = client.Get("/tazep");
    ASSERT_TRUE(tazep);
    EXPECT_EQ(tazep->status, 200);
    EXPECT_EQ(tazep->get_header_value("Content-Type"), "text/html; charset=gbk");
    EXPECT_EQ(tazep->body, kTazepBytes);

    auto missing = client.Get("/nothing-here");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);

    EXPECT_EQ(service->stop(SIGTERM), std::optional<int>(0));
}

TEST_F(ServiceProcessTest, RefusesBadSearchesNamingTheKey) {
    struct Row {
        const char* name;
        const char* target;
        const char* message;
    };
    const Row rows[] = {
        {"unknown city", "/num.php?shengfenid=10&shiquid=999&lh=AAAA",
         "参数 shiquid 无效：市区ID 999 不存在"},
        {"city of another province", "/num.php?shengfenid=11&shiquid=101&lh=AAAA",
         "参数 shiquid 无效：市区ID 101 属于内蒙古地区"},
        {"missing pattern", "/num.php?shengfenid=10&shiquid=101", "缺少参数 lh"},
        {"encoded ampersand stays in the value", "/num.php?shengfenid=10%26shiquid%3D101",
         "参数 shengfenid 无效：“10&amp;shiquid=101”不是省份ID"},
    };
    auto service = start_service();
    httplib::Client client("127.0.0.1", service->port());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto answer = client.Get(row.target);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, 400);
        EXPECT_EQ(answer->get_header_value("Content-Type"), "text/html; charset=utf-8");
        EXPECT_NE(answer->body.find(row.message), std::string::npos) << answer->body;
    }
}

// A connection to the port that sends half a request and then waits, as a stalled client does.
int open_stalled_connection(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        return -1;
    }
    constexpr std::string_view kHalfRequest = "GET /ta";
    EXPECT_EQ(write(fd, kHalfRequest.data(), kHalfRequest.size()),
              static_cast<ssize_t>(kHalfRequest.size()));
    return fd;
}

TEST_F(ServiceProcessTest, StopsCleanlyOnSigtermAndSigint) {
    struct Row {
        const char* name;
        int signal_number;
        bool stalled_client;
    };
    const Row rows[] = {
        {"SIGTERM while a client stalls mid-request", SIGTERM, true},
        {"SIGINT when idle", SIGINT, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto service = start_service();
        int stalled = -1;
        if (row.stalled_client) {
            stalled = open_stalled_connection(service->port());
            EXPECT_GE(stalled, 0);
            // Connections are accepted in order: once a later one is answered, the stalled one
            // is in a worker's hands.
            EXPECT_TRUE(httplib::Client("127.0.0.1", service->port()).Get("/"));
        }
        EXPECT_EQ(service->stop(row.signal_number), std::optional<int>(0));
        if (stalled >= 0) {
            close(stalled);
        }
        httplib::Client client("127.0.0.1", service->port());
        client.set_connection_timeout(1);
        EXPECT_FALSE(client.Get("/"));
    }
}

TEST(ServiceDefaults, ServesTheRepositoryPagesWithoutWwwOption) {
    std::ifstream in(fs::path(QUAVIK_SOURCE_DIR) / "service/www/tazep.html", std::ios::binary);
    const std::string published{std::istreambuf_iterator<char>(in), {}};
    // The placeholder carries the update section the program reads.
    const std::size_t start = published.find("tazep");
    const std::size_t edition = published.find("[edition]=");
    const std::size_t end = published.find("var sogou_ad_width=360");
    ASSERT_NE(start, std::string::npos);
    ASSERT_NE(edition, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LT(start, edition);
    EXPECT_LT(edition, end);

    ServiceProcess service({"--port", "0", "--quiet"});
    ASSERT_GT(service.port(), 0) << service.first_line();
    ASSERT_TRUE(service.wait_until_answering());
    auto tazep = httplib::Client("127.0.0.1", service.port()).Get("/tazep");
    ASSERT_TRUE(tazep);
    EXPECT_EQ(tazep->status, 200);
    EXPECT_EQ(tazep->body, published);
    EXPECT_EQ(service.stop(SIGTERM), std::optional<int>(0));
}

TEST_F(ServiceProcessTest, FailsWhenThePortIsTaken) {
    auto first = start_service();
    ServiceProcess second(
        {"--port", std::to_string(first->port()), "--www", www_.string(), "--quiet"});
    EXPECT_EQ(second.first_line(), "");
    const std::optional<int> status = second.wait_for_exit();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 1);
}

}  // namespace
