#pragma once
// The window definition's event bindings, and the delivery of events to their handlers.
#include <span>
#include <string_view>

#include "frame/program.h"
#include "platform/gui.h"

namespace quavik {

using Handler = void (*)(Program&);

struct EventBinding {
    std::string_view object;  // the window's name or a unit's name
    UiEvent event;
    Handler handler;
};

// The three bound events; every other event of the window or its units is dropped.
std::span<const EventBinding> event_bindings();

// Delivers the window's events to the bound handlers. Delivery is held back while the window
// is being built.
class EventDispatcher : public EventSink {
public:
    explicit EventDispatcher(Program& program) : program_(program) {}

    void hold_back() { held_back_ = true; }
    void resume() { held_back_ = false; }

    void deliver(std::string_view object, UiEvent event) override;
    void window_destroyed() override;

private:
    Program& program_;
    bool held_back_ = true;
};

}  // namespace quavik
