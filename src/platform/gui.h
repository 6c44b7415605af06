#pragma once
// The GUI facility: builds the program's window from its definition, runs the message loop and
// lets the program read and set its units by name.
#include <string>
#include <string_view>

namespace quavik {

struct WindowDefinition;

enum class UiEvent {
    Created,  // the window, once, after all units exist
    Moved,
    Resized,
    Clicked,  // a button
};

// Where the GUI reports what happens in the window. Events of the window itself carry the
// window's name as `object`.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void deliver(std::string_view object, UiEvent event) = 0;
    // The window is gone (closed by the user, by Esc or by the program).
    virtual void window_destroyed() = 0;
};

// A built window. Units are reached by their names in the window definition.
class Window {
public:
    virtual ~Window() = default;
    virtual bool exists() const = 0;
    virtual std::string read_text(std::string_view unit) = 0;
    virtual void set_text(std::string_view unit, std::string_view text) = 0;
    // The HTML view navigates to `url`.
    virtual void set_address(std::string_view unit, std::string_view url) = 0;
    // Shows the window normally and activates it; the focus goes to the first unit of the
    // focus order.
    virtual void show_and_activate() = 0;
    // Asks the window to close, as its close button does.
    virtual void close() = 0;
};

class Gui {
public:
    virtual ~Gui() = default;
    // Builds the window hidden, centred by its outer size, then its units hidden in reverse
    // definition order; stacks them in definition order and shows each visible unit without
    // activating it. Returns nullptr when the window or a unit cannot be created. The GUI
    // owns the window; it stays valid until release().
    virtual Window* build_window(const WindowDefinition& definition, EventSink& events) = 0;
    // Processes the window messages already waiting, without blocking.
    virtual void process_pending_messages() = 0;
    virtual bool any_window_exists() const = 0;
    // Pumps messages until post_quit() is called.
    virtual void run_message_loop() = 0;
    virtual void post_quit(int code) = 0;
    // Releases the toolkit's own facilities at shutdown.
    virtual void release() = 0;
};

}  // namespace quavik
