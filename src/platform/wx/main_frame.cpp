#include "platform/wx/main_frame.h"

#include <wx/button.h>
#include <wx/display.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <memory>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/wx/units.h"

namespace quavik::wx {

namespace {

// The window's frame: title bar with system menu, minimize and close; fixed size; no maximize.
constexpr long kFrameStyle = wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX;

wxRect primary_screen() {
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        const wxDisplay display(i);
        if (display.IsPrimary()) {
            return display.GetGeometry();
        }
    }
    return wxDisplay(0u).GetGeometry();
}

wxRect to_wx_rect(const Rect& rect) { return {rect.left, rect.top, rect.width, rect.height}; }

long edit_style(const EditRow& edit) {
    long style = wxBORDER_SUNKEN;
    style |= edit.alignment == Alignment::Centre ? wxTE_CENTRE : wxTE_LEFT;
    if (edit.multi_line) {
        style |= wxTE_MULTILINE | wxTE_WORDWRAP;
    }
    if (edit.read_only) {
        style |= wxTE_READONLY;
    }
    return style;
}

}  // namespace

MainFrame::MainFrame(const WindowDefinition& definition, EventSink& events,
                     const RgbaImage* badge)
    : definition_(definition), events_(events), badge_(badge) {
    const wxRect screen = primary_screen();
    const Point origin = centred_origin(screen.width, screen.height, definition.outer_width,
                                        definition.outer_height);
    Create(nullptr, wxID_ANY, to_wx(definition.title),
           wxPoint(screen.x + origin.x, screen.y + origin.y),
           wxSize(definition.outer_width, definition.outer_height), kFrameStyle);
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    Bind(wxEVT_CHAR_HOOK, &MainFrame::on_char_hook, this);
    Bind(wxEVT_CLOSE_WINDOW, &MainFrame::on_close, this);
    focus_order_ = focus_order(definition);
}

wxWindow* MainFrame::create_unit(const UnitRow& row) {
    const wxRect rect = to_wx_rect(row.rect);
    const wxString text = to_wx(definition_.initial_text(row));
    switch (row.kind) {
        case UnitKind::Label: {
            const LabelRow* style = definition_.find_label(row.name);
            if (style == nullptr) {
                return nullptr;
            }
            auto* label = new PaintedLabel(*style, badge_);
            label->Hide();
            if (!label->Create(this, rect, text)) {
                delete label;
                return nullptr;
            }
            return label;
        }
        case UnitKind::Button: {
            auto* button = new wxButton();
            button->Hide();
            if (!button->Create(this, wxID_ANY, wxControl::EscapeMnemonics(text),
                                rect.GetPosition(), rect.GetSize())) {
                delete button;
                return nullptr;
            }
            button->SetFont(make_font(kDefaultGuiFont));
            const std::string_view name = row.name;
            button->Bind(wxEVT_BUTTON,
                         [this, name](wxCommandEvent&) { events_.deliver(name, UiEvent::Clicked); });
            return button;
        }
        case UnitKind::EditBox: {
            const EditRow* edit = definition_.find_edit(row.name);
            if (edit == nullptr) {
                return nullptr;
            }
            auto* box = new wxTextCtrl();
            box->Hide();
            if (!box->Create(this, wxID_ANY, wxString(), rect.GetPosition(), rect.GetSize(),
                             edit_style(*edit))) {
                delete box;
                return nullptr;
            }
            box->SetFont(make_font(edit->font));
            box->SetForegroundColour(*wxBLACK);
            box->SetBackgroundColour(*wxWHITE);
            box->ChangeValue(text);
            if (edit->upper_case) {
                // Typed Latin letters become capitals; the content set here stays as it is.
                box->Bind(wxEVT_CHAR, [](wxKeyEvent& event) {
                    const int key = event.GetUnicodeKey();
                    if (key >= 'a' && key <= 'z' && !event.HasAnyModifiers()) {
                        auto* target = static_cast<wxTextCtrl*>(event.GetEventObject());
                        if (target->IsEditable()) {
                            target->WriteText(wxString(wxUniChar(key - 'a' + 'A')));
                            return;
                        }
                    }
                    event.Skip();
                });
            }
            box->SetInsertionPoint(0);
            box->ShowPosition(0);
            return box;
        }
        case UnitKind::HtmlView: {
            auto* view = new HtmlViewUnit();
            view->Hide();
            if (!view->Create(this, rect)) {
                delete view;
                return nullptr;
            }
            return view;
        }
    }
    return nullptr;
}

bool MainFrame::build_units() {
    // Built in reverse definition order, each hidden.
    units_.assign(definition_.units.size(), {std::string_view(), nullptr});
    for (std::size_t i = definition_.units.size(); i-- > 0;) {
        const UnitRow& row = definition_.units[i];
        wxWindow* window = create_unit(row);
        if (window == nullptr) {
            return false;
        }
        window->SetName(to_wx(row.name));
        units_[i] = {row.name, window};
    }
    // Stacking and sibling order follow the definition order: the first unit on top.
    for (std::size_t i = units_.size(); i-- > 0;) {
        units_[i].second->Raise();
    }
    for (std::size_t i = 1; i < focus_order_.size(); ++i) {
        unit(focus_order_[i])->MoveAfterInTabOrder(unit(focus_order_[i - 1]));
    }
    // Shown in creation order; showing a child activates nothing.
    for (std::size_t i = units_.size(); i-- > 0;) {
        units_[i].second->Show();
    }
    return true;
}

wxWindow* MainFrame::unit(std::string_view name) const {
    for (const auto& [unit_name, window] : units_) {
        if (unit_name == name) {
            return window;
        }
    }
    return nullptr;
}

