#include "main_window.h"

#include <algorithm>

#include "html_view.h"
#include "units.h"

namespace quavik::win32 {

namespace {

// The window's frame: title bar with system menu, minimize and close; fixed size; no maximize.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kButtonStyle =
    WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER;
// The program's icon in assets/quavik.rc.
constexpr WORD kIconResource = 1;

DWORD edit_style(const EditRow& edit) {
    // The selection is hidden while the box does not have the focus (no ES_NOHIDESEL).
    DWORD style = WS_CHILD | WS_TABSTOP;
    style |= edit.alignment == Alignment::Centre ? ES_CENTER : ES_LEFT;
    if (edit.multi_line) {
        // Word-wrapped at the box's width: no horizontal scrolling.
        style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
    } else {
        style |= ES_AUTOHSCROLL;
    }
    if (edit.read_only) {
        style |= ES_READONLY;
    }
    if (edit.upper_case) {
        style |= ES_UPPERCASE;
    }
    return style;
}

// A button's caption as the control wants it: "&" would mark a mnemonic.
std::string escape_mnemonics(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        escaped += c;
        if (c == '&') {
            escaped += '&';
        }
    }
    return escaped;
}

std::string unescape_mnemonics(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
        }
        plain += text[i];
    }
    return plain;
}

std::string window_text(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
    return text;
}

bool key_down(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

bool register_main_window_class(HINSTANCE instance) {
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = &MainWindow::procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kMainWindowClass;
    // The program's icon serves as both the large and the small title-bar icon.
    window_class.hIcon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON,
                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    window_class.hIconSm = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    return RegisterClassExA(&window_class) != 0;
}

MainWindow::MainWindow(const WindowDefinition& definition, EventSink& events,
                       const RgbaImage* badge)
    : definition_(definition), events_(events), badge_(badge) {
    focus_order_ = focus_order(definition);
}

MainWindow::~MainWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    for (const Unit& unit : units_) {
        release_font(unit.font);
    }
}

bool MainWindow::build(HINSTANCE instance) {
    // Centred by the outer size on the full primary screen (not the work area).
    const Point origin =
        centred_origin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                       definition_.outer_width, definition_.outer_height);
    const std::string title(definition_.title);
    if (CreateWindowExA(0, kMainWindowClass, title.c_str(), kWindowStyle, origin.x, origin.y,
                        definition_.outer_width, definition_.outer_height, nullptr, nullptr,
                        instance, this) == nullptr) {
        return false;
    }

    // The units, each hidden, in reverse definition order.
    units_.assign(definition_.units.size(), Unit{{}, UnitKind::Label, nullptr, nullptr});
    for (std::size_t i = definition_.units.size(); i-- > 0;) {
        const UnitRow& row = definition_.units[i];
        HFONT font = nullptr;
        HWND unit = create_unit(row, static_cast<int>(i) + 1, font);
        units_[i] = Unit{row.name, row.kind, unit, font};
        if (unit == nullptr) {
            return false;
        }
    }
    // Stacking follows the definition order: the first unit on top, each further one directly
    // below the one before it.
    HWND above = HWND_TOP;
    for (const Unit& unit : units_) {
        SetWindowPos(unit.window, above, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        above = unit.window;
    }
    // Shown in creation order, none of them activated.
    for (std::size_t i = units_.size(); i-- > 0;) {
        ShowWindow(units_[i].window, SW_SHOWNA);
    }
    return true;
}

