#pragma once
// The HTTP client: a GET of one URL into a byte string, always from the server.
#include <string>
#include <string_view>

namespace quavik {

// Why a fetch failed, and what the server said about its answer.
struct FetchInfo {
    std::string error;         // empty on success; a short reason otherwise
    long status = 0;           // the HTTP status, 0 when no answer came
    std::string content_type;  // the answer's Content-Type header, as sent
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Blocks its caller until the transfer has ended. Empty on failure; `info` (optional)
    // says why.
    virtual std::string fetch_url_bytes(std::string_view url, FetchInfo* info) = 0;
};

}  // namespace quavik
