// fetch_url_bytes over WinHTTP (synchronous mode): one session per fetch, every transfer
// bounded.
#include "winhttp_client.h"

#include "code_page_api.h"  // <windows.h>, which <winhttp.h> needs first

#include <winhttp.h>

#include <algorithm>
#include <optional>

namespace quavik::win32 {

namespace {

constexpr std::string_view kReasonTooLarge = "页面过大";
constexpr std::string_view kReasonBadEncoding = "服务器使用了不支持的压缩方式";
constexpr std::string_view kReasonBadAddress = "地址不是 http 或 https 网址";
constexpr std::string_view kReasonTimeout = "连接超时";
constexpr std::string_view kReasonTooManyRedirects = "重定向次数过多";
constexpr std::string_view kReasonNetwork = "网络错误";
constexpr const wchar_t* kUserAgent = L"Quavik-update-check/1.0";
// Never from a cache, and no cache on the way keeps the answer either.
constexpr const wchar_t* kNoCacheHeaders = L"Cache-Control: no-cache\r\nPragma: no-cache";

struct WinHttpReason {
    DWORD code;
    std::string_view reason;
};

// clang-format off
constexpr WinHttpReason kWinHttpReasons[] = {
    {ERROR_WINHTTP_CANNOT_CONNECT,          "无法连接到服务器"},
    {ERROR_WINHTTP_NAME_NOT_RESOLVED,       "找不到服务器"},
    {ERROR_WINHTTP_TIMEOUT,                 kReasonTimeout},
    // Past the redirect limit, or from https down to http: the system does not say which.
    {ERROR_WINHTTP_REDIRECT_FAILED,         "重定向次数过多或重定向到不允许的地址"},
    {ERROR_WINHTTP_CONNECTION_ERROR,        "连接中断"},
    {ERROR_WINHTTP_INVALID_SERVER_RESPONSE, "服务器的应答无效"},
    {ERROR_WINHTTP_INVALID_URL,             "地址无效"},
    {ERROR_WINHTTP_UNRECOGNIZED_SCHEME,     "地址无效"},
    {ERROR_WINHTTP_SECURE_CHANNEL_ERROR,    "无法建立安全连接"},
    {ERROR_WINHTTP_SECURE_FAILURE,          "服务器的证书无效"},
    {ERROR_NOT_ENOUGH_MEMORY,               "内存不足"},
    {ERROR_OUTOFMEMORY,                     "内存不足"},
};
// clang-format on

class Handle {
  public:
    explicit Handle(HINTERNET handle = nullptr) : handle_(handle) {}
    ~Handle() {
        if (handle_ != nullptr) {
            WinHttpCloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

  private:
    HINTERNET handle_;
};

char lower_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (lower_ascii(text[i]) != lower_ascii(prefix[i])) {
            return false;
        }
    }
    return true;
}

bool is_http_url(std::string_view url) {
    return starts_with_ignoring_case(url, "http://") || starts_with_ignoring_case(url, "https://");
}

std::wstring to_wide(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(kProgramCodePage, 0, text.data(), size, nullptr, 0);
    if (units <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(kProgramCodePage, 0, text.data(), size, wide.data(), units);
    return wide;
}

std::string from_wide(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int units = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(kProgramCodePage, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(kProgramCodePage, 0, text.data(), units, narrow.data(), size, nullptr,
                        nullptr);
    return narrow;
}

std::string reason_for(DWORD code) {
    for (const WinHttpReason& row : kWinHttpReasons) {
        if (row.code == code) {
            return std::string(row.reason);
        }
    }
    return std::string(kReasonNetwork) + "（" + std::to_string(code) + "）";
}

void fail(FetchInfo* info, std::string reason, long status = 0) {
    if (info != nullptr) {
        info->error = std::move(reason);
        info->status = status;
    }
}

// A text header of the answer, or nothing.
std::optional<std::wstring> query_text_header(HINTERNET request, DWORD which) {
    DWORD bytes = 0;
    WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                        &bytes, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) {
        return std::nullopt;
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &bytes,
                             WINHTTP_NO_HEADER_INDEX)) {
        return std::nullopt;
    }
    value.resize(bytes / sizeof(wchar_t));
    return value;
}

// Only identity bodies are taken: no coding is asked for, so a coded body is not what we expect
// from the server, and WinHTTP would hand it over undecoded.
bool content_coding_allowed(std::wstring_view codings) {
    while (!codings.empty()) {
        const std::size_t comma = codings.find(L',');
        std::wstring_view coding = codings.substr(0, comma);
        while (!coding.empty() && (coding.front() == L' ' || coding.front() == L'\t')) {
            coding.remove_prefix(1);
        }
        while (!coding.empty() && (coding.back() == L' ' || coding.back() == L'\t')) {
            coding.remove_suffix(1);
        }
        std::wstring lower(coding);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c; });
        if (!lower.empty() && lower != L"identity") {
            return false;
        }
        codings =
            comma == std::wstring_view::npos ? std::wstring_view() : codings.substr(comma + 1);
    }
    return true;
}

