#include "units.h"

#include <string>
#include <vector>

#include "html_view.h"
#include "ui/label_painting.h"
#include "ui/web_page.h"

namespace quavik::win32 {

namespace {

// What a painted label keeps between paints: the background (picture included) is built once
// per size and button-face colour.
struct LabelState {
    const LabelRow* style = nullptr;
    const RgbaImage* picture = nullptr;
    HFONT font = nullptr;
    HBITMAP background = nullptr;
    COLORREF background_face = 0;
    int background_width = 0;
    int background_height = 0;
};

LabelState* label_state(HWND window) {
    return reinterpret_cast<LabelState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// An opaque RGB canvas as a device-independent bitmap: top-down rows of BGR, each padded to
// four bytes.
HBITMAP make_bitmap(HDC dc, const RgbImage& canvas) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = canvas.width;
    info.bmiHeader.biHeight = -canvas.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        return bitmap;
    }
    const std::size_t stride = (static_cast<std::size_t>(canvas.width) * 3 + 3) & ~std::size_t{3};
    auto* rows = static_cast<std::uint8_t*>(bits);
    for (int y = 0; y < canvas.height; ++y) {
        const std::uint8_t* in = &canvas.pixels[static_cast<std::size_t>(y) * canvas.width * 3];
        std::uint8_t* out = rows + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < canvas.width; ++x) {
            out[x * 3] = in[x * 3 + 2];
            out[x * 3 + 1] = in[x * 3 + 1];
            out[x * 3 + 2] = in[x * 3];
        }
    }
    GdiFlush();
    return bitmap;
}

// The caption up to its first line end: a label draws one line.
std::string caption_line(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
    return text.substr(0, text.find_first_of("\r\n"));
}

void paint_label(HWND window, LabelState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    // Background: the button-face colour read now, with the picture blended onto it.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    if (state.background == nullptr || state.background_face != face ||
        state.background_width != width || state.background_height != height) {
        if (state.background != nullptr) {
            DeleteObject(state.background);
        }
        const Rgb colour{GetRValue(face), GetGValue(face), GetBValue(face)};
        state.background =
            width > 0 && height > 0
                ? make_bitmap(
                      dc, paint_label_background(width, height, colour,
                                                 state.style->picture ? state.picture : nullptr))
                : nullptr;
        state.background_face = face;
        state.background_width = width;
        state.background_height = height;
    }
    if (state.background != nullptr) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, state.background);
        BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    } else {
        HBRUSH brush = CreateSolidBrush(face);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
    }

    // Caption: one line, transparent background, left-aligned and vertically centred; the
    // raised effect draws a white copy at the normal place and the caption 1 pixel right and
    // down.
    const std::string line = caption_line(window);
    if (!line.empty()) {
        HGDIOBJ old_font = SelectObject(dc, state.font);
        SetBkMode(dc, TRANSPARENT);
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        const CaptionPlacement normal = place_caption(height, metrics.tmHeight, TextEffect::None);
        const CaptionPlacement place = place_caption(height, metrics.tmHeight, state.style->effect);
        constexpr UINT kFormat = DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_NOPREFIX;
        const auto draw = [&](Point at, COLORREF colour) {
            RECT box = client;
            OffsetRect(&box, at.x - normal.caption.x, at.y - normal.caption.y);
            SetTextColor(dc, colour);
            DrawTextA(dc, line.data(), static_cast<int>(line.size()), &box, kFormat);
        };
        if (place.has_highlight) {
            draw(place.highlight, RGB(255, 255, 255));
        }
        const Rgb colour = state.style->text_colour;
        draw(place.caption, RGB(colour.r, colour.g, colour.b));
        SelectObject(dc, old_font);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK label_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    LabelState* state = label_state(window);
    switch (message) {
        case WM_NCCREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything
        case WM_PAINT:
            if (state != nullptr) {
                paint_label(window, *state);
                return 0;
            }
            break;
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcA(window, message, wparam, lparam);
            InvalidateRect(window, nullptr, FALSE);
            return result;
        }
        case WM_GETFONT:
            return state != nullptr ? reinterpret_cast<LRESULT>(state->font) : 0;
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // a label takes no clicks and never the focus
        case WM_NCDESTROY:
            if (state != nullptr) {
                if (state->background != nullptr) {
                    DeleteObject(state->background);
                }
                delete state;
                SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK html_view_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* browser = reinterpret_cast<BrowserHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_ERASEBKGND: {
            // No page yet: the blank white area of an empty browser.
            RECT client;
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wparam), &client,
                     static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            return 1;
        }
        case WM_SETFOCUS:
            if (browser != nullptr) {
                browser->take_focus();
            }
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_LBUTTONDOWN:
            SetFocus(window);
            return 0;
        case WM_DESTROY:
            if (browser != nullptr) {
                SetWindowLongPtrA(window, GWLP_USERDATA, 0);
                browser->close();
                browser->Release();
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

bool register_unit_classes(HINSTANCE instance) {
    WNDCLASSEXA label{};
    label.cbSize = sizeof label;
    label.lpfnWndProc = label_procedure;
    label.hInstance = instance;
    label.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    label.lpszClassName = kLabelClass;
    WNDCLASSEXA view{};
    view.cbSize = sizeof view;
    view.lpfnWndProc = html_view_procedure;
    view.hInstance = instance;
    view.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    view.lpszClassName = kHtmlViewClass;
    return RegisterClassExA(&label) != 0 && RegisterClassExA(&view) != 0;
}

HFONT make_font(const FontSetting& setting) {
    if (setting.is_default_gui_font()) {
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    const std::string face(setting.face);
    return CreateFontA(-setting.pixel_height, 0, 0, 0, setting.weight, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                       DEFAULT_PITCH, face.c_str());
}

void release_font(HFONT font) {
    if (font != nullptr && font != static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))) {
        DeleteObject(font);
    }
}

HWND create_label(HWND parent, int id, const UnitRow& row, const LabelRow& style,
                  const RgbaImage* picture, HFONT font, std::string_view caption) {
    auto* state = new LabelState{&style, picture, font, nullptr, 0, 0, 0};
    const std::string text(caption);
    HWND label = CreateWindowExA(
        0, kLabelClass, text.c_str(), WS_CHILD, row.rect.left, row.rect.top, row.rect.width,
        row.rect.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), state);
    if (label == nullptr) {
        delete state;  // WM_NCCREATE never stored it, or creation failed before WM_NCDESTROY
    }
    return label;
}

HWND create_html_view(HWND parent, int id, const UnitRow& row) {
    return CreateWindowExA(
        0, kHtmlViewClass, "", WS_CHILD | WS_TABSTOP | WS_CLIPCHILDREN, row.rect.left, row.rect.top,
        row.rect.width, row.rect.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
}

BrowserHost* html_view_browser(HWND view) {
    return reinterpret_cast<BrowserHost*>(GetWindowLongPtrA(view, GWLP_USERDATA));
}

void html_view_navigate(HWND view, std::string_view url) {
    if (!is_web_address(url)) {
        return;
    }
    BrowserHost* browser = html_view_browser(view);
    if (browser == nullptr) {
        // The browser component starts with the first address. When it cannot be created
        // (no component on this system), the placeholder stays.
        browser = BrowserHost::create(view);
        if (browser == nullptr) {
            return;
        }
        SetWindowLongPtrA(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(browser));
        if (GetFocus() == view) {
            browser->take_focus();
        }
    }
    browser->navigate(url);
}

}  // namespace quavik::win32
