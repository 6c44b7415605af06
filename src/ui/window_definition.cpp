#include "ui/window_definition.h"

#include <algorithm>

#include "reference/reference_text.h"

namespace quavik {

namespace {

using enum UnitKind;
using enum InitialText;

// clang-format off
// The units in definition order: it fixes the building order (reverse), the stacking order and,
// with all tab-order keys equal, the focus order (reverse). No two units overlap.
constexpr UnitRow kStartWindowUnits[] = {
    // name              kind      left  top  width height  initial text
    {"标签",            Label,    {736, 656, 304,  24}, Fixed,         "版本标签"},
    {"按钮5",           Button,   {768,   8, 128,  32}, Fixed,         "待添加"},
    {"按钮4",           Button,   {480,   8, 128,  32}, Fixed,         "待添加"},
    {"按钮3",           Button,   {632,   8, 128,  32}, Fixed,         "待添加"},
    {"按钮2",           Button,   {912,   8, 128,  32}, Fixed,         "检测更新"},
    {"标签9",           Label,    {120, 656, 232,  24}, Fixed,         "友情提示：且用且珍惜"},
    {"标签8",           Label,    { 56,   8, 352,  40}, Fixed,         "祝大家都能选上心仪的号码"},
    {"标签7",           Label,    {216, 200, 192,  48}, Fixed,         "靓号类型要大写哦~"},
    {"标签6",           Label,    {280, 104, 136,  24}, Fixed,         "提前祝大家元旦快乐~"},
    {"标签5",           Label,    {216,  80,  64,  56}, Fixed,         ""},  // the badge picture
    {"标签4",           Label,    {216, 160, 168,  32}, Fixed,         "*类型请看下面的介绍对号入座"},
    {"编辑框3",         EditBox,  {120, 104,  80,  32}, Fixed,         ""},  // city ID
    {"编辑框4",         EditBox,  {120, 160,  80,  32}, Fixed,         ""},  // pattern type
    {"编辑框1",         EditBox,  { 48, 304, 352, 336}, ReferenceText, ""},
    {"标签3",           Label,    { 56, 168,  48,  24}, Fixed,         "靓号类型"},
    {"标签2",           Label,    { 64, 112,  40,  24}, Fixed,         "市区id"},
    {"标签1",           Label,    { 64,  56,  40,  24}, Fixed,         "省份id"},
    {"编辑框2",         EditBox,  {120,  56,  80,  32}, Fixed,         ""},  // province ID
    {"按钮1",           Button,   { 88, 216, 104,  32}, Fixed,         "开始选号"},
    {"超文本浏览框1",   HtmlView, {432,  72, 616, 584}, Fixed,         ""},  // no page until an address is set
};

// The labels' own settings; every label paints an opaque button-face background.
constexpr LabelRow kStartWindowLabels[] = {
    // name      text colour       font                       effect              picture
    {"标签",    {  0,   0,   0}, kDefaultGuiFont,         TextEffect::None,   false},
    {"标签9",   {  0, 136, 255}, kDefaultGuiFont,         TextEffect::None,   false},
    {"标签8",   {  0,  96, 192}, {"",        24, 700},    TextEffect::None,   false},
    {"标签7",   {255,   0,   0}, {"icomoon", 21, 400},    TextEffect::Raised, false},
    {"标签6",   {  0,  96, 192}, kDefaultGuiFont,         TextEffect::None,   false},
    {"标签5",   {  0,   0,   0}, kDefaultGuiFont,         TextEffect::None,   true},
    {"标签4",   {255,   0,   0}, kDefaultGuiFont,         TextEffect::None,   false},
    {"标签3",   {  0,   0,   0}, kDefaultGuiFont,         TextEffect::None,   false},
    {"标签2",   {  0,   0,   0}, kDefaultGuiFont,         TextEffect::None,   false},
    {"标签1",   {  0,   0,   0}, kDefaultGuiFont,         TextEffect::None,   false},
};

// The edit boxes: sunken edge, black on white, selection hidden without the focus, no length limit.
constexpr EditRow kStartWindowEdits[] = {
    // name       alignment           multi-line read-only upper  font
    {"编辑框3",  Alignment::Centre,  false,     false,    false, kDefaultGuiFont},
    {"编辑框4",  Alignment::Left,    false,     false,    false, kDefaultGuiFont},
    {"编辑框1",  Alignment::Centre,  true,      true,     true,  {"微软雅黑", 12, 400}},
    {"编辑框2",  Alignment::Centre,  false,     false,    false, kDefaultGuiFont},
};
// clang-format on

template <typename Row>
const Row* find_row(std::span<const Row> rows, std::string_view name) {
    const auto found =
        std::find_if(rows.begin(), rows.end(), [&](const Row& row) { return row.name == name; });
    return found == rows.end() ? nullptr : &*found;
}

}  // namespace

const UnitRow* WindowDefinition::find_unit(std::string_view unit_name) const {
    return find_row(units, unit_name);
}

const LabelRow* WindowDefinition::find_label(std::string_view unit_name) const {
    return find_row(labels, unit_name);
}

const EditRow* WindowDefinition::find_edit(std::string_view unit_name) const {
    return find_row(edits, unit_name);
}

std::string_view WindowDefinition::initial_text(const UnitRow& unit) const {
    return unit.source == InitialText::ReferenceText ? std::string_view(reference_text)
                                                     : unit.text;
}

const WindowDefinition* WindowDefinitions::find(std::string_view window_name) const {
    return window_name == start_window.name ? &start_window : nullptr;
}

std::unique_ptr<WindowDefinitions> load_window_definitions() {
    auto definitions = std::make_unique<WindowDefinitions>(WindowDefinitions{WindowDefinition{
        .name = kStartWindowName,
        // Eleven spaces after "1.0", three after "论坛".
        .title = "Quavik靓号扫描软件KM1.0           Velmora论坛   全网首发",
        .outer_width = 1061,
        .outer_height = 710,
        .units = kStartWindowUnits,
        .labels = kStartWindowLabels,
        .edits = kStartWindowEdits,
        .reference_text = build_reference_text(),
    }});
    return definitions;
}

std::vector<std::string_view> focus_order(const WindowDefinition& definition) {
    // Every unit is visible and enabled and every tab-order key is 0, so the order is the
    // reverse of the definition order among the units with a tab stop.
    std::vector<std::string_view> order;
    for (auto unit = definition.units.rbegin(); unit != definition.units.rend(); ++unit) {
        if (has_tab_stop(unit->kind)) {
            order.push_back(unit->name);
        }
    }
    return order;
}

}  // namespace quavik
