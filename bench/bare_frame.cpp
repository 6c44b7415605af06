// The start-up baseline: a bare wxWidgets frame of the program's size with one painted child,
// reporting its first paint the same way the program does under QUAVIK_TRACE_STARTUP.
#include <wx/wx.h>

#include <chrono>
#include <cstdio>

namespace {

class BareApp : public wxApp {
public:
    bool OnInit() override {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "bare", wxDefaultPosition, wxSize(1061, 710),
                                  wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX);
        auto* child = new wxWindow(frame, wxID_ANY, wxPoint(216, 80), wxSize(64, 56));
        child->Bind(wxEVT_PAINT, [this, child](wxPaintEvent&) {
            wxPaintDC dc(child);
            dc.SetBackground(*wxLIGHT_GREY_BRUSH);
            dc.Clear();
            painted_ = true;
        });
        child->Bind(wxEVT_IDLE, [this](wxIdleEvent& event) {
            event.Skip();
            if (painted_ && !reported_) {
                reported_ = true;
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::fprintf(stderr, "bare: first paint at %lld ns\n",
                             static_cast<long long>(
                                 std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fflush(stderr);
            }
        });
        frame->Bind(wxEVT_CHAR_HOOK, [frame](wxKeyEvent& event) {
            if (event.GetKeyCode() == WXK_ESCAPE) {
                frame->Close();
            }
            event.Skip();
        });
        frame->Centre();
        frame->Show();
        return true;
    }

private:
    bool painted_ = false;
    bool reported_ = false;
};

}  // namespace

wxIMPLEMENT_APP(BareApp);
