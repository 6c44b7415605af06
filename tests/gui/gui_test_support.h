#pragma once
// Helpers for the GUI tests: the window built through the frame with the real toolkit, fakes for
// the other facilities, and waiting for conditions while the toolkit runs.
#include <wx/app.h>
#include <wx/utils.h>

#include <chrono>
#include <functional>

#include "frame/frame.h"
#include "platform/fake/fake_platform.h"
#include "platform/wx/main_frame.h"
#include "platform/wx/units.h"
#include "platform/wx/wx_gui.h"
#include "ui/event_bindings.h"

namespace quavik::testing {

extern wx::WxGui* g_gui;

// Lets the toolkit run until `condition` holds or `timeout` passes; returns the condition.
inline bool wait_for(const std::function<bool()>& condition,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        wxTheApp->Yield(true);
        wxTheApp->ProcessIdle();
        wxMilliSleep(2);
    }
    return true;
}

// The start window built by load_start_window, with the real GUI and fake other facilities.
class StartWindow {
public:
    StartWindow() : StartWindow(nullptr, nullptr) {}
    // With a real HTTP client and thread starter instead of the fakes.
    StartWindow(HttpClient* http, Threads* threads)
        : program_(Facilities{*g_gui, http ? *http : fakes_.http, fakes_.message_box,
                              fakes_.shell, threads ? *threads : fakes_.threads}) {
        program_.frame.definitions = load_window_definitions();
        program_.frame.events = std::make_unique<EventDispatcher>(program_);
        program_.executable_path = "/proc/self/exe";
        program_version_info = create_file_version_info();
        load_start_window(program_, kStartWindowName);
    }
    ~StartWindow() {
        if (program_.window->exists()) {
            program_.window->close();
        }
        wait_for([] { return !g_gui->any_window_exists(); });
        release_program_globals();
    }

    wx::MainFrame& frame() { return *g_gui->frame(); }
    Program& program() { return program_; }
    fake::FakePlatform& fakes() { return fakes_; }

private:
    fake::FakePlatform fakes_;
    Program program_;
};

}  // namespace quavik::testing