HWND MainWindow::create_unit(const UnitRow& row, int id, HFONT& font) {
    const std::string text(definition_.initial_text(row));
    HMENU child_id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
    const Rect& r = row.rect;
    switch (row.kind) {
        case UnitKind::Label: {
            const LabelRow* style = definition_.find_label(row.name);
            if (style == nullptr) {
                return nullptr;
            }
            font = make_font(style->font);
            return create_label(window_, id, row, *style, badge_, font, text);
        }
        case UnitKind::Button: {
            HWND button =
                CreateWindowExA(0, "BUTTON", escape_mnemonics(text).c_str(), kButtonStyle, r.left,
                                r.top, r.width, r.height, window_, child_id, instance, nullptr);
            if (button != nullptr) {
                font = make_font(kDefaultGuiFont);
                SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            }
            return button;
        }
        case UnitKind::EditBox: {
            const EditRow* edit = definition_.find_edit(row.name);
            if (edit == nullptr) {
                return nullptr;
            }
            HWND box =
                CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", edit_style(*edit), r.left, r.top,
                                r.width, r.height, window_, child_id, instance, nullptr);
            if (box == nullptr) {
                return nullptr;
            }
            font = make_font(edit->font);
            SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            SendMessageA(box, EM_SETLIMITTEXT, 0, 0);  // no maximum length
            SetWindowTextA(box, text.c_str());
            // The caret at the start, with the top of the text in view.
            SendMessageA(box, EM_SETSEL, 0, 0);
            SendMessageA(box, EM_SCROLLCARET, 0, 0);
            return box;
        }
        case UnitKind::HtmlView:
            return create_html_view(window_, id, row);
    }
    return nullptr;
}

HWND MainWindow::unit(std::string_view name) const {
    for (const Unit& unit : units_) {
        if (unit.name == name) {
            return unit.window;
        }
    }
    return nullptr;
}

std::string_view MainWindow::unit_name(HWND window) const {
    // The unit is the window's direct child that holds `window`.
    while (window != nullptr && GetParent(window) != window_) {
        window = GetParent(window);
    }
    for (const Unit& unit : units_) {
        if (window != nullptr && unit.window == window) {
            return unit.name;
        }
    }
    return {};
}

void MainWindow::focus_unit(std::string_view name) {
    if (HWND target = unit(name)) {
        SetFocus(target);  // the HTML view hands the focus on to its page, when it shows one
    }
}

void MainWindow::move_focus(int step) {
    const auto count = static_cast<int>(focus_order_.size());
    if (count == 0) {
        return;
    }
    const auto current = std::find(focus_order_.begin(), focus_order_.end(), unit_name(GetFocus()));
    int next = 0;
    if (current != focus_order_.end()) {
        next = (static_cast<int>(current - focus_order_.begin()) + step + count) % count;
    } else if (step < 0) {
        next = count - 1;
    }
    focus_unit(focus_order_[static_cast<std::size_t>(next)]);
}

bool MainWindow::focus_in_page() const {
    HWND focus = GetFocus();
    for (const Unit& unit : units_) {
        if (unit.kind == UnitKind::HtmlView) {
            const BrowserHost* browser = html_view_browser(unit.window);
            if (browser != nullptr && browser->contains(focus)) {
                return true;
            }
        }
    }
    return false;
}

bool MainWindow::pre_translate_key(MSG& message) {
    if (!exists() || (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) ||
        (message.hwnd != window_ && !IsChild(window_, message.hwnd))) {
        return false;
    }
    // Only without Ctrl, Shift and Alt; Shift+Tab excepted.
    const bool control = key_down(VK_CONTROL);
    const bool shift = key_down(VK_SHIFT);
    const bool alt = key_down(VK_MENU) || message.message == WM_SYSKEYDOWN;
    switch (message.wParam) {
        case VK_ESCAPE:
            if (!control && !shift && !alt) {
                SendMessageA(window_, WM_CLOSE, 0, 0);
                return true;
            }
            break;
        case VK_TAB:
            if (!control && !alt && !focus_in_page()) {
                move_focus(shift ? -1 : 1);
                return true;
            }
            break;
        case VK_RETURN:
            // No default button and no focus move by Enter: Enter starts nothing.
            if (!control && !shift && !alt && !focus_in_page()) {
                return true;
            }
            break;
        default:
            break;
    }
    // Inside a page the browser has the key next.
    if (focus_in_page()) {
        for (const Unit& unit : units_) {
            BrowserHost* browser =
                unit.kind == UnitKind::HtmlView ? html_view_browser(unit.window) : nullptr;
            if (browser != nullptr && browser->contains(GetFocus())) {
                return browser->translate_key(message);
            }
        }
    }
    return false;
}

