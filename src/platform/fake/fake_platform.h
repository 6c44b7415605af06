#pragma once
// A headless backend for tests: it records what the program asks of its window and facilities,
// and answers from a script.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/facilities.h"

namespace quavik::fake {

class FakeWindow;

// Records calls as short lines ("build 启动窗口", "show", "set_text 标签 ..."), in order.
using CallLog = std::vector<std::string>;

class FakeGui : public Gui {
public:
    Window* build_window(const WindowDefinition& definition, EventSink& events) override;
    void process_pending_messages() override;
    bool any_window_exists() const override;
    void run_message_loop() override;
    void post_quit(int code) override;
    void release() override;

    FakeWindow* window() { return window_.get(); }

    CallLog log;
    bool fail_build = false;       // build_window returns nullptr
    // Called with the new window right after it has been built (to set hooks on it).
    std::function<void(FakeWindow&)> on_built;
    int quit_code = -1;            // the code of the last post_quit, -1 when none came
    // What the message loop does in this fake: runs these steps in order, then stops when a
    // quit has been posted (or the steps run out).
    std::deque<std::function<void()>> loop_steps;

private:
    std::unique_ptr<FakeWindow> window_;
    bool quit_posted_ = false;
};

class FakeWindow : public Window {
public:
    FakeWindow(const WindowDefinition& definition, EventSink& events, CallLog& log);

    bool exists() const override { return exists_; }
    std::string read_text(std::string_view unit) override;
    void set_text(std::string_view unit, std::string_view text) override;
    void set_address(std::string_view unit, std::string_view url) override;
    void show_and_activate() override;
    void close() override;

    // Test side: what a user does.
    void type(std::string_view unit, std::string_view text) { texts_[std::string(unit)] = text; }
    void click(std::string_view unit) { events_.deliver(unit, UiEvent::Clicked); }
    bool shown() const { return shown_; }
    std::string address(std::string_view unit) const;
    std::vector<std::string> addresses;  // every address set, in order
    // Called after each set_text (a test can close the window from inside a handler).
    std::function<void(std::string_view unit)> on_set_text;

private:
    EventSink& events_;
    CallLog& log_;
    std::map<std::string, std::string, std::less<>> texts_;
    std::map<std::string, std::string, std::less<>> address_;
    bool exists_ = true;
    bool shown_ = false;
};

struct FakeAnswer {
    std::string bytes;
    FetchInfo info;
};

class FakeHttp : public HttpClient {
public:
    std::string fetch_url_bytes(std::string_view url, FetchInfo* info) override;
    std::vector<std::string> requests;
    std::map<std::string, FakeAnswer, std::less<>> answers;  // by URL; others fail
};

struct ShownMessage {
    std::string text;
    std::string caption;
    unsigned flags;
};

class FakeMessageBoxes : public MessageBoxes {
public:
    int show_message_box(std::string_view text, std::string_view caption,
                         unsigned flags) override;
    std::vector<ShownMessage> shown;
    std::deque<int> answers;  // returned in order; mb::kResultOk / kResultNo when empty
};

class FakeShell : public Shell {
public:
    bool open_url_in_browser(std::string_view url) override;
    std::vector<std::string> opened;
    bool succeed = true;
};

// Worker routines and main-thread tasks are queued and run when the test says so, so a test
// can look at the window while a check is still "running".
class FakeThreads : public Threads {
public:
    void run_on_new_thread(std::function<void(int)> routine, int argument) override;
    void post_to_main_thread(std::function<void()> task) override;
    // Runs queued worker routines, then the main-thread tasks they posted, until both are empty.
    void run_all();
    std::size_t pending_workers() const { return workers_.size(); }

private:
    std::deque<std::pair<std::function<void(int)>, int>> workers_;
    std::deque<std::function<void()>> main_tasks_;
};

// All fakes together, with the Facilities view the program takes.
struct FakePlatform {
    FakeGui gui;
    FakeHttp http;
    FakeMessageBoxes message_box;
    FakeShell shell;
    FakeThreads threads;
    Facilities facilities() { return Facilities{gui, http, message_box, shell, threads}; }
};

}  // namespace quavik::fake