bool is_redirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

std::string WinHttpClient::fetch_url_bytes(std::string_view url, FetchInfo* info) {
    if (info != nullptr) {
        *info = FetchInfo{};
    }
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limits_.total_timeout_ms);
    const auto expired = [deadline] { return GetTickCount64() >= deadline; };
    const std::wstring address = to_wide(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!is_http_url(url) || address.empty() ||
        !WinHttpCrackUrl(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) ||
        parts.dwHostNameLength == 0) {
        fail(info, std::string(kReasonBadAddress));
        return {};
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath != nullptr ? parts.lpszUrlPath : L"",
                      parts.lpszUrlPath != nullptr ? parts.dwUrlPathLength : 0);
    if (parts.lpszExtraInfo != nullptr) {
        path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    }
    if (path.empty() || path.front() != L'/') {
        path.insert(path.begin(), L'/');
    }

    const Handle session(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                     WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        fail(info, reason_for(GetLastError()));
        return {};
    }
    const int connect_ms = std::max(limits_.connect_timeout_ms, 1);
    const int stall_ms = std::max(limits_.stall_timeout_ms, 1);
    WinHttpSetTimeouts(session.get(), connect_ms, connect_ms, stall_ms, stall_ms);

    const Handle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) {
        fail(info, reason_for(GetLastError()));
        return {};
    }
    const DWORD request_flags =
        WINHTTP_FLAG_REFRESH | (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    const Handle request(WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                            WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                            request_flags));
    if (!request) {
        fail(info, reason_for(GetLastError()));
        return {};
    }
    // Redirects: a few, and never from https down to http.
    DWORD policy = limits_.max_redirects > 0 ? WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP
                                             : WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
    DWORD redirects = static_cast<DWORD>(std::max(limits_.max_redirects, 0L));
    WinHttpSetOption(request.get(), WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects,
                     sizeof redirects);

    // Before each blocking step the waits are cut to what is left of the total time.
    const auto arm = [&]() -> bool {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        DWORD wait = static_cast<DWORD>(
            std::min<ULONGLONG>(static_cast<ULONGLONG>(stall_ms), deadline - now));
        WinHttpSetOption(request.get(), WINHTTP_OPTION_SEND_TIMEOUT, &wait, sizeof wait);
        WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, &wait, sizeof wait);
        WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &wait,
                         sizeof wait);
        return true;
    };

    if (!arm() || !WinHttpSendRequest(request.get(), kNoCacheHeaders, static_cast<DWORD>(-1L),
                                      WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
        fail(info, expired() ? std::string(kReasonTimeout) : reason_for(GetLastError()));
        return {};
    }
    if (!arm() || !WinHttpReceiveResponse(request.get(), nullptr)) {
        fail(info, expired() ? std::string(kReasonTimeout) : reason_for(GetLastError()));
        return {};
    }

    DWORD status_code = 0;
    DWORD status_size = sizeof status_code;
    WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status_code, &status_size,
                        WINHTTP_NO_HEADER_INDEX);
    const long status = static_cast<long>(status_code);
    if (info != nullptr) {
        info->status = status;
        if (const auto content_type =
                query_text_header(request.get(), WINHTTP_QUERY_CONTENT_TYPE)) {
            info->content_type = from_wide(*content_type);
        }
    }
    if (status < 200 || status > 299) {
        // What is left after the redirects were followed: a 1xx or 3xx answer is no page either.
        fail(info,
             is_redirect(status) ? std::string(kReasonTooManyRedirects)
                                 : "服务器返回错误 " + std::to_string(status),
             status);
        return {};
    }
    if (const auto coding = query_text_header(request.get(), WINHTTP_QUERY_CONTENT_ENCODING);
        coding && !content_coding_allowed(*coding)) {
        fail(info, std::string(kReasonBadEncoding), status);
        return {};
    }
    DWORD announced = 0;
    DWORD announced_size = sizeof announced;
    if (WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &announced, &announced_size,
                            WINHTTP_NO_HEADER_INDEX) &&
        announced > limits_.max_bytes) {
        fail(info, std::string(kReasonTooLarge), status);
        return {};
    }

    std::string body;
    for (;;) {
        DWORD available = 0;
        if (!arm() || !WinHttpQueryDataAvailable(request.get(), &available)) {
            fail(info, expired() ? std::string(kReasonTimeout) : reason_for(GetLastError()),
                 status);
            return {};
        }
        if (available == 0) {
            break;
        }
        if (available > limits_.max_bytes - body.size()) {
            fail(info, std::string(kReasonTooLarge), status);
            return {};
        }
        const std::size_t before = body.size();
        body.resize(before + available);
        DWORD read = 0;
        if (!WinHttpReadData(request.get(), body.data() + before, available, &read)) {
            fail(info, reason_for(GetLastError()), status);
            return {};
        }
        body.resize(before + read);
        if (read == 0) {
            break;
        }
    }
    return body;
}

}  // namespace quavik::win32
