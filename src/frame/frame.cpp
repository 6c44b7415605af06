#include "frame/frame.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "frame/allocator.h"
#include "ui/event_bindings.h"

namespace quavik {

FileVersionInfo* program_version_info = nullptr;

namespace {
EventDispatcher& dispatcher(Program& program) {
    return static_cast<EventDispatcher&>(*program.frame.events);
}
}  // namespace

int run_program(Program& program) {
    // The window definitions are in place, each event binding joined to its handler, before
    // program_entry runs its first step.
    program.frame.definitions = load_window_definitions();
    program.frame.events = std::make_unique<EventDispatcher>(program);
    const int code = program_entry(program);
    return end_program(program, code);
}

int program_entry(Program& program) {
    program_version_info = create_file_version_info();
    register_exit_routine(program.frame, release_program_globals);
    startup_routine_1(program);
    startup_routine_2(program);
    load_start_window(program, kStartWindowName);
    run_event_loop(program);
    return 0;
}

void register_exit_routine(FrameState& frame, ExitRoutine routine) {
    if (std::find(frame.exit_routines.begin(), frame.exit_routines.end(), routine) ==
        frame.exit_routines.end()) {
        frame.exit_routines.push_back(routine);
    }
}

void load_start_window(Program& program, std::string_view window_name) {
    const WindowDefinition* definition =
        program.frame.definitions ? program.frame.definitions->find(window_name) : nullptr;
    if (definition == nullptr) {
        fatal_error("找不到窗口定义“" + std::string(window_name) + "”");
    }
    Gui& gui = program.facilities.gui;
    EventDispatcher& events = dispatcher(program);

    // Messages already waiting are processed; from then on the window's events are held back
    // until all its units exist and have been shown.
    gui.process_pending_messages();
    events.hold_back();
    Window* window = gui.build_window(*definition, events);
    if (window == nullptr) {
        fatal_error("无法创建窗口“" + std::string(window_name) + "”");
    }
    program.window = window;
    gui.process_pending_messages();

    events.resume();
    events.deliver(definition->name, UiEvent::Created);
    if (window->exists()) {
        events.deliver(definition->name, UiEvent::Moved);
        events.deliver(definition->name, UiEvent::Resized);
    }
    if (window->exists()) {
        window->show_and_activate();
    }
}

void run_event_loop(Program& program) {
    program.frame.event_loop_running = true;
    if (!program.facilities.gui.any_window_exists()) {
        return;
    }
    program.facilities.gui.run_message_loop();
}

void on_window_destroyed(Program& program) {
    // Destroying windows before the event loop has started posts nothing.
    if (program.frame.event_loop_running && !program.facilities.gui.any_window_exists()) {
        program.facilities.gui.post_quit(0);
    }
}

int end_program(Program& program, int exit_code) {
    program.frame.definitions.reset();
    for (ExitRoutine routine : program.frame.exit_routines) {
        routine();
    }
    program.frame.exit_routines.clear();
    program.facilities.gui.release();
    program.window = nullptr;
    program.frame.events.reset();
    return exit_code;
}

void release_program_globals() {
    release_file_version_info(program_version_info);
    program_version_info = nullptr;
}

void startup_routine_1(Program& program) {
    // Where the two web endpoints are: the compiled-in hosts unless the environment says
    // otherwise.
    apply_endpoint_configuration(program);
}

void startup_routine_2(Program&) {
    // Nothing else needs doing before the window exists: the version record is filled when
    // the window has been built, and the browser engine starts with the first search.
}

}  // namespace quavik
