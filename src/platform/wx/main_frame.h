#pragma once
// The start window on wxWidgets: a fixed frame whose units are built from the window
// definition's tables.
#include <wx/frame.h>
#include <wx/weakref.h>

#include <string_view>
#include <vector>

#include "platform/gui.h"
#include "platform/image.h"
#include "ui/window_definition.h"

namespace quavik::wx {

class HtmlViewUnit;

class MainFrame : public wxFrame {
public:
    // `badge` is the decoded picture of the picture label, or nullptr when it could not be
    // decoded (the label then shows its background only).
    MainFrame(const WindowDefinition& definition, EventSink& events, const RgbaImage* badge);

    // Creates the units, hidden, in reverse definition order; stacks them in definition order
    // and shows them without activating anything. False when a unit cannot be created.
    bool build_units();

    wxWindow* unit(std::string_view name) const;
    std::string_view unit_name(const wxWindow* window) const;
    // The unit that holds the keyboard focus, or "" when none does.
    std::string_view focused_unit() const;
    // Gives the focus to a unit (for the HTML view: to its page when it shows one).
    void focus_unit(std::string_view name);
    const std::vector<std::string_view>& tab_order() const { return focus_order_; }

    bool closed() const { return closed_; }
    void show_and_activate();

    std::string read_text(std::string_view name) const;
    void set_text(std::string_view name, std::string_view text);
    void set_address(std::string_view name, std::string_view url);

private:
    wxWindow* create_unit(const UnitRow& row);
    void on_char_hook(wxKeyEvent& event);
    void on_close(wxCloseEvent& event);
    void move_focus(int step);
    bool focus_in_page() const;

    const WindowDefinition& definition_;
    EventSink& events_;
    const RgbaImage* badge_;
    std::vector<std::pair<std::string_view, wxWindow*>> units_;  // definition order
    std::vector<std::string_view> focus_order_;
    bool closed_ = false;
};

// The Window the program sees; it outlives the frame, which the toolkit deletes on its own.
class WxWindow : public Window {
public:
    explicit WxWindow(MainFrame* frame) : frame_(frame) {}
    bool exists() const override { return frame_ && !frame_->closed(); }
    std::string read_text(std::string_view unit) override;
    void set_text(std::string_view unit, std::string_view text) override;
    void set_address(std::string_view unit, std::string_view url) override;
    void show_and_activate() override;
    void close() override;

private:
    wxWeakRef<MainFrame> frame_;
};

}  // namespace quavik::wx
