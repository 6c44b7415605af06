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
    }

    // The view outlives the engine (its parent deletes it afterwards): it must not call back.
    ~WebKitEngine() override {
        view_->Unbind(wxEVT_WEBVIEW_NAVIGATING, &WebKitEngine::on_navigating, this);
        view_->Unbind(wxEVT_WEBVIEW_NEWWINDOW, &WebKitEngine::on_new_window, this);
        view_->Unbind(wxEVT_WEBVIEW_ERROR, &WebKitEngine::on_error, this);
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
        if (!is_web_address(url) && url.rfind("about:", 0) != 0 && !url.empty()) {
            event.Veto();
        }
    }

    void on_new_window(wxWebViewEvent& event) {
        // A page that asks for a new window is shown in this view.
        load(event.GetURL());
    }

    void on_error(wxWebViewEvent& event) {
        // A load replaced by a newer one is no failure; our own page never fails.
        const std::string url = from_wx(event.GetURL());
        if (event.GetInt() == wxWEBVIEW_NAV_ERR_USER_CANCELLED || !is_web_address(url)) {
            return;
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
        // Shown once the engine has finished with the failed load.
        view_->CallAfter([view = view_, page = to_wx(load_error_page(url, reason))] {
            view->SetPage(page, "about:blank");
        });
    }

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
