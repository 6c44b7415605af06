// The browser engine module: wxWebView over WebKitGTK, limited to web addresses, with a short
// page of our own when a load fails.
#include <wx/webview.h>

#include <string>

#include "platform/wx/web_engine.h"
#include "ui/web_page.h"

namespace quavik::wx {

namespace {

wxString to_wx(std::string_view text) { return wxString::FromUTF8(text.data(), text.size()); }
std::string from_wx(const wxString& text) { return text.utf8_string(); }

class WebKitEngine : public WebEngine {
public:
    explicit WebKitEngine(wxWebView* view) : view_(view) {
        view_->Bind(wxEVT_WEBVIEW_NAVIGATING, &WebKitEngine::on_navigating, this);
        view_->Bind(wxEVT_WEBVIEW_NEWWINDOW, &WebKitEngine::on_new_window, this);
        view_->Bind(wxEVT_WEBVIEW_ERROR, &WebKitEngine::on_error, this);
        view_->Bind(wxEVT_WEBVIEW_LOADED, &WebKitEngine::on_loaded, this);
    }

    // The view outlives the engine (its parent deletes it afterwards): it must not call back.
    ~WebKitEngine() override {
        view_->Unbind(wxEVT_WEBVIEW_NAVIGATING, &WebKitEngine::on_navigating, this);
        view_->Unbind(wxEVT_WEBVIEW_NEWWINDOW, &WebKitEngine::on_new_window, this);
        view_->Unbind(wxEVT_WEBVIEW_ERROR, &WebKitEngine::on_error, this);
        view_->Unbind(wxEVT_WEBVIEW_LOADED, &WebKitEngine::on_loaded, this);
    }

    wxWindow* window() override { return view_; }
    void load(const wxString& url) override {
        if (is_web_address(from_wx(url))) {
            view_->LoadURL(url);
        }
    }
    wxString title() const override { return view_->GetCurrentTitle(); }
    wxString source() const override { return view_->GetPageSource(); }
    int text_size_level() const override { return static_cast<int>(view_->GetZoom()); }

private:
    void on_navigating(wxWebViewEvent& event) {
        // Only web pages, and the page of our own that explains a failed load.
        const std::string url = from_wx(event.GetURL());
        if (is_web_address(url)) {
            error_page_.clear();  // a new page replaces any failure still to be shown
        } else if (url.rfind("about:", 0) != 0 && !url.empty()) {
            event.Veto();
        }
    }

    void on_new_window(wxWebViewEvent& event) {
        // A page that asks for a new window is shown in this view.
        load(event.GetURL());
    }

    void on_error(wxWebViewEvent& event) {
        const std::string url = from_wx(event.GetURL());
        if (!is_web_address(url)) {
            // Our own page was cancelled by the engine's own error page: show it again.
            show_error_page_later();
            return;
        }
        if (event.GetInt() == wxWEBVIEW_NAV_ERR_USER_CANCELLED) {
            return;  // a load replaced by a newer one is no failure
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
        failed_url_ = event.GetURL();
        error_page_ = to_wx(load_error_page(url, reason));
        error_page_attempts_ = 0;
        show_error_page_later();
    }

    void on_loaded(wxWebViewEvent& event) {
        // The engine's own error page for the failed address came after ours.
        if (!error_page_.empty() && event.GetURL() == failed_url_) {
            show_error_page_later();
        }
    }

    // The engine answers a failed load with an error page of its own, which may land before or
    // after ours; ours is set again whenever the engine's replaced it, a few times at most.
    void show_error_page_later() {
        constexpr int kMaxAttempts = 5;
        if (error_page_.empty() || error_page_attempts_ >= kMaxAttempts) {
            return;
        }
        ++error_page_attempts_;
        view_->CallAfter([this] {
            if (!error_page_.empty()) {
                view_->SetPage(error_page_, "about:blank");
            }
        });
    }

    wxString failed_url_;
    wxString error_page_;  // our page for the last failed load, until the next web address
    int error_page_attempts_ = 0;
    wxWebView* view_;
};

}  // namespace

}  // namespace quavik::wx

extern "C" __attribute__((visibility("default"))) quavik::wx::WebEngine* quavik_create_web_engine(
    wxWindow* parent, int text_size_level) {
    wxWebView* view =
        wxWebView::New(parent, wxID_ANY, wxString(), wxPoint(0, 0), parent->GetClientSize());
    if (view == nullptr) {
        return nullptr;
    }
    // The text size applies to text only; offline mode and silent mode stay off: the engine
    // goes to the network and may show its own dialogs.
    if (view->CanSetZoomType(wxWEBVIEW_ZOOM_TYPE_TEXT)) {
        view->SetZoomType(wxWEBVIEW_ZOOM_TYPE_TEXT);
    }
    view->SetZoom(static_cast<wxWebViewZoom>(text_size_level));
    return new quavik::wx::WebKitEngine(view);
}
