#include "ui/event_bindings.h"

#include "frame/frame.h"
#include "ui/handlers.h"

namespace quavik {

namespace {
// clang-format off
constexpr EventBinding kEventBindings[] = {
    // object         event              handler
    {kStartWindowName, UiEvent::Created, handle_window_created},
    {"按钮1",          UiEvent::Clicked, handle_start_clicked},          // 开始选号
    {"按钮2",          UiEvent::Clicked, handle_check_update_clicked},   // 检测更新
};
// clang-format on
}  // namespace

std::span<const EventBinding> event_bindings() { return kEventBindings; }

void EventDispatcher::deliver(std::string_view object, UiEvent event) {
    if (held_back_) {
        return;
    }
    for (const EventBinding& binding : kEventBindings) {
        if (binding.object == object && binding.event == event) {
            binding.handler(program_);
            return;
        }
    }
}

void EventDispatcher::window_destroyed() { on_window_destroyed(program_); }

}  // namespace quavik
