#pragma once
// The wxWidgets (GTK) backend of the GUI and its companions: message boxes, the shell and the
// thread starter.
#include <memory>
#include <optional>

#include "platform/gui.h"
#include "platform/image.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "platform/thread.h"

namespace quavik::wx {

class MainFrame;

class WxGui : public Gui {
public:
    // Sets up the toolkit for the process. `ok()` tells whether a display could be opened.
    WxGui(int& argc, char** argv);
    ~WxGui() override;
    bool ok() const { return ok_; }

    Window* build_window(const WindowDefinition& definition, EventSink& events) override;
    void process_pending_messages() override;
    bool any_window_exists() const override;
    void run_message_loop() override;
    void post_quit(int code) override;
    void release() override;

    // The built window (for the GUI tests), or nullptr.
    MainFrame* frame() const { return frame_; }

private:
    bool ok_ = false;
    bool released_ = false;
    std::optional<RgbaImage> badge_;  // the picture label's picture, decoded once
    MainFrame* frame_ = nullptr;       // owned by the toolkit
    std::unique_ptr<Window> window_;
};

// Shows a fatal error to the user in a box of the toolkit, when the toolkit is up and this is
// the main thread; the process ends right after.
void show_fatal_error(std::string_view message);

class WxMessageBoxes : public MessageBoxes {
public:
    explicit WxMessageBoxes(WxGui& gui) : gui_(gui) {}
    int show_message_box(std::string_view text, std::string_view caption,
                         unsigned flags) override;

private:
    WxGui& gui_;
};

class WxShell : public Shell {
public:
    bool open_url_in_browser(std::string_view url) override;
};

class WxThreads : public Threads {
public:
    void run_on_new_thread(std::function<void(int)> routine, int argument) override;
    void post_to_main_thread(std::function<void()> task) override;
};

}  // namespace quavik::wx
