#include "platform/wx/units.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/settings.h>
#include <wx/webview.h>

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
    // No page yet: the blank white area of an empty browser.
    wxPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
}

void HtmlViewUnit::create_engine() {
    view_ = wxWebView::New(this, wxID_ANY, wxString(), wxPoint(0, 0), GetClientSize());
    if (view_ == nullptr) {
        return;
    }
    // Text size level 2 of 0..4: the browser's middle size, applied to text only.
    if (view_->CanSetZoomType(wxWEBVIEW_ZOOM_TYPE_TEXT)) {
        view_->SetZoomType(wxWEBVIEW_ZOOM_TYPE_TEXT);
    }
    static_assert(kTextSizeLevel == static_cast<int>(wxWEBVIEW_ZOOM_MEDIUM));
    view_->SetZoom(static_cast<wxWebViewZoom>(kTextSizeLevel));
    // Offline mode and silent mode stay off: the engine goes to the network and may show its
    // own dialogs.
    view_->Bind(wxEVT_WEBVIEW_NAVIGATING, &HtmlViewUnit::on_navigating, this);
    view_->Bind(wxEVT_WEBVIEW_NEWWINDOW, &HtmlViewUnit::on_new_window, this);
    view_->Bind(wxEVT_WEBVIEW_ERROR, &HtmlViewUnit::on_error, this);
}

void HtmlViewUnit::navigate(const wxString& url) {
    if (!is_web_address(from_wx(url))) {
        return;
    }
    const bool had_focus = FindFocus() == this;
    if (view_ == nullptr) {
        create_engine();
        if (view_ == nullptr) {
            return;
        }
        if (had_focus) {
            view_->SetFocus();
        }
    }
    view_->LoadURL(url);
}

wxWindow* HtmlViewUnit::focus_target() {
    return view_ != nullptr ? static_cast<wxWindow*>(view_) : this;
}

void HtmlViewUnit::on_navigating(wxWebViewEvent& event) {
    // Only web pages, and the page of our own that explains a failed load.
    const std::string url = from_wx(event.GetURL());
    if (!is_web_address(url) && url.rfind("about:", 0) != 0 && !url.empty()) {
        event.Veto();
    }
}

void HtmlViewUnit::on_new_window(wxWebViewEvent& event) {
    // A page that asks for a new window is shown in this view.
    if (is_web_address(from_wx(event.GetURL()))) {
        view_->LoadURL(event.GetURL());
    }
}

void HtmlViewUnit::on_error(wxWebViewEvent& event) {
    // A load replaced by a newer one is no failure; our own page never fails.
    const std::string url = from_wx(event.GetURL());
    if (event.GetInt() == wxWEBVIEW_NAV_ERR_USER_CANCELLED || !is_web_address(url)) {
        return;
    }
    std::string_view kind;
    switch (event.GetInt()) {
        case wxWEBVIEW_NAV_ERR_CONNECTION: kind = "无法连接到服务器"; break;
        case wxWEBVIEW_NAV_ERR_NOT_FOUND: kind = "页面不存在"; break;
        case wxWEBVIEW_NAV_ERR_AUTH: kind = "需要身份验证"; break;
        case wxWEBVIEW_NAV_ERR_SECURITY: kind = "安全证书错误"; break;
        case wxWEBVIEW_NAV_ERR_REQUEST: kind = "请求失败"; break;
        default: kind = "无法打开该地址"; break;
    }
    const std::string detail = from_wx(event.GetString());
    const std::string reason =
        detail.empty() ? std::string(kind) : std::string(kind) + "（" + detail + "）";
    // Shown once the engine has finished with the failed load.
    CallAfter([this, page = to_wx(load_error_page(url, reason))] {
        view_->SetPage(page, "about:blank");
    });
}

}  // namespace quavik::wx
