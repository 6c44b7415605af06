// fetch_url_bytes over libcurl: one easy handle per fetch, every transfer bounded.
#include "platform/curl/curl_http.h"

#include <curl/curl.h>
#include <signal.h>

#include <cstdio>
#include <memory>
#include <mutex>

namespace quavik {

namespace {

constexpr std::string_view kReasonTooLarge = "页面过大";
constexpr std::string_view kReasonBadEncoding = "服务器使用了不支持的压缩方式";
constexpr std::string_view kReasonBadAddress = "地址不是 http 或 https 网址";
constexpr std::string_view kReasonNoMemory = "内存不足";
constexpr std::string_view kReasonNetwork = "网络错误";

struct CurlReason {
    CURLcode code;
    std::string_view reason;
};

// clang-format off
constexpr CurlReason kCurlReasons[] = {
    {CURLE_COULDNT_CONNECT,          "无法连接到服务器"},
    {CURLE_COULDNT_RESOLVE_HOST,     "找不到服务器"},
    {CURLE_COULDNT_RESOLVE_PROXY,    "找不到代理服务器"},
    {CURLE_OPERATION_TIMEDOUT,       "连接超时"},
    {CURLE_FILESIZE_EXCEEDED,        kReasonTooLarge},
    {CURLE_TOO_MANY_REDIRECTS,       "重定向次数过多"},
    {CURLE_UNSUPPORTED_PROTOCOL,     "重定向到不允许的地址"},  // the first URL is checked before
    {CURLE_PARTIAL_FILE,             "连接中断，页面不完整"},
    {CURLE_RECV_ERROR,               "连接中断"},
    {CURLE_SEND_ERROR,               "发送请求失败"},
    {CURLE_GOT_NOTHING,              "服务器没有应答"},
    {CURLE_WEIRD_SERVER_REPLY,       "服务器的应答无效"},
    {CURLE_BAD_CONTENT_ENCODING,     "页面的压缩数据无效"},
    {CURLE_URL_MALFORMAT,            "地址无效"},
    {CURLE_SSL_CONNECT_ERROR,        "无法建立安全连接"},
    {CURLE_PEER_FAILED_VERIFICATION, "服务器的证书无效"},
    {CURLE_OUT_OF_MEMORY,            kReasonNoMemory},
};
// clang-format on

// What one transfer collects, shared with the callbacks.
struct Transfer {
    std::string body;
    std::size_t max_bytes = 0;
    std::string_view abort_reason;  // set by a callback that stopped the transfer
};

char lower_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower_ascii(a[i]) != lower_ascii(b[i])) {
            return false;
        }
    }
    return true;
}

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equals_ignoring_case(text.substr(0, prefix.size()), prefix);
}

std::string_view trim_spaces(std::string_view text) {
    constexpr std::string_view kSpaces = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpaces);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

// Only identity and gzip bodies are taken: other codings (deflate, br, zstd, ...) have other
// decoders, and a coding we never asked for is not what we expect from the server.
bool content_coding_allowed(std::string_view codings) {
    while (!codings.empty()) {
        const std::size_t comma = codings.find(',');
        const std::string_view coding = trim_spaces(codings.substr(0, comma));
        if (!coding.empty() && !equals_ignoring_case(coding, "identity") &&
            !equals_ignoring_case(coding, "gzip") && !equals_ignoring_case(coding, "x-gzip")) {
            return false;
        }
        codings = comma == std::string_view::npos ? std::string_view() : codings.substr(comma + 1);
    }
    return true;
}

// Counts the body as the program receives it (after decompression) against the cap.
std::size_t write_body(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (bytes > transfer.max_bytes - transfer.body.size()) {
        transfer.abort_reason = kReasonTooLarge;
        return bytes == 0 ? 1 : 0;  // any count other than `bytes` stops the transfer
    }
    transfer.body.append(data, bytes);
    return bytes;
}