std::string MainWindow::read_text(std::string_view name) {
    HWND window = exists() ? unit(name) : nullptr;
    if (window == nullptr) {
        return {};
    }
    const auto found = std::find_if(units_.begin(), units_.end(),
                                    [name](const Unit& unit) { return unit.name == name; });
    const std::string text = window_text(window);
    return found->kind == UnitKind::Button ? unescape_mnemonics(text) : text;
}

void MainWindow::set_text(std::string_view name, std::string_view text) {
    HWND window = exists() ? unit(name) : nullptr;
    if (window == nullptr) {
        return;
    }
    const auto found = std::find_if(units_.begin(), units_.end(),
                                    [name](const Unit& unit) { return unit.name == name; });
    const std::string value =
        found->kind == UnitKind::Button ? escape_mnemonics(text) : std::string(text);
    SetWindowTextA(window, value.c_str());
}

void MainWindow::set_address(std::string_view name, std::string_view url) {
    HWND window = exists() ? unit(name) : nullptr;
    const auto found = std::find_if(units_.begin(), units_.end(),
                                    [name](const Unit& unit) { return unit.name == name; });
    if (window != nullptr && found->kind == UnitKind::HtmlView) {
        html_view_navigate(window, url);
    }
}

void MainWindow::show_and_activate() {
    if (!exists()) {
        return;
    }
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    if (!focus_order_.empty()) {
        focus_unit(focus_order_.front());
    }
}

void MainWindow::close() {
    if (exists()) {
        SendMessageA(window_, WM_CLOSE, 0, 0);
    }
}

LRESULT CALLBACK MainWindow::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(
            reinterpret_cast<const CREATESTRUCTA*>(lparam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcA(window, message, wparam, lparam);
    }
    return self->handle(message, wparam, lparam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wparam) == BN_CLICKED && lparam != 0) {
                HWND source = reinterpret_cast<HWND>(lparam);
                for (const Unit& unit : units_) {
                    if (unit.window == source && unit.kind == UnitKind::Button) {
                        events_.deliver(unit.name, UiEvent::Clicked);
                        return 0;
                    }
                }
            }
            break;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            // Every edit box shows black text on white, the read-only one included (which the
            // system would draw on the button face).
            HDC dc = reinterpret_cast<HDC>(wparam);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, RGB(255, 255, 255));
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        }
        case WM_ACTIVATE:
            if (LOWORD(wparam) == WA_INACTIVE) {
                // Remembered, and given back when the window is activated again.
                const std::string_view focused = unit_name(GetFocus());
                if (!focused.empty()) {
                    remembered_focus_ = focused;
                }
                return 0;
            }
            if (HIWORD(wparam) == 0) {
                focus_unit(!remembered_focus_.empty() ? remembered_focus_
                           : focus_order_.empty()     ? std::string_view()
                                                      : focus_order_.front());
            }
            return 0;
        case WM_SETFOCUS:
            // The window itself never keeps the focus: a unit gets it.
            focus_unit(!remembered_focus_.empty() ? remembered_focus_
                       : focus_order_.empty()     ? std::string_view()
                                                  : focus_order_.front());
            return 0;
        case WM_CLOSE:
            // No handler can refuse a close request: the window goes.
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            destroyed_ = true;
            events_.window_destroyed();
            return 0;
        case WM_NCDESTROY: {
            HWND window = window_;
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            window_ = nullptr;
            destroyed_ = true;
            return DefWindowProcA(window, message, wparam, lparam);
        }
        default:
            break;
    }
    return DefWindowProcA(window_, message, wparam, lparam);
}

}  // namespace quavik::win32
