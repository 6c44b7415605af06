#include "platform/wx/units.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/settings.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>

#include "ui/label_painting.h"
#include "ui/web_page.h"

namespace quavik::wx {

wxString to_wx(std::string_view text) { return wxString::FromUTF8(text.data(), text.size()); }

std::string from_wx(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

wxFont make_font(const FontSetting& setting) {
    if (setting.is_default_gui_font()) {
        // The window's fixed layout was made for a GUI font 12 pixels high; the desktop's own
        // face at that height keeps every caption inside its unit.
        constexpr int kGuiFontPixelHeight = 12;
        wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
        font.SetPixelSize(wxSize(0, kGuiFontPixelHeight));
        return font;
    }
    // The height is the characters' own height in pixels; a missing face is left to the
    // system's font matching.
    wxFontInfo info(wxSize(0, setting.pixel_height));
    if (!setting.face.empty()) {
        info.FaceName(to_wx(setting.face));
    }
    info.Weight(setting.weight);
    return wxFont(info);
}

PaintedLabel::PaintedLabel(const LabelRow& style, const RgbaImage* picture)
    : style_(style), picture_(picture) {}

bool PaintedLabel::Create(wxWindow* parent, const wxRect& rect, const wxString& caption) {
    if (!wxWindow::Create(parent, wxID_ANY, rect.GetPosition(), rect.GetSize(),
                          wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE)) {
        return false;
    }
    caption_ = caption;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetFont(make_font(style_.font));
    Bind(wxEVT_PAINT, &PaintedLabel::on_paint, this);
    return true;
}

void PaintedLabel::SetLabel(const wxString& label) {
    caption_ = label;
    Refresh();
}

void PaintedLabel::on_paint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    // The background colour is the system's button face, read at the time of painting.
    const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    if (!background_.IsOk() || background_.GetSize() != size || background_colour_ != face) {
        const RgbImage canvas = paint_label_background(
            size.x, size.y, Rgb{face.Red(), face.Green(), face.Blue()},
            style_.picture ? picture_ : nullptr);
        wxImage image(canvas.width, canvas.height);
        std::copy(canvas.pixels.begin(), canvas.pixels.end(), image.GetData());
        background_ = wxBitmap(image);
        background_colour_ = face;
    }
    dc.DrawBitmap(background_, 0, 0);

    // One line: the caption up to its first line end.
    const wxString line = caption_.BeforeFirst('\n').BeforeFirst('\r');
    if (line.empty()) {
        return;
    }
    dc.SetFont(GetFont());
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const wxSize extent = dc.GetTextExtent(line);
    const CaptionPlacement place = place_caption(size.y, extent.y, style_.effect);
    if (place.has_highlight) {
        dc.SetTextForeground(*wxWHITE);
        dc.DrawText(line, place.highlight.x, place.highlight.y);
    }
    const Rgb colour = style_.text_colour;
    dc.SetTextForeground(wxColour(colour.r, colour.g, colour.b));
    dc.DrawText(line, place.caption.x, place.caption.y);
}

bool HtmlViewUnit::Create(wxWindow* parent, const wxRect& rect) {
    if (!wxWindow::Create(parent, wxID_ANY, rect.GetPosition(), rect.GetSize(),
                          wxBORDER_NONE | wxWANTS_CHARS)) {
        return false;
    }
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &HtmlViewUnit::on_paint, this);
    return true;
}

void HtmlViewUnit::on_paint(wxPaintEvent&) {
    // No page yet: the blank white area of an empty browser, or why there will be none.
    wxPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (!engine_error_.empty()) {
        dc.SetFont(make_font(kDefaultGuiFont));
        dc.SetTextForeground(*wxRED);
        dc.DrawText(engine_error_, 12, 12);
    }
}

bool HtmlViewUnit::create_engine() {
    // The module sits beside the program, or in its library folder once installed.
    const wxFileName program(wxStandardPaths::Get().GetExecutablePath());
    const wxString candidates[] = {
        program.GetPath() + "/" + kWebEngineModuleName,
        program.GetPath() + "/../" + QUAVIK_INSTALL_LIBDIR + "/quavik/" + kWebEngineModuleName,
        wxString(QUAVIK_MODULE_DIR) + "/" + kWebEngineModuleName,
    };
    for (const wxString& path : candidates) {
        if (wxFileName::FileExists(path) && module_.Load(path, wxDL_NOW | wxDL_QUIET)) {
            break;
        }
    }
    auto create = module_.IsLoaded()
                      ? reinterpret_cast<CreateWebEngine>(module_.GetSymbol(kCreateWebEngineSymbol))
                      : nullptr;
    engine_.reset(create != nullptr ? create(this, kTextSizeLevel) : nullptr);
    if (!engine_) {
        engine_error_ = to_wx("无法加载网页组件（" + std::string(kWebEngineModuleName) + "）");
        Refresh();
        return false;
    }
    return true;
}

void HtmlViewUnit::navigate(const wxString& url) {
    if (!is_web_address(from_wx(url))) {
        return;
    }
    if (!engine_) {
        const bool had_focus = FindFocus() == this;
        if (!create_engine()) {
            return;
        }
        if (had_focus) {
            engine_->window()->SetFocus();
        }
    }
    engine_->load(url);
}

wxWindow* HtmlViewUnit::focus_target() { return engine_ ? engine_->window() : this; }

HtmlViewUnit::~HtmlViewUnit() {
    // The engine's window is a child and goes with this one. The module stays loaded until
    // the process ends: the engine's own threads may still run code from it.
    engine_.reset();
    module_.Detach();
}

}  // namespace quavik::wx
