#pragma once
// The browser engine behind the HTML view. It lives in a module of its own, loaded with the
// first address, so a window that never searches neither maps the engine's libraries nor
// starts its processes.
#include <wx/string.h>
#include <wx/window.h>

namespace quavik::wx {

class WebEngine {
public:
    virtual ~WebEngine() = default;
    // The engine's window, a child of the view it was created in, filling it.
    virtual wxWindow* window() = 0;
    // Navigates to a web address; anything else is refused.
    virtual void load(const wxString& url) = 0;
    virtual wxString title() const = 0;
    virtual wxString source() const = 0;
    // The text size level on the browser's 0..4 scale.
    virtual int text_size_level() const = 0;
};

// The module's one entry point: creates the engine inside `parent` with the given text size
// level, or returns nullptr.
using CreateWebEngine = WebEngine* (*)(wxWindow* parent, int text_size_level);
inline constexpr const char* kCreateWebEngineSymbol = "quavik_create_web_engine";
inline constexpr const char* kWebEngineModuleName = "quavik-webview.so";

}  // namespace quavik::wx
