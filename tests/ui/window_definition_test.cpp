// The start window's definition: geometry, texts, focus order and centring.
#include "ui/window_definition.h"

#include <gtest/gtest.h>

#include "reference/reference_text.h"

namespace quavik {
namespace {

struct ExpectedUnit {
    std::string_view name;
    UnitKind kind;
    Rect rect;
    std::string_view text;
};

// The window as the user sees it, written out independently of the tables.
constexpr ExpectedUnit kExpected[] = {
    {"标签", UnitKind::Label, {736, 656, 304, 24}, "版本标签"},
    {"按钮5", UnitKind::Button, {768, 8, 128, 32}, "待添加"},
    {"按钮4", UnitKind::Button, {480, 8, 128, 32}, "待添加"},
    {"按钮3", UnitKind::Button, {632, 8, 128, 32}, "待添加"},
    {"按钮2", UnitKind::Button, {912, 8, 128, 32}, "检测更新"},
    {"标签9", UnitKind::Label, {120, 656, 232, 24}, "友情提示：且用且珍惜"},
    {"标签8", UnitKind::Label, {56, 8, 352, 40}, "祝大家都能选上心仪的号码"},
    {"标签7", UnitKind::Label, {216, 200, 192, 48}, "靓号类型要大写哦~"},
    {"标签6", UnitKind::Label, {280, 104, 136, 24}, "提前祝大家元旦快乐~"},
    {"标签5", UnitKind::Label, {216, 80, 64, 56}, ""},
    {"标签4", UnitKind::Label, {216, 160, 168, 32}, "*类型请看下面的介绍对号入座"},
    {"编辑框3", UnitKind::EditBox, {120, 104, 80, 32}, ""},
    {"编辑框4", UnitKind::EditBox, {120, 160, 80, 32}, ""},
    {"编辑框1", UnitKind::EditBox, {48, 304, 352, 336}, "<reference>"},
    {"标签3", UnitKind::Label, {56, 168, 48, 24}, "靓号类型"},
    {"标签2", UnitKind::Label, {64, 112, 40, 24}, "市区id"},
    {"标签1", UnitKind::Label, {64, 56, 40, 24}, "省份id"},
    {"编辑框2", UnitKind::EditBox, {120, 56, 80, 32}, ""},
    {"按钮1", UnitKind::Button, {88, 216, 104, 32}, "开始选号"},
    {"超文本浏览框1", UnitKind::HtmlView, {432, 72, 616, 584}, ""},
};

class StartWindowDefinition : public ::testing::Test {
protected:
    std::unique_ptr<WindowDefinitions> definitions = load_window_definitions();
    const WindowDefinition& window = definitions->start_window;
};

TEST_F(StartWindowDefinition, WindowSettings) {
    EXPECT_EQ(window.name, "启动窗口");
    EXPECT_EQ(window.title, "Quavik靓号扫描软件KM1.0" + std::string(11, ' ') + "Velmora论坛" +
                                std::string(3, ' ') + "全网首发");
    EXPECT_EQ(window.outer_width, 1061);
    EXPECT_EQ(window.outer_height, 710);
    EXPECT_EQ(definitions->find("启动窗口"), &window);
    EXPECT_EQ(definitions->find("别的窗口"), nullptr);
}

TEST_F(StartWindowDefinition, UnitsInDefinitionOrderWithTheirPlacesAndTexts) {
    ASSERT_EQ(window.units.size(), std::size(kExpected));
    for (std::size_t i = 0; i < std::size(kExpected); ++i) {
        const ExpectedUnit& expected = kExpected[i];
        const UnitRow& unit = window.units[i];
        SCOPED_TRACE(std::string(expected.name));
        EXPECT_EQ(unit.name, expected.name);
        EXPECT_EQ(unit.kind, expected.kind);
        EXPECT_EQ(unit.rect, expected.rect);
        if (expected.text == "<reference>") {
            EXPECT_EQ(window.initial_text(unit), build_reference_text());
        } else {
            EXPECT_EQ(window.initial_text(unit), expected.text);
        }
    }
}

TEST_F(StartWindowDefinition, NoUnitsOverlapAndAllReachTheStatedExtent) {
    int right = 0;
    int bottom = 0;
    for (const UnitRow& a : window.units) {
        right = std::max(right, a.rect.left + a.rect.width);
        bottom = std::max(bottom, a.rect.top + a.rect.height);
        for (const UnitRow& b : window.units) {
            if (&a == &b) {
                continue;
            }
            const bool apart = a.rect.left + a.rect.width <= b.rect.left ||
                               b.rect.left + b.rect.width <= a.rect.left ||
                               a.rect.top + a.rect.height <= b.rect.top ||
                               b.rect.top + b.rect.height <= a.rect.top;
            EXPECT_TRUE(apart) << a.name << " overlaps " << b.name;
        }
    }
    EXPECT_EQ(right, 1048);
    EXPECT_EQ(bottom, 680);
}

TEST_F(StartWindowDefinition, EveryLabelAndEditBoxHasItsStyle) {
    for (const UnitRow& unit : window.units) {
        SCOPED_TRACE(std::string(unit.name));
        EXPECT_EQ(window.find_label(unit.name) != nullptr, unit.kind == UnitKind::Label);
        EXPECT_EQ(window.find_edit(unit.name) != nullptr, unit.kind == UnitKind::EditBox);
    }
    const LabelRow* raised = window.find_label("标签7");
    ASSERT_NE(raised, nullptr);
    EXPECT_EQ(raised->effect, TextEffect::Raised);
    EXPECT_EQ(raised->text_colour, (Rgb{255, 0, 0}));
    EXPECT_EQ(raised->font.face, "icomoon");
    EXPECT_EQ(raised->font.pixel_height, 21);
    EXPECT_EQ(window.find_label("标签8")->font.weight, 700);
    EXPECT_EQ(window.find_label("标签9")->text_colour, (Rgb{0, 136, 255}));
    EXPECT_TRUE(window.find_label("标签5")->picture);

    const EditRow* reference = window.find_edit("编辑框1");
    EXPECT_TRUE(reference->multi_line && reference->read_only && reference->upper_case);
    EXPECT_EQ(reference->alignment, Alignment::Centre);
    EXPECT_EQ(reference->font.face, "微软雅黑");
    EXPECT_EQ(window.find_edit("编辑框4")->alignment, Alignment::Left);
    EXPECT_EQ(window.find_edit("编辑框2")->alignment, Alignment::Centre);
    EXPECT_FALSE(window.find_edit("编辑框3")->read_only);
}

TEST_F(StartWindowDefinition, FocusOrderIsTheReverseDefinitionOrderOfTabStops) {
    const std::vector<std::string_view> expected = {
        "超文本浏览框1", "按钮1", "编辑框2", "编辑框1", "编辑框4",
        "编辑框3",       "按钮2", "按钮3",   "按钮4",   "按钮5",
    };
    EXPECT_EQ(focus_order(window), expected);
}

TEST(CentredOrigin, CentresByOuterSizeWithTruncatingSignedDivision) {
    struct Case {
        const char* name;
        int screen_width, screen_height;
        Point expected;
    };
    const Case cases[] = {
        {"full HD", 1920, 1080, {429, 185}},
        {"XGA, partly off the left edge", 1024, 768, {-18, 29}},
        {"odd remainder truncates toward zero", 1062, 711, {0, 0}},
        {"negative odd remainder truncates toward zero", 1058, 707, {-1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(centred_origin(c.screen_width, c.screen_height, 1061, 710), c.expected);
    }
}

}  // namespace
}  // namespace quavik
