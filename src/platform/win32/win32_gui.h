#pragma once
// The Windows backend of the GUI and its companions: message boxes, the shell and the thread
// starter, all on the system's own window manager (user32, gdi32, ole32, shell32).
#include <memory>
#include <optional>

#include "code_page_api.h"
#include "platform/gui.h"
#include "platform/image.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "platform/thread.h"

namespace quavik::win32 {

class MainWindow;

class Win32Gui : public Gui {
  public:
    // Sets up the window classes, the common controls and OLE for this (the main) thread.
    // `ok()` tells whether that worked.
    explicit Win32Gui(HINSTANCE instance);
    ~Win32Gui() override;
    Win32Gui(const Win32Gui&) = delete;
    Win32Gui& operator=(const Win32Gui&) = delete;
    bool ok() const { return ok_; }

    Window* build_window(const WindowDefinition& definition, EventSink& events) override;
    void process_pending_messages() override;
    bool any_window_exists() const override;
    void run_message_loop() override;
    void post_quit(int code) override;
    void release() override;

    // The built window while it exists, or nullptr.
    HWND main_window() const;

  private:
    // Lets the window see its units' keys first; true when the message was handled.
    bool pre_translate(MSG& message);

    HINSTANCE instance_;
    bool ok_ = false;
    bool ole_ = false;
    bool released_ = false;
    std::optional<RgbaImage> badge_;  // the picture label's picture, decoded once
    std::unique_ptr<MainWindow> window_;
};

class Win32MessageBoxes : public MessageBoxes {
  public:
    explicit Win32MessageBoxes(Win32Gui& gui) : gui_(gui) {}
    int show_message_box(std::string_view text, std::string_view caption, unsigned flags) override;

  private:
    Win32Gui& gui_;
};

class Win32Shell : public Shell {
  public:
    bool open_url_in_browser(std::string_view url) override;
};

// Worker threads are the system's own; results come back through a hidden message-only window
// of the main thread, which must construct this object.
class Win32Threads : public Threads {
  public:
    explicit Win32Threads(HINSTANCE instance);
    ~Win32Threads() override;
    Win32Threads(const Win32Threads&) = delete;
    Win32Threads& operator=(const Win32Threads&) = delete;

    void run_on_new_thread(std::function<void(int)> routine, int argument) override;
    void post_to_main_thread(std::function<void()> task) override;

  private:
    HWND receiver_ = nullptr;
};

}  // namespace quavik::win32
