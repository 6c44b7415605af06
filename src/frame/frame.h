#pragma once
// Start-up and shutdown: the program's frame.
#include <string_view>

#include "frame/program.h"

namespace quavik {

// Process set-up has been done by the platform; loads the window definitions, runs
// program_entry and then end_program(0). Returns the process exit code.
int run_program(Program& program);

// The start-up sequence up to the end of the event loop. Returns 0.
int program_entry(Program& program);

void register_exit_routine(FrameState& frame, ExitRoutine routine);

// Builds the window of definition `window_name`, delivers its created event, shows it.
// A missing definition or a window that cannot be built is a fatal error.
void load_start_window(Program& program, std::string_view window_name);

// Sets the event-loop-running flag; pumps messages while a program window exists.
void run_event_loop(Program& program);

// The frame's answer to a destroyed window: quit once none is left and the loop runs.
void on_window_destroyed(Program& program);

// The orderly shutdown: definitions released, exit routines in registration order, platform
// released. Returns `exit_code` for the process to end with.
int end_program(Program& program, int exit_code);

// The program's exit routine: releases program_version_info.
void release_program_globals();

// Resolves the hosts of the two web endpoints: the compiled-in hosts, or QUAVIK_SEARCH_HOST and
// QUAVIK_UPDATE_HOST where they are set and valid.
void apply_endpoint_configuration(Program& program);

// The program's own start-up routines.
void startup_routine_1(Program& program);
void startup_routine_2(Program& program);

}  // namespace quavik
