// The start window on the real toolkit: units in place, the reference box, focus and keys.
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "reference/reference_text.h"

namespace quavik::testing {
namespace {

class WindowGuiTest : public ::testing::Test {
protected:
    StartWindow window;
    wx::MainFrame& frame = window.frame();

    void SetUp() override {
        ASSERT_TRUE(wait_for([&] { return frame.IsShown() && frame.IsActive(); }))
            << "the window was not shown and activated";
    }

    bool focus_reaches(std::string_view unit) {
        return wait_for([&] { return frame.focused_unit() == unit; });
    }

    void press(int key, int modifiers = wxMOD_NONE) {
        wxUIActionSimulator simulator;
        simulator.Char(key, modifiers);
    }
};

TEST_F(WindowGuiTest, EveryUnitStandsAtItsPlaceWithItsSize) {
    const WindowDefinition& definition =
        window.program().frame.definitions->start_window;
    for (const UnitRow& row : definition.units) {
        SCOPED_TRACE(std::string(row.name));
        wxWindow* unit = frame.unit(row.name);
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(unit->GetParent(), &frame);
        EXPECT_EQ(unit->GetPosition(), wxPoint(row.rect.left, row.rect.top));
        EXPECT_EQ(unit->GetSize(), wxSize(row.rect.width, row.rect.height));
        EXPECT_TRUE(unit->IsShown());
    }
    EXPECT_FALSE(frame.HasFlag(wxRESIZE_BORDER));
    EXPECT_FALSE(frame.HasFlag(wxMAXIMIZE_BOX));
    EXPECT_TRUE(frame.HasFlag(wxMINIMIZE_BOX));
    EXPECT_TRUE(frame.HasFlag(wxSYSTEM_MENU));
    EXPECT_TRUE(frame.GetIcon().IsOk());
}

TEST_F(WindowGuiTest, ReferenceBoxShowsTheWholeTextReadOnlyFromTheStart) {
    auto* box = dynamic_cast<wxTextCtrl*>(frame.unit("编辑框1"));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->IsEditable());
    EXPECT_TRUE(box->IsMultiLine());
    EXPECT_EQ(box->GetInsertionPoint(), 0);
    EXPECT_EQ(frame.read_text("编辑框1"), build_reference_text());

    // Selecting all of it and copying yields exactly the reference text.
    box->SetFocus();
    box->SelectAll();
    box->Copy();
    std::string copied;
    ASSERT_TRUE(wait_for([&] {
        if (!wxTheClipboard->Open()) {
            return false;
        }
        wxTextDataObject data;
        const bool got = wxTheClipboard->GetData(data);
        wxTheClipboard->Close();
        copied = got ? wx::from_wx(data.GetText()) : std::string();
        return got && !copied.empty();
    }));
    EXPECT_EQ(copied, build_reference_text());
}

TEST_F(WindowGuiTest, FocusStartsInTheHtmlViewAndTabWalksTheFocusOrder) {
    ASSERT_TRUE(focus_reaches("超文本浏览框1"));
    const std::vector<std::string_view> order = {
        "按钮1",   "编辑框2", "编辑框1", "编辑框4", "编辑框3",
        "按钮2",   "按钮3",   "按钮4",   "按钮5",   "超文本浏览框1",
    };
    for (std::string_view next : order) {
        press(WXK_TAB);
        EXPECT_TRUE(focus_reaches(next)) << "Tab did not reach " << next << ", focus is on "
                                         << frame.focused_unit();
    }
    // Shift+Tab from the HTML view (no page yet) wraps the other way.
    press(WXK_TAB, wxMOD_SHIFT);
    EXPECT_TRUE(focus_reaches("按钮5")) << "focus is on " << frame.focused_unit();
    press(WXK_TAB, wxMOD_SHIFT);
    EXPECT_TRUE(focus_reaches("按钮4")) << "focus is on " << frame.focused_unit();
}

TEST_F(WindowGuiTest, EnterStartsNothingAndSpaceClicksTheFocusedButton) {
    frame.focus_unit("按钮1");
    ASSERT_TRUE(focus_reaches("按钮1"));
    press(WXK_RETURN);
    frame.focus_unit("编辑框2");
    ASSERT_TRUE(focus_reaches("编辑框2"));
    press(WXK_RETURN);
    // Let any click the keys might have caused arrive before looking.
    wait_for([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_TRUE(window.fakes().message_box.shown.empty()) << "Enter started a search";
    EXPECT_TRUE(window.fakes().http.requests.empty());

    frame.focus_unit("按钮1");
    ASSERT_TRUE(focus_reaches("按钮1"));
    press(' ');
    // The search with empty boxes is refused with a message.
    EXPECT_TRUE(wait_for([&] { return !window.fakes().message_box.shown.empty(); }))
        << "space did not click 开始选号";
}

TEST_F(WindowGuiTest, EscFromAnEditBoxClosesTheWindow) {
    frame.focus_unit("编辑框3");
    ASSERT_TRUE(focus_reaches("编辑框3"));
    press(WXK_ESCAPE, wxMOD_SHIFT);
    wait_for([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_TRUE(g_gui->any_window_exists()) << "Shift+Esc closed the window";
    press(WXK_ESCAPE);
    EXPECT_TRUE(wait_for([] { return !g_gui->any_window_exists(); }));
}

TEST_F(WindowGuiTest, FocusComesBackToItsUnitWhenTheWindowIsReactivated) {
    frame.focus_unit("编辑框4");
    ASSERT_TRUE(focus_reaches("编辑框4"));
    auto* other = new wxFrame(nullptr, wxID_ANY, "other", wxPoint(0, 0), wxSize(200, 100));
    other->Show();
    other->Raise();
    ASSERT_TRUE(wait_for([&] { return other->IsActive() && !frame.IsActive(); }));
    other->Destroy();
    frame.Raise();
    ASSERT_TRUE(wait_for([&] { return frame.IsActive(); }));
    EXPECT_TRUE(focus_reaches("编辑框4")) << "focus is on " << frame.focused_unit();
}

TEST_F(WindowGuiTest, ButtonsAreOrdinaryPushButtonsWithoutADefault) {
    for (std::string_view name : {"按钮1", "按钮2", "按钮3", "按钮4", "按钮5"}) {
        SCOPED_TRACE(std::string(name));
        auto* button = dynamic_cast<wxButton*>(frame.unit(name));
        ASSERT_NE(button, nullptr);
        EXPECT_NE(frame.GetDefaultItem(), button);
    }
    EXPECT_EQ(frame.read_text("按钮1"), "开始选号");
    EXPECT_EQ(frame.read_text("按钮2"), "检测更新");
    EXPECT_EQ(frame.read_text("标签7"), "靓号类型要大写哦~");
}

}  // namespace
}  // namespace quavik::testing
