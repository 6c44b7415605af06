// quavik-service: a small local HTTP server that stands in for the program's two web endpoints,
// so the program does its whole job without internet and tests have a real peer.
//
//   GET /num.php?shengfenid=10&shiquid=101&lh=AAAA   the number-search page (UTF-8)
//   GET /tazep                                       <www>/tazep.html, bytes unchanged
//   GET /<file>                                      other static files of <www>
//
// Listens on 127.0.0.1 only. The first line on stdout is "listening on http://127.0.0.1:PORT";
// SIGTERM or SIGINT stop it cleanly (exit code 0).
#include <httplib.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "pages.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "usage: quavik-service [--port N] [--www DIR] [--tazep-charset NAME] [--quiet]\n"
    "  --port N             port on 127.0.0.1; 0 (the default) picks a free one\n"
    "  --www DIR            static pages, tazep.html among them\n"
    "                       (default: ../share/quavik/www beside the program, else the\n"
    "                       source tree's service/www)\n"
    "  --tazep-charset NAME charset declared for /tazep (default gbk)\n"
    "  --quiet              no request log on stderr\n";

// How long a stop waits for the connections in progress.
constexpr std::chrono::seconds kDrainLimit{2};
// Idle keep-alive connections are closed after this; the browser view opens new ones at will.
constexpr time_t kKeepAliveSeconds = 1;

struct Options {
    int port = 0;
    std::string www;
    bool www_given = false;
    std::string tazep_charset = "gbk";
    bool quiet = false;
};

// A charset name as it may stand in a header: letters, digits and - _ . : only.
bool is_charset_name(std::string_view name) {
    if (name.empty() || name.size() > 40) {
        return false;
    }
    for (char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
        if (!ok) {
            return false;
        }
    }
    return true;
}

std::optional<int> parse_port(std::string_view text) {
    if (text.empty() || text.size() > 5) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > 65535) {
        return std::nullopt;
    }
    return value;
}

// Nothing after printing the reason when the arguments are wrong.
std::optional<Options> parse_options(int argc, char** argv, bool* help) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool has_value = false;
        if (const std::size_t eq = arg.find('=');
            arg.starts_with("--") && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            has_value = true;
        }
        const bool takes_value = arg == "--port" || arg == "--www" || arg == "--tazep-charset";
        if (takes_value && !has_value) {
            if (i + 1 >= argc) {
                std::cerr << "quavik-service: " << arg << " needs a value\n" << kUsage;
                return std::nullopt;
            }
            value = argv[++i];
        }
        if (arg == "--help" || arg == "-h") {
            *help = true;
            return options;
        } else if (arg == "--quiet" && !has_value) {
            options.quiet = true;
        } else if (arg == "--port") {
            const std::optional<int> port = parse_port(value);
            if (!port) {
                std::cerr << "quavik-service: --port takes a number from 0 to 65535, not \""
                          << value << "\"\n";
                return std::nullopt;
            }
            options.port = *port;
        } else if (arg == "--www") {
            options.www = value;
            options.www_given = true;
        } else if (arg == "--tazep-charset") {
            if (!is_charset_name(value)) {
                std::cerr << "quavik-service: --tazep-charset takes a charset name such as gbk "
                             "or utf-8, not \""
                          << value << "\"\n";
                return std::nullopt;
            }
            options.tazep_charset = value;
        } else {
            std::cerr << "quavik-service: unknown argument \"" << argv[i] << "\"\n" << kUsage;
            return std::nullopt;
        }
    }
    return options;
}

// The installed pages beside the program (<prefix>/bin/../share/quavik/www), else the source
// tree's.
std::string default_www() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path installed = executable.parent_path().parent_path() / "share/quavik/www";
        if (fs::is_directory(installed, error)) {
            return installed.string();
        }
    }
    return QUAVIK_SERVICE_SOURCE_WWW;
}

std::optional<std::string> read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return std::move(bytes).str();
}

void send(httplib::Response& res, const quavik::PageAnswer& answer) {
    res.status = answer.status;
    res.set_content(answer.html, "text/html; charset=utf-8");
}

}  // namespace

