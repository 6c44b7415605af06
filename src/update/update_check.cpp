// "检测更新": fetch the update-information page on a worker thread, take its fields, set the
// published edition against the program's own version and tell the user.
#include "update/update_check.h"

#include <algorithm>

#include "platform/text.h"
#include "ui/handlers.h"
#include "ui/web_page.h"
#include "update/version_number.h"

namespace quavik {

namespace {

constexpr std::size_t kMaxDownloadUrl = 2048;
constexpr std::string_view kShortenedMark = "……";

void show_failure(Program& program, std::string_view reason) {
    program.facilities.message_box.show_message_box(
        std::string(kTextCheckFailed) + std::string(reason), kCaptionNotice,
        mb::kOk | mb::kIconError);
}

void offer_download(Program& program, const std::string& url) {
    MessageBoxes& boxes = program.facilities.message_box;
    if (!is_safe_download_url(url)) {
        boxes.show_message_box(kTextBadDownloadUrl, kCaptionNotice, mb::kOk | mb::kIconWarning);
        return;
    }
    if (!program.facilities.shell.open_url_in_browser(url)) {
        boxes.show_message_box(std::string(kTextBrowserFailed) + url, kCaptionNotice,
                               mb::kOk | mb::kIconWarning);
    }
}

}  // namespace

std::string update_version_line(std::string_view local, std::string_view published) {
    std::string line(kTextLocalVersion);
    line.append(local);
    line.append(kTextServerVersion);
    line.append(published);
    return line;
}

std::string update_offer_text(std::string_view edition, std::string_view explain) {
    std::string text(kTextNewVersion);
    text.append(edition);
    text.append(kTextParagraph);
    if (explain.size() > kMaxExplainShown) {
        text.append(characters_within(explain, kMaxExplainShown));
        text.append(kShortenedMark);
    } else {
        text.append(explain);
    }
    text.append(kTextAskDownload);
    return text;
}

bool is_safe_download_url(std::string_view url) {
    return url.size() <= kMaxDownloadUrl && is_web_address(url);
}

FetchedUpdatePage fetch_update_page(HttpClient& http, const std::string& url) {
    FetchedUpdatePage result;
    FetchInfo info;
    const std::string bytes = http.fetch_url_bytes(url, &info);
    if (!info.error.empty()) {
        result.error = info.error;
        return result;
    }
    result.fields = parse_update_page(bytes, info.content_type, &result.error);
    if (result.fields) {
        result.error.clear();
    }
    return result;
}

UpdateOutcome judge_update(const FetchedUpdatePage& page, std::string_view local_version) {
    UpdateOutcome outcome;
    if (!page.fields) {
        outcome.reason = page.error.empty() ? "无法读取更新信息" : page.error;
        return outcome;
    }
    const std::optional<bool> newer =
        is_newer_version(page.fields->edition, local_version, &outcome.reason);
    if (!newer) {
        return outcome;
    }
    outcome.verdict = *newer ? UpdateVerdict::NewVersion : UpdateVerdict::NoUpdate;
    outcome.local_version = trim_spaces(local_version);
    outcome.published_version = trim_spaces(page.fields->edition);
    outcome.fields = *page.fields;
    return outcome;
}

void finish_update_check(Program& program, const FetchedUpdatePage& page,
                         const std::string& previous_label) {
    Window* window = program.window;
    if (window == nullptr || !window->exists()) {
        program.update_check_running = false;  // the window is gone: nobody to tell
        return;
    }
    const std::string_view local_version = program_version_info != nullptr
                                               ? member_text(program_version_info->FileVersion)
                                               : std::string_view();
    const UpdateOutcome outcome = judge_update(page, local_version);
    MessageBoxes& boxes = program.facilities.message_box;
    switch (outcome.verdict) {
        case UpdateVerdict::Failed:
            window->set_text(kVersionLabelUnit, previous_label);
            show_failure(program, outcome.reason);
            break;
        case UpdateVerdict::NoUpdate:
            window->set_text(kVersionLabelUnit,
                             update_version_line(outcome.local_version, outcome.published_version));
            boxes.show_message_box(kTextNoUpdate, kCaptionNotice, mb::kOk | mb::kIconInformation);
            break;
        case UpdateVerdict::NewVersion:
            window->set_text(kVersionLabelUnit,
                             update_version_line(outcome.local_version, outcome.published_version));
            if (boxes.show_message_box(
                    update_offer_text(outcome.published_version, outcome.fields.explain),
                    kCaptionNewVersion, mb::kYesNo | mb::kIconQuestion) == mb::kResultYes) {
                offer_download(program, outcome.fields.download_url);
            }
            break;
    }
    // Only now: the boxes above belong to this check, and a click that waited behind them must
    // not start a second one while they are up.
    program.update_check_running = false;
}

// One check at a time: a click while a check runs (its label says so) does nothing. The fetch
// runs on a worker thread so the window keeps repainting and taking input; the worker touches
// nothing of the program but the URL it was given and the HTTP client, which lives as long as
// the process. The result comes back to the main thread.
void handle_check_update_clicked(Program& program) {
    if (program.update_check_running || program.window == nullptr) {
        return;
    }
    program.update_check_running = true;
    std::string previous_label = program.window->read_text(kVersionLabelUnit);
    program.window->set_text(kVersionLabelUnit, kTextChecking);

    HttpClient& http = program.facilities.http;
    Threads& threads = program.facilities.threads;
    Program* const owner = &program;  // handed back to the main thread only
    threads.run_on_new_thread([url = build_update_url(program.endpoints.update_host), &http,
                               &threads, owner, previous_label = std::move(previous_label)](int) {
        FetchedUpdatePage page = fetch_update_page(http, url);
        threads.post_to_main_thread([owner, page = std::move(page), previous_label]() {
            finish_update_check(*owner, page, previous_label);
        });
    });
}

}  // namespace quavik
