#include "platform/wx/wx_gui.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/thread.h>
#include <wx/utils.h>

#include <optional>
#include <thread>

#include "platform/wx/main_frame.h"
#include "platform/wx/units.h"
#include "ui/web_page.h"

extern const unsigned char kBadgePng[];
extern const std::size_t kBadgePng_size;
extern const unsigned char kIconPng[];
extern const std::size_t kIconPng_size;

namespace quavik::wx {

namespace {

class QuavikApp : public wxApp {
public:
    bool OnInit() override {
        // The frame decides when the program ends: only when the last window is gone while
        // the event loop runs.
        SetExitOnFrameDelete(false);
        return true;
    }
};

wxIcon make_icon() {
    const auto decoded = decode_png({kIconPng, kIconPng_size});
    if (!decoded) {
        return wxNullIcon;
    }
    wxImage image(decoded->width, decoded->height);
    image.InitAlpha();
    for (int i = 0; i < decoded->width * decoded->height; ++i) {
        image.GetData()[i * 3] = decoded->pixels[i * 4];
        image.GetData()[i * 3 + 1] = decoded->pixels[i * 4 + 1];
        image.GetData()[i * 3 + 2] = decoded->pixels[i * 4 + 2];
        image.GetAlpha()[i] = decoded->pixels[i * 4 + 3];
    }
    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap(image));
    return icon;
}

// The message box's text uses CR LF between lines; the toolkit wants LF.
wxString message_text(std::string_view text) {
    wxString converted = to_wx(text);
    converted.Replace("\r\n", "\n");
    return converted;
}

}  // namespace

WxGui::WxGui(int& argc, char** argv) {
    wxApp::SetInstance(new QuavikApp());
    ok_ = wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
}

WxGui::~WxGui() { release(); }

Window* WxGui::build_window(const WindowDefinition& definition, EventSink& events) {
    if (!ok_) {
        return nullptr;
    }
    badge_ = decode_png({kBadgePng, kBadgePng_size});
    frame_ = new MainFrame(definition, events, badge_ ? &*badge_ : nullptr);
    if (!frame_->GetHandle()) {
        return nullptr;
    }
    frame_->SetIcon(make_icon());
    if (!frame_->build_units()) {
        frame_->Destroy();
        frame_ = nullptr;
        return nullptr;
    }
    window_ = std::make_unique<WxWindow>(frame_);
    return window_.get();
}

void WxGui::process_pending_messages() {
    if (ok_ && wxTheApp != nullptr) {
        wxTheApp->ProcessPendingEvents();
        while (wxTheApp->Pending()) {
            wxTheApp->Dispatch();
        }
    }
}

bool WxGui::any_window_exists() const { return window_ && window_->exists(); }

void WxGui::run_message_loop() {
    if (ok_) {
        wxTheApp->OnRun();
    }
}

void WxGui::post_quit(int) {
    if (ok_ && wxTheApp != nullptr) {
        wxTheApp->ExitMainLoop();
    }
}

void WxGui::release() {
    if (released_ || !ok_) {
        return;
    }
    released_ = true;
    wxTheApp->OnExit();
    wxEntryCleanup();
}

void show_fatal_error(std::string_view message) {
    if (wxTheApp != nullptr && wxThread::IsMain()) {
        wxMessageBox(message_text(message), to_wx("致命错误"), wxOK | wxICON_ERROR);
    }
}

int WxMessageBoxes::show_message_box(std::string_view text, std::string_view caption,
                                     unsigned flags) {
    long style = (flags & 0x0F) == mb::kYesNo ? wxYES_NO : wxOK;
    switch (flags & 0xF0) {
        case mb::kIconError: style |= wxICON_ERROR; break;
        case mb::kIconQuestion: style |= wxICON_QUESTION; break;
        case mb::kIconWarning: style |= wxICON_WARNING; break;
        case mb::kIconInformation: style |= wxICON_INFORMATION; break;
        default: break;
    }
    // Modal to the whole program: while it is up, the window takes no clicks.
    wxMessageDialog dialog(gui_.frame(), message_text(text), to_wx(caption), style);
    switch (dialog.ShowModal()) {
        case wxID_YES: return mb::kResultYes;
        case wxID_NO: return mb::kResultNo;
        default: return mb::kResultOk;
    }
}

bool WxShell::open_url_in_browser(std::string_view url) {
    // Nothing but web addresses reaches the shell.
    if (!is_web_address(url)) {
        return false;
    }
    return wxLaunchDefaultBrowser(to_wx(url));
}

void WxThreads::run_on_new_thread(std::function<void(int)> routine, int argument) {
    std::thread([routine = std::move(routine), argument] { routine(argument); }).detach();
}

void WxThreads::post_to_main_thread(std::function<void()> task) {
    if (wxTheApp != nullptr) {
        wxTheApp->CallAfter([task = std::move(task)] { task(); });
    }
}

}  // namespace quavik::wx
