#pragma once
// The update check behind "检测更新": its texts, the pure steps it is made of, and the flow that
// handle_check_update_clicked (ui/handlers.h) runs.
#include <optional>
#include <string>
#include <string_view>

#include "frame/program.h"
#include "platform/http.h"
#include "update/update_page.h"

namespace quavik {

// The unit that shows the version, and the texts of the check.
inline constexpr std::string_view kVersionLabelUnit = "标签";

inline constexpr std::string_view kTextChecking = "正在检查更新...";
inline constexpr std::string_view kTextLocalVersion = "本地版本：";
inline constexpr std::string_view kTextServerVersion = "   服务器最新版本：";
inline constexpr std::string_view kTextNewVersion = "发现新版本：";
inline constexpr std::string_view kTextParagraph = "\r\n\r\n";
inline constexpr std::string_view kTextAskDownload = "\r\n\r\n是否下载更新？";
inline constexpr std::string_view kCaptionNotice = "提示：";
inline constexpr std::string_view kCaptionNewVersion = "发现新版本";
inline constexpr std::string_view kTextNoUpdate = "暂无更新";
inline constexpr std::string_view kTextCheckFailed = "检查更新失败：";
inline constexpr std::string_view kTextBadDownloadUrl =
    "下载地址不是有效的 http 或 https 网址，没有打开。";
inline constexpr std::string_view kTextBrowserFailed = "无法打开浏览器，请手动访问：";

// "本地版本：" + local + "   服务器最新版本：" + published.
std::string update_version_line(std::string_view local, std::string_view published);

// "发现新版本：" + edition + "\r\n\r\n" + explain + "\r\n\r\n是否下载更新？". A description longer
// than kMaxExplainShown bytes is cut there, on a character boundary, and marked with "……", so
// a page cannot fill the screen with one message box.
inline constexpr std::size_t kMaxExplainShown = 2000;
std::string update_offer_text(std::string_view edition, std::string_view explain);

// Whether `url` may be handed to the browser: an absolute http or https URL with a host (and
// an optional port), printable ASCII only, no spaces, no user name, none of the characters that
// a URL never holds unescaped ("<>\"\\^`{|}"), at most 2048 bytes. A path, "file:", "-x" and
// anything with control characters are refused.
bool is_safe_download_url(std::string_view url);

// What the worker brings back: the fields, or why there are none.
struct FetchedUpdatePage {
    std::optional<UpdateFields> fields;
    std::string error;  // set when fields is empty
};

// Fetches `url` with `http` and takes the fields out of the page. Runs on a worker thread.
FetchedUpdatePage fetch_update_page(HttpClient& http, const std::string& url);

enum class UpdateVerdict { Failed, NoUpdate, NewVersion };

struct UpdateOutcome {
    UpdateVerdict verdict = UpdateVerdict::Failed;
    std::string reason;             // Failed: why, for the user
    std::string local_version;      // NoUpdate, NewVersion: without surrounding spaces
    std::string published_version;  // NoUpdate, NewVersion: the edition, likewise
    UpdateFields fields;            // NoUpdate, NewVersion
};

// Sets the published edition against the local version. Only a published version that is a
// greater version number is a new version; a page that could not be read, or a version that
// cannot be read, is a failure, never "no update".
UpdateOutcome judge_update(const FetchedUpdatePage& page, std::string_view local_version);

// The main-thread end of a check: updates the version label, speaks to the user, offers the
// download, and lets the next check start. `previous_label` is the label's caption before the
// check, shown again when the check fails.
void finish_update_check(Program& program, const FetchedUpdatePage& page,
                         const std::string& previous_label);

}  // namespace quavik
