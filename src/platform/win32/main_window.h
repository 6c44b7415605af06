#pragma once
// The start window on Windows: a fixed frame whose units are the system's own controls (push
// buttons, edit boxes), painted labels and the HTML view, built from the window definition's
// tables.
#include <string>
#include <string_view>
#include <vector>

#include "code_page_api.h"
#include "platform/gui.h"
#include "platform/image.h"
#include "ui/window_definition.h"

namespace quavik::win32 {

inline constexpr const char* kMainWindowClass = "QuavikMainWindow";

// Registers the main window's class with the program's icon, large and small.
bool register_main_window_class(HINSTANCE instance);

class MainWindow : public Window {
  public:
    // `badge` is the decoded picture of the picture label, or nullptr when it could not be
    // decoded (the label then shows its background only).
    MainWindow(const WindowDefinition& definition, EventSink& events, const RgbaImage* badge);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window hidden, centred by its outer size on the primary screen, then its
    // units hidden in reverse definition order; stacks them in definition order and shows
    // each without activating it. False when the window or a unit cannot be created.
    bool build(HINSTANCE instance);

    HWND handle() const { return window_; }
    HWND unit(std::string_view name) const;
    // The unit that holds `window` (a unit or a window inside one), or "".
    std::string_view unit_name(HWND window) const;
    const std::vector<std::string_view>& tab_order() const { return focus_order_; }

    // The window sees its units' key presses before they do: Esc closes the window, Tab and
    // Shift+Tab move through the focus order, Enter does nothing; inside a page the browser
    // keeps Tab and Enter. True when the key was handled here.
    bool pre_translate_key(MSG& message);

    bool exists() const override { return window_ != nullptr && !destroyed_; }
    std::string read_text(std::string_view unit) override;
    void set_text(std::string_view unit, std::string_view text) override;
    void set_address(std::string_view unit, std::string_view url) override;
    void show_and_activate() override;
    void close() override;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  private:
    struct Unit {
        std::string_view name;
        UnitKind kind;
        HWND window;
        HFONT font;
    };

    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    HWND create_unit(const UnitRow& row, int id, HFONT& font);
    void focus_unit(std::string_view name);
    void move_focus(int step);
    bool focus_in_page() const;

    const WindowDefinition& definition_;
    EventSink& events_;
    const RgbaImage* badge_;
    HWND window_ = nullptr;
    bool destroyed_ = false;
    std::vector<Unit> units_;  // definition order
    std::vector<std::string_view> focus_order_;
    std::string_view remembered_focus_;  // the unit that had the focus when deactivated
    HBRUSH edit_background_ = nullptr;
};

}  // namespace quavik::win32
