#pragma once
// The start window's definition, held as data: one row per unit, one row per styled label and
// per edit box. The GUI backend builds the window from these tables alone.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quavik {

enum class UnitKind { Label, Button, EditBox, HtmlView };

struct Rect {
    int left, top, width, height;
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct Rgb {
    std::uint8_t r, g, b;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// A font setting; an empty face with height 0 stands for the system's default GUI font.
struct FontSetting {
    std::string_view face;  // empty: the system's font matching chooses the face
    int pixel_height;       // character height without internal leading; 0: default GUI font
    int weight;             // 400 normal, 700 bold
    constexpr bool is_default_gui_font() const { return pixel_height == 0; }
};
inline constexpr FontSetting kDefaultGuiFont{"", 0, 400};

// Where a unit's initial text comes from.
enum class InitialText {
    Fixed,          // the row's text
    ReferenceText,  // the reference text of province and city IDs
};

struct UnitRow {
    std::string_view name;
    UnitKind kind;
    Rect rect;  // client coordinates; outer size, border included
    InitialText source;
    std::string_view text;
};

enum class TextEffect { None, Raised };

struct LabelRow {
    std::string_view name;
    Rgb text_colour;
    FontSetting font;
    TextEffect effect;
    bool picture;  // shows the badge, centred and shrunk to fit
};

enum class Alignment { Left, Centre };

struct EditRow {
    std::string_view name;
    Alignment alignment;
    bool multi_line;  // word-wrapped, vertical scroll bar
    bool read_only;
    bool upper_case;
    FontSetting font;
};

struct WindowDefinition {
    std::string_view name;
    std::string_view title;
    int outer_width;
    int outer_height;
    std::span<const UnitRow> units;  // definition order
    std::span<const LabelRow> labels;
    std::span<const EditRow> edits;
    std::string reference_text;  // filled when the definitions are loaded

    const UnitRow* find_unit(std::string_view unit_name) const;
    const LabelRow* find_label(std::string_view unit_name) const;
    const EditRow* find_edit(std::string_view unit_name) const;
    std::string_view initial_text(const UnitRow& unit) const;
};

inline constexpr std::string_view kStartWindowName = "启动窗口";

// The program's window definitions, loaded once at start-up and released at shutdown.
struct WindowDefinitions {
    WindowDefinition start_window;
    const WindowDefinition* find(std::string_view window_name) const;
};
std::unique_ptr<WindowDefinitions> load_window_definitions();

// The units that take the focus, in focus order: visible, enabled, with a tab stop; sorted by
// tab-order key, and among equal keys (all of them here) later definitions first.
std::vector<std::string_view> focus_order(const WindowDefinition& definition);

// Whether a unit of this kind takes the focus by Tab.
constexpr bool has_tab_stop(UnitKind kind) { return kind != UnitKind::Label; }

// The window's top-left corner, centred by its outer size on the full primary screen. The
// division is signed and truncates toward zero, so a window larger than the screen starts
// partly off its edge.
struct Point {
    int x, y;
    friend constexpr bool operator==(const Point&, const Point&) = default;
};
constexpr Point centred_origin(int screen_width, int screen_height, int width, int height) {
    return {(screen_width - width) / 2, (screen_height - height) / 2};
}

}  // namespace quavik
