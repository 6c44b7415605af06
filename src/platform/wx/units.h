#pragma once
// The units the program paints or hosts itself: labels and the HTML view.
#include <wx/bitmap.h>
#include <wx/dynlib.h>
#include <wx/window.h>

#include <memory>
#include <optional>

#include "platform/image.h"
#include "platform/wx/web_engine.h"
#include "ui/window_definition.h"


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
// engine itself is loaded and started only when the first address is set, so a window that
// never searches never pays for it.
class HtmlViewUnit : public wxWindow {
public:
    HtmlViewUnit() = default;
    ~HtmlViewUnit() override;
    bool Create(wxWindow* parent, const wxRect& rect);

    bool AcceptsFocus() const override { return true; }
    bool AcceptsFocusFromKeyboard() const override { return true; }

    void navigate(const wxString& url);
    bool has_page() const { return engine_ != nullptr; }
    wxWindow* focus_target();
    WebEngine* engine() const { return engine_.get(); }

    // Text size level on the browser's 0..4 scale: the middle size.
    static constexpr int kTextSizeLevel = 2;

private:
    bool create_engine();
    void on_paint(wxPaintEvent& event);

    wxDynamicLibrary module_;
    std::unique_ptr<WebEngine> engine_;
    wxString engine_error_;
};

}  // namespace quavik::wx
