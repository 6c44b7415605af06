#include "platform/fake/fake_platform.h"

#include "ui/window_definition.h"

namespace quavik::fake {

Window* FakeGui::build_window(const WindowDefinition& definition, EventSink& events) {
    log.push_back("build " + std::string(definition.name));
    if (fail_build) {
        return nullptr;
    }
    window_ = std::make_unique<FakeWindow>(definition, events, log);
    if (on_built) {
        on_built(*window_);
    }
    return window_.get();
}

void FakeGui::process_pending_messages() { log.push_back("pump"); }

bool FakeGui::any_window_exists() const { return window_ && window_->exists(); }

void FakeGui::run_message_loop() {
    log.push_back("loop");
    while (!quit_posted_ && !loop_steps.empty()) {
        auto step = std::move(loop_steps.front());
        loop_steps.pop_front();
        step();
    }
    log.push_back("loop ended");
}

void FakeGui::post_quit(int code) {
    log.push_back("quit " + std::to_string(code));
    quit_posted_ = true;
    quit_code = code;
}

void FakeGui::release() { log.push_back("release"); }

FakeWindow::FakeWindow(const WindowDefinition& definition, EventSink& events, CallLog& log)
    : events_(events), log_(log) {
    for (const UnitRow& unit : definition.units) {
        texts_[std::string(unit.name)] = definition.initial_text(unit);
    }
}

std::string FakeWindow::read_text(std::string_view unit) {
    const auto found = texts_.find(unit);
    return found == texts_.end() ? std::string() : found->second;
}

void FakeWindow::set_text(std::string_view unit, std::string_view text) {
    log_.push_back("set_text " + std::string(unit) + " " + std::string(text));
    texts_[std::string(unit)] = text;
    if (on_set_text) {
        on_set_text(unit);
    }
}

void FakeWindow::set_address(std::string_view unit, std::string_view url) {
    log_.push_back("set_address " + std::string(unit) + " " + std::string(url));
    address_[std::string(unit)] = url;
    addresses.emplace_back(url);
}

std::string FakeWindow::address(std::string_view unit) const {
    const auto found = address_.find(unit);
    return found == address_.end() ? std::string() : found->second;
}

void FakeWindow::show_and_activate() {
    log_.push_back("show");
    shown_ = true;
}

void FakeWindow::close() {
    if (!exists_) {
        return;
    }
    log_.push_back("close");
    exists_ = false;
    shown_ = false;
    events_.window_destroyed();
}

std::string FakeHttp::fetch_url_bytes(std::string_view url, FetchInfo* info) {
    requests.emplace_back(url);
    const auto found = answers.find(url);
    if (found == answers.end()) {
        if (info != nullptr) {
            *info = FetchInfo{.error = "无法连接到服务器", .status = 0, .content_type = {}};
        }
        return {};
    }
    if (info != nullptr) {
        *info = found->second.info;
    }
    return found->second.bytes;
}

int FakeMessageBoxes::show_message_box(std::string_view text, std::string_view caption,
                                       unsigned flags) {
    shown.push_back({std::string(text), std::string(caption), flags});
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return (flags & 0x0F) == mb::kYesNo ? mb::kResultNo : mb::kResultOk;
}

bool FakeShell::open_url_in_browser(std::string_view url) {
    opened.emplace_back(url);
    return succeed;
}

void FakeThreads::run_on_new_thread(std::function<void(int)> routine, int argument) {
    workers_.emplace_back(std::move(routine), argument);
}

void FakeThreads::post_to_main_thread(std::function<void()> task) {
    main_tasks_.push_back(std::move(task));
}

void FakeThreads::run_all() {
    while (!workers_.empty() || !main_tasks_.empty()) {
        while (!workers_.empty()) {
            auto [routine, argument] = std::move(workers_.front());
            workers_.pop_front();
            routine(argument);
        }
        while (!main_tasks_.empty()) {
            auto task = std::move(main_tasks_.front());
            main_tasks_.pop_front();
            task();
        }
    }
}

}  // namespace quavik::fake