std::string_view MainFrame::unit_name(const wxWindow* window) const {
    // The unit is the frame's direct child that holds `window`.
    while (window != nullptr && window->GetParent() != this) {
        window = window->GetParent();
    }
    for (const auto& [name, unit_window] : units_) {
        if (unit_window == window) {
            return name;
        }
    }
    return {};
}

std::string_view MainFrame::focused_unit() const { return unit_name(FindFocus()); }

void MainFrame::focus_unit(std::string_view name) {
    wxWindow* target = unit(name);
    if (auto* view = dynamic_cast<HtmlViewUnit*>(target)) {
        target = view->focus_target();
    }
    if (target != nullptr) {
        target->SetFocus();
    }
}

bool MainFrame::focus_in_page() const {
    const auto* view = dynamic_cast<const HtmlViewUnit*>(unit(focused_unit()));
    return view != nullptr && view->has_page();
}

void MainFrame::move_focus(int step) {
    const auto count = static_cast<int>(focus_order_.size());
    if (count == 0) {
        return;
    }
    const auto current = std::find(focus_order_.begin(), focus_order_.end(), focused_unit());
    int next = 0;
    if (current != focus_order_.end()) {
        next = (static_cast<int>(current - focus_order_.begin()) + step + count) % count;
    } else if (step < 0) {
        next = count - 1;
    }
    focus_unit(focus_order_[static_cast<std::size_t>(next)]);
}

void MainFrame::on_char_hook(wxKeyEvent& event) {
    // The window sees its units' keys first. It acts only without Ctrl, Alt and Shift, Shift+Tab
    // excepted; inside a page the browser keeps Tab and Enter for the page.
    const int modifiers = event.GetModifiers();
    switch (event.GetKeyCode()) {
        case WXK_ESCAPE:
            if (modifiers == wxMOD_NONE) {
                Close();
                return;
            }
            break;
        case WXK_TAB:
            if ((modifiers == wxMOD_NONE || modifiers == wxMOD_SHIFT) && !focus_in_page()) {
                move_focus(modifiers == wxMOD_SHIFT ? -1 : 1);
                return;
            }
            break;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            // No default button and no focus move by Enter: Enter starts nothing.
            if (modifiers == wxMOD_NONE && !focus_in_page()) {
                return;
            }
            break;
        default:
            break;
    }
    event.Skip();
}

void MainFrame::on_close(wxCloseEvent&) {
    // No handler can refuse a close request: the window goes.
    if (closed_) {
        return;
    }
    closed_ = true;
    Hide();
    Destroy();
    events_.window_destroyed();
}

namespace {

// With QUAVIK_TRACE_STARTUP set, the program writes to standard error the wall-clock time at
// which the complete window was first painted: the picture label's first paint, once the
// toolkit has nothing left to do. The start-up benchmark reads it.
void trace_first_paint(wxWindow* picture_label) {
    if (std::getenv("QUAVIK_TRACE_STARTUP") == nullptr || picture_label == nullptr) {
        return;
    }
    enum class Stage { Waiting, Painted, Reported };
    auto stage = std::make_shared<Stage>(Stage::Waiting);
    picture_label->Bind(wxEVT_PAINT, [stage](wxPaintEvent& event) {
        event.Skip();
        if (*stage == Stage::Waiting) {
            *stage = Stage::Painted;
        }
    });
    picture_label->Bind(wxEVT_IDLE, [stage](wxIdleEvent& event) {
        event.Skip();
        if (*stage != Stage::Painted) {
            return;
        }
        *stage = Stage::Reported;
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::fprintf(stderr, "quavik: first paint at %lld ns\n",
                     static_cast<long long>(
                         std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stderr);
    });
}

}  // namespace

void MainFrame::show_and_activate() {
    trace_first_paint(unit("标签5"));
    Show();
    Raise();
    if (!focus_order_.empty()) {
        focus_unit(focus_order_.front());
    }
}

std::string MainFrame::read_text(std::string_view name) const {
    wxWindow* window = unit(name);
    if (auto* box = dynamic_cast<wxTextCtrl*>(window)) {
        return from_wx(box->GetValue());
    }
    if (auto* button = dynamic_cast<wxButton*>(window)) {
        return from_wx(button->GetLabelText());
    }
    return window != nullptr ? from_wx(window->GetLabel()) : std::string();
}

void MainFrame::set_text(std::string_view name, std::string_view text) {
    wxWindow* window = unit(name);
    if (auto* box = dynamic_cast<wxTextCtrl*>(window)) {
        box->ChangeValue(to_wx(text));
    } else if (auto* button = dynamic_cast<wxButton*>(window)) {
        button->SetLabel(wxControl::EscapeMnemonics(to_wx(text)));
    } else if (window != nullptr) {
        window->SetLabel(to_wx(text));
    }
}

void MainFrame::set_address(std::string_view name, std::string_view url) {
    if (auto* view = dynamic_cast<HtmlViewUnit*>(unit(name))) {
        view->navigate(to_wx(url));
    }
}

std::string WxWindow::read_text(std::string_view unit) {
    return exists() ? frame_->read_text(unit) : std::string();
}

void WxWindow::set_text(std::string_view unit, std::string_view text) {
    if (exists()) {
        frame_->set_text(unit, text);
    }
}

void WxWindow::set_address(std::string_view unit, std::string_view url) {
    if (exists()) {
        frame_->set_address(unit, url);
    }
}

void WxWindow::show_and_activate() {
    if (exists()) {
        frame_->show_and_activate();
    }
}

void WxWindow::close() {
    if (exists()) {
        frame_->Close();
    }
}

}  // namespace quavik::wx
