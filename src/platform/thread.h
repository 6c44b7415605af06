#pragma once
// Runs a routine on a new worker thread, and brings results back to the main thread.
#include <functional>

namespace quavik {

class Threads {
public:
    virtual ~Threads() = default;
    // Starts `routine(argument)` on a new thread that is never joined; it ends with the process.
    virtual void run_on_new_thread(std::function<void(int)> routine, int argument = 0) = 0;
    // Queues `task` to run on the main thread, inside the event loop. Safe from any thread.
    virtual void post_to_main_thread(std::function<void()> task) = 0;
};

}  // namespace quavik
