#pragma once
// The HTTP client over libcurl. Every fetch is bounded, so the network can neither hang nor flood
// the program: connect and total timeouts, a low-speed limit, a cap on the body (counted after
// decompression), http and https only (redirects included), few redirects.
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/http.h"

namespace quavik {

struct FetchLimits {
    std::chrono::milliseconds connect_timeout{5000};
    std::chrono::milliseconds total_timeout{15000};
    // The transfer fails when it moves fewer than `low_speed_bytes` per second for
    // `low_speed_time` (whole seconds, at least 1).
    long low_speed_bytes = 1;
    std::chrono::seconds low_speed_time{10};
    std::size_t max_bytes = std::size_t{1} << 20;  // of the body as the program receives it
    long max_redirects = 3;
};

// Thread-safe: each fetch uses its own easy handle, and no signals (CURLOPT_NOSIGNAL); libcurl
// is initialised once, by the first fetch, whichever thread makes it.
class CurlHttpClient : public HttpClient {
  public:
    explicit CurlHttpClient(FetchLimits limits = {});

    // A GET of `url` from the server (never a cache), without retry. The body on a 2xx answer;
    // empty on any failure, with a short reason in `info->error`.
    std::string fetch_url_bytes(std::string_view url, FetchInfo* info) override;

    const FetchLimits& limits() const { return limits_; }

  private:
    FetchLimits limits_;
};

}  // namespace quavik