int main(int argc, char** argv) {
    bool help = false;
    const std::optional<Options> parsed = parse_options(argc, argv, &help);
    if (help) {
        std::cout << kUsage;
        return 0;
    }
    if (!parsed) {
        return 2;
    }
    Options options = *parsed;
    if (!options.www_given) {
        options.www = default_www();
    }
    std::error_code error;
    if (!fs::is_directory(options.www, error)) {
        if (options.www_given) {
            std::cerr << "quavik-service: --www " << options.www << " is not a directory\n";
            return 2;
        }
        std::cerr << "quavik-service: no static pages at " << options.www
                  << "; /tazep will answer 404\n";
    }

    // SIGTERM and SIGINT are taken by one thread that stops the server; every other thread,
    // the server's workers among them, has them blocked from here on.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGTERM);
    sigaddset(&stop_signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    const fs::path tazep_file = fs::path(options.www) / "tazep.html";
    const std::string tazep_type = "text/html; charset=" + options.tazep_charset;

    server.Get("/num.php", [](const httplib::Request& req, httplib::Response& res) {
        send(res, quavik::number_search_page(req.params));
    });
    server.Get("/tazep", [&](const httplib::Request& req, httplib::Response& res) {
        const std::optional<std::string> bytes = read_file(tazep_file);
        if (!bytes) {
            send(res, quavik::not_found_page(req.path));
            return;
        }
        res.status = 200;
        res.set_content(*bytes, tazep_type);
    });
    if (fs::is_directory(options.www, error)) {
        server.set_mount_point("/", options.www);
    }
    // Any answer of 400 or more that has no page yet (unknown paths, methods the service does
    // not take) gets a small one; pages set by the handlers stay as they are.
    server.set_error_handler(httplib::Server::HandlerWithResponse(
        [](const httplib::Request& req, httplib::Response& res) {
            if (!res.body.empty()) {
                return httplib::Server::HandlerResponse::Unhandled;
            }
            send(res, quavik::error_page(res.status, req.path));
            return httplib::Server::HandlerResponse::Handled;
        }));
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            res.status = 500;
            res.set_content(
                "<!DOCTYPE html><meta charset=\"utf-8\"><title>服务器出错</title>"
                "<p>服务器出错，请稍后再试。</p>",
                "text/html; charset=utf-8");
        });
    if (!options.quiet) {
        server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
            std::string target = req.target.substr(0, 200);
            for (char& c : target) {
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    c = '?';
                }
            }
            std::fprintf(stderr, "%s %s %d\n", req.method.c_str(), target.c_str(), res.status);
        });
    }

    server.set_keep_alive_timeout(kKeepAliveSeconds);
    // SO_REUSEADDR only: httplib's default adds SO_REUSEPORT, which would let a second service
    // share a port that is already taken instead of failing.
    server.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    });

    int port = options.port;
    if (port == 0) {
        port = server.bind_to_any_port("127.0.0.1");
    } else if (!server.bind_to_port("127.0.0.1", port)) {
        port = -1;
    }
    if (port <= 0) {
        std::cerr << "quavik-service: cannot listen on 127.0.0.1:" << options.port << ": "
                  << std::strerror(errno) << "\n";
        return 1;
    }
    std::cout << "listening on http://127.0.0.1:" << port << std::endl;

    std::atomic<bool> listen_finished = false;
    std::thread signal_waiter([&server, &stop_signals, &listen_finished] {
        while (!listen_finished) {
            timespec wait_limit{0, 100'000'000};  // looks at listen_finished now and then
            if (sigtimedwait(&stop_signals, nullptr, &wait_limit) < 0) {
                continue;
            }
            // A signal that comes before the accept loop has started must still stop it.
            while (!server.is_running() && !listen_finished) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            server.stop();
            // The workers finish the answers they are writing; an idle keep-alive connection
            // or a client that never completes its request does not hold the process longer.
            const auto deadline = std::chrono::steady_clock::now() + kDrainLimit;
            while (!listen_finished && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            if (!listen_finished) {
                std::fputs("quavik-service: stopped with connections still open\n", stderr);
                std::fflush(stdout);
                std::_Exit(0);
            }
            return;
        }
    });
    const bool served = server.listen_after_bind();
    listen_finished = true;
    signal_waiter.join();
    return served ? 0 : 1;
}
