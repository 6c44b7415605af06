#pragma once
// What the program's routines have at hand: the platform facilities, the frame's state, the
// start window and the program's settings.
#include <memory>
#include <string>
#include <vector>

#include "frame/version_info.h"
#include "platform/facilities.h"
#include "ui/window_definition.h"

namespace quavik {

using ExitRoutine = void (*)();

// The one instance of the frame's state, kept until the process ends.
struct FrameState {
    std::unique_ptr<WindowDefinitions> definitions;  // loaded before program_entry runs
    std::unique_ptr<EventSink> events;               // joins the window's events to handlers
    std::vector<ExitRoutine> exit_routines;  // in registration order, each at most once
    bool event_loop_running = false;
};

// Where the two web endpoints live; the compiled-in hosts, replaced by QUAVIK_SEARCH_HOST and
// QUAVIK_UPDATE_HOST where those are set.
struct Endpoints {
    std::string search_host;
    std::string update_host;
};

struct Program {
    explicit Program(Facilities platform) : facilities(platform) {}

    Facilities facilities;
    FrameState frame;
    Window* window = nullptr;      // the start window, from load_start_window on
    std::string executable_path;   // the program's own file, for its version record
    Endpoints endpoints;
    bool update_check_running = false;
};

// The program's only global variable.
extern FileVersionInfo* program_version_info;

}  // namespace quavik
