#include "win32_gui.h"

#include <ole2.h>

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "frame/allocator.h"
#include "main_window.h"
#include "ui/web_page.h"
#include "units.h"

extern const unsigned char kBadgePng[];
extern const std::size_t kBadgePng_size;

namespace quavik::win32 {

namespace {

constexpr const char* kTaskReceiverClass = "QuavikTaskReceiver";
// A task for the main thread; lParam holds a heap-allocated std::function<void()>.
constexpr UINT kRunTaskMessage = WM_APP + 1;

LRESULT CALLBACK task_receiver_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kRunTaskMessage) {
        const std::unique_ptr<std::function<void()>> task(
            reinterpret_cast<std::function<void()>*>(lparam));
        if (task && *task) {
            (*task)();
        }
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

struct ThreadStart {
    std::function<void(int)> routine;
    int argument;
};

DWORD WINAPI thread_main(LPVOID parameter) {
    const std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    start->routine(start->argument);
    return 0;
}

}  // namespace

Win32Gui::Win32Gui(HINSTANCE instance) : instance_(instance) {
    // Version 6 of the common controls (asked for by the manifest) draws the system's buttons
    // and edit boxes in the current visual style.
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The browser component and the imaging component are COM objects of this thread.
    ole_ = SUCCEEDED(OleInitialize(nullptr));
    ok_ = register_main_window_class(instance) && register_unit_classes(instance);
}

Win32Gui::~Win32Gui() {
    release();
}

Window* Win32Gui::build_window(const WindowDefinition& definition, EventSink& events) {
    if (!ok_ || released_) {
        return nullptr;
    }
    if (!badge_) {
        badge_ = decode_png({kBadgePng, kBadgePng_size});
    }
    auto window = std::make_unique<MainWindow>(definition, events, badge_ ? &*badge_ : nullptr);
    if (!window->build(instance_)) {
        return nullptr;
    }
    window_ = std::move(window);
    return window_.get();
}

bool Win32Gui::pre_translate(MSG& message) {
    return window_ != nullptr && window_->pre_translate_key(message);
}

void Win32Gui::process_pending_messages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the message loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!pre_translate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

bool Win32Gui::any_window_exists() const {
    return window_ != nullptr && window_->exists();
}

void Win32Gui::run_message_loop() {
    MSG message;
    for (;;) {
        const BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == 0 || result == -1) {
            return;
        }
        if (!pre_translate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void Win32Gui::post_quit(int code) {
    PostQuitMessage(code);
}

void Win32Gui::release() {
    if (released_) {
        return;
    }
    released_ = true;
    window_.reset();
    if (ole_) {
        OleUninitialize();
        ole_ = false;
    }
}

HWND Win32Gui::main_window() const {
    return any_window_exists() ? window_->handle() : nullptr;
}

int Win32MessageBoxes::show_message_box(std::string_view text, std::string_view caption,
                                        unsigned flags) {
    // Modal to the whole program: owned by the window while it exists, task-modal otherwise.
    const std::string body(text);
    const std::string title(caption);
    HWND owner = gui_.main_window();
    UINT style = flags & (MB_TYPEMASK | MB_ICONMASK);
    if (owner == nullptr) {
        style |= MB_TASKMODAL;
    }
    switch (MessageBoxA(owner, body.c_str(), title.c_str(), style)) {
        case IDYES:
            return mb::kResultYes;
        case IDNO:
            return mb::kResultNo;
        default:
            return mb::kResultOk;
    }
}

bool Win32Shell::open_url_in_browser(std::string_view url) {
    // Nothing but web addresses reaches the shell.
    if (!is_web_address(url)) {
        return false;
    }
    const std::string address(url);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

Win32Threads::Win32Threads(HINSTANCE instance) {
    WNDCLASSEXA receiver_class{};
    receiver_class.cbSize = sizeof receiver_class;
    receiver_class.lpfnWndProc = task_receiver_procedure;
    receiver_class.hInstance = instance;
    receiver_class.lpszClassName = kTaskReceiverClass;
    RegisterClassExA(&receiver_class);
    receiver_ = CreateWindowExA(0, kTaskReceiverClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, nullptr);
}

Win32Threads::~Win32Threads() {
    if (receiver_ == nullptr) {
        return;
    }
    // Tasks that never ran are released with the receiver.
    MSG message;
    while (PeekMessageA(&message, receiver_, kRunTaskMessage, kRunTaskMessage, PM_REMOVE)) {
        delete reinterpret_cast<std::function<void()>*>(message.lParam);
    }
    DestroyWindow(receiver_);
}

void Win32Threads::run_on_new_thread(std::function<void(int)> routine, int argument) {
    // Never joined: the handle is closed at once and the thread ends with the process.
    auto* start = new ThreadStart{std::move(routine), argument};
    HANDLE thread = CreateThread(nullptr, 0, thread_main, start, 0, nullptr);
    if (thread == nullptr) {
        delete start;
        fatal_error("无法创建线程");
    }
    CloseHandle(thread);
}

void Win32Threads::post_to_main_thread(std::function<void()> task) {
    auto* queued = new std::function<void()>(std::move(task));
    if (receiver_ == nullptr ||
        !PostMessageA(receiver_, kRunTaskMessage, 0, reinterpret_cast<LPARAM>(queued))) {
        delete queued;
    }
}

}  // namespace quavik::win32
