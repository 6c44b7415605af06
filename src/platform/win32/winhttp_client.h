#pragma once
// The HTTP client over the system's WinHTTP. Every fetch has the bounds of the libcurl client of
// the POSIX build (platform/curl/curl_http.h): connect and total timeouts, a stall limit (no byte
// for that long ends the transfer), a cap on the body, http and https only, few redirects.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/http.h"

namespace quavik::win32 {

// The bounds of one fetch, in milliseconds and bytes, with the values of the libcurl client.
// (Plain numbers: <chrono> holds a text that GBK, the program's execution character set, cannot
// write.)
struct WinHttpLimits {
    int connect_timeout_ms = 5000;
    int total_timeout_ms = 15000;
    int stall_timeout_ms = 10000;  // the libcurl client's low-speed limit: 1 byte in 10 s
    std::size_t max_bytes = std::size_t{1} << 20;
    long max_redirects = 3;
};

// Thread-safe: each fetch opens its own session, connection and request.
class WinHttpClient : public HttpClient {
  public:
    explicit WinHttpClient(WinHttpLimits limits = {}) : limits_(limits) {}

    // A GET of `url` from the server (never a cache), without retry. The body on a 2xx answer;
    // empty on any failure, with a short reason in `info->error`.
    std::string fetch_url_bytes(std::string_view url, FetchInfo* info) override;

    const WinHttpLimits& limits() const { return limits_; }

  private:
    WinHttpLimits limits_;
};

}  // namespace quavik::win32
