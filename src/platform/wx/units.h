#pragma once
// The units the program paints or hosts itself: labels and the HTML view.
#include <wx/bitmap.h>
#include <wx/window.h>

#include <optional>

#include "platform/image.h"
#include "ui/window_definition.h"

class wxWebView;
class wxWebViewEvent;

namespace quavik::wx {

wxString to_wx(std::string_view text);
std::string from_wx(const wxString& text);
wxFont make_font(const FontSetting& setting);

// A label painted by the program: opaque button-face background, optional picture, one-line
// caption left-aligned and vertically centred, optional raised effect.
class PaintedLabel : public wxWindow {
public:
    PaintedLabel(const LabelRow& style, const RgbaImage* picture);
    bool Create(wxWindow* parent, const wxRect& rect, const wxString& caption);

    bool AcceptsFocus() const override { return false; }
    bool AcceptsFocusFromKeyboard() const override { return false; }
    void SetLabel(const wxString& label) override;
    wxString GetLabel() const override { return caption_; }

private:
    void on_paint(wxPaintEvent& event);

    const LabelRow& style_;
    const RgbaImage* picture_;
    wxString caption_;
    wxBitmap background_;  // painted once per size and colour
    wxColour background_colour_;
};

// The HTML view. It holds its place, its focus and its settings from the start; the browser
// engine itself starts only when the first address is set, so a window that never searches
// never pays for it.
class HtmlViewUnit : public wxWindow {
public:
    HtmlViewUnit() = default;
    bool Create(wxWindow* parent, const wxRect& rect);

    bool AcceptsFocus() const override { return true; }
    bool AcceptsFocusFromKeyboard() const override { return true; }

    void navigate(const wxString& url);
    bool has_page() const { return view_ != nullptr; }
    wxWindow* focus_target();
    wxWebView* web_view() const { return view_; }

    // Text size level on the browser's 0..4 scale.
    static constexpr int kTextSizeLevel = 2;

private:
    void create_engine();
    void on_navigating(wxWebViewEvent& event);
    void on_new_window(wxWebViewEvent& event);
    void on_error(wxWebViewEvent& event);
    void on_paint(wxPaintEvent& event);

    wxWebView* view_ = nullptr;
};

}  // namespace quavik::wx
