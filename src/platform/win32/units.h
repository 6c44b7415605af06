#pragma once
// The units the program paints or hosts itself on Windows: the painted labels and the HTML
// view's container, with their window classes, and the fonts of the window definition.
#include <memory>
#include <string_view>

#include "code_page_api.h"
#include "platform/image.h"
#include "ui/window_definition.h"

namespace quavik::win32 {

class BrowserHost;

inline constexpr const char* kLabelClass = "QuavikLabel";
inline constexpr const char* kHtmlViewClass = "QuavikHtmlView";

// Registers the two window classes above. False when the system refuses.
bool register_unit_classes(HINSTANCE instance);

// A font by the definition's setting: the system's default GUI font for the default setting,
// otherwise CreateFont with the character height as a negative pixel height, the default
// character set, default output and clipping precision, proof quality and default pitch. A
// missing face is left to the system's font matching. The caller owns the result (see
// release_font).
HFONT make_font(const FontSetting& setting);
// Deletes a font from make_font; the stock default GUI font is left alone.
void release_font(HFONT font);

// A painted label: opaque button-face background with the optional picture, one-line caption
// (the window text) left-aligned and vertically centred, optional raised effect. `style`,
// `picture` and `font` must outlive the window.
HWND create_label(HWND parent, int id, const UnitRow& row, const LabelRow& style,
                  const RgbaImage* picture, HFONT font, std::string_view caption);

// The HTML view: a white placeholder that takes the focus; the browser component is created
// when the first address is set.
HWND create_html_view(HWND parent, int id, const UnitRow& row);
// Navigates the view to `url` (http and https only), creating the browser on first use.
void html_view_navigate(HWND view, std::string_view url);
// The browser component of a view, or nullptr while it has none.
BrowserHost* html_view_browser(HWND view);

}  // namespace quavik::win32