std::size_t read_header(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    const std::string_view line(data, bytes);
    constexpr std::string_view kContentEncoding = "content-encoding:";
    if (starts_with_ignoring_case(line, kContentEncoding) &&
        !content_coding_allowed(line.substr(kContentEncoding.size()))) {
        transfer.abort_reason = kReasonBadEncoding;
        return bytes == 0 ? 1 : 0;
    }
    return bytes;
}

bool is_http_url(std::string_view url) {
    return starts_with_ignoring_case(url, "http://") || starts_with_ignoring_case(url, "https://");
}

std::string reason_for(CURLcode code, const Transfer& transfer, long status) {
    if (!transfer.abort_reason.empty()) {
        return std::string(transfer.abort_reason);
    }
    if (code == CURLE_HTTP_RETURNED_ERROR) {
        return "服务器返回错误 " + std::to_string(status);
    }
    for (const CurlReason& row : kCurlReasons) {
        if (row.code == code) {
            return std::string(row.reason);
        }
    }
    return std::string(kReasonNetwork) + "（" + std::to_string(static_cast<int>(code)) + "）";
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

std::once_flag curl_initialised;

void initialise_curl_once() {
    std::call_once(curl_initialised, [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        // With CURLOPT_NOSIGNAL libcurl no longer shields its writes from SIGPIPE; a peer that
        // closes a TLS connection would otherwise end the process. Only the default disposition
        // is changed, never a handler the program set.
        struct sigaction current {};
        if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            signal(SIGPIPE, SIG_IGN);
        }
    });
}

void fail(FetchInfo* info, std::string reason, long status = 0) {
    if (info != nullptr) {
        info->error = std::move(reason);
        info->status = status;
    }
}

}  // namespace

// libcurl (and the TLS library under it) is set up with the first fetch, not at start-up:
// most runs of the program never check for updates.
CurlHttpClient::CurlHttpClient(FetchLimits limits) : limits_(limits) {}

std::string CurlHttpClient::fetch_url_bytes(std::string_view url, FetchInfo* info) {
    initialise_curl_once();
    if (info != nullptr) {
        *info = FetchInfo{};
    }
    if (!is_http_url(url)) {
        fail(info, std::string(kReasonBadAddress));
        return {};
    }
    const std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<curl_slist, ListDeleter> header_list;
    for (const char* header : {"Cache-Control: no-cache", "Pragma: no-cache"}) {
        curl_slist* const list = curl_slist_append(header_list.get(), header);
        if (list == nullptr) {
            header_list.reset();
            break;
        }
        header_list.release();  // the appended list keeps the same head
        header_list.reset(list);
    }
    if (!easy || !header_list) {
        fail(info, std::string(kReasonNoMemory));
        return {};
    }

    Transfer transfer;
    transfer.max_bytes = limits_.max_bytes;
    const std::string url_text(url);
    CURL* handle = easy.get();
    curl_easy_setopt(handle, CURLOPT_URL, url_text.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, header_list.get());
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "Quavik-update-check/1.0");
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS, CURLPROTO_HTTP | CURLPROTO_HTTPS);
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS, CURLPROTO_HTTP | CURLPROTO_HTTPS);
#endif
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, limits_.max_redirects > 0 ? 1L : 0L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, limits_.max_redirects);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits_.connect_timeout.count()));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.total_timeout.count()));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, limits_.low_speed_bytes);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME,
                     static_cast<long>(limits_.low_speed_time.count()));
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.max_bytes));
    curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "gzip");
    curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, write_body);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, read_header);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);

    const CURLcode code = curl_easy_perform(handle);

    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    if (info != nullptr) {
        info->status = status;
        const char* content_type = nullptr;
        if (curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &content_type) == CURLE_OK &&
            content_type != nullptr) {
            info->content_type = content_type;
        }
    }
    if (code != CURLE_OK) {
        fail(info, reason_for(code, transfer, status), status);
        return {};
    }
    if (status < 200 || status > 299) {
        // What is left after the redirects were followed: a 1xx or 3xx answer is no page either.
        fail(info, "服务器返回错误 " + std::to_string(status), status);
        return {};
    }
    return std::move(transfer.body);
}

}  // namespace quavik
