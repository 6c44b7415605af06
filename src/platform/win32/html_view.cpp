#include "html_view.h"

#include <exdispid.h>

#include <string>

#include "ui/web_page.h"

namespace quavik::win32 {

namespace {

// A wide copy of a text of the program's code page, for the browser's BSTRs.
std::wstring to_wide(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(kProgramCodePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0) {
        MultiByteToWideChar(kProgramCodePage, 0, text.data(), size, wide.data(), units);
    }
    return wide;
}

std::string from_wide(const wchar_t* text) {
    if (text == nullptr || *text == L'\0') {
        return {};
    }
    const int size =
        WideCharToMultiByte(kProgramCodePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    if (size > 0) {
        WideCharToMultiByte(kProgramCodePage, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    }
    narrow.resize(narrow.find('\0'));
    return narrow;
}

// The BSTR a browser event argument carries, directly or by reference.
const wchar_t* event_text(const VARIANT& argument) {
    const VARIANT* value = &argument;
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal != nullptr) {
        value = value->pvarVal;
    }
    if (value->vt == VT_BSTR) {
        return value->bstrVal;
    }
    if (value->vt == (VT_BYREF | VT_BSTR) && value->pbstrVal != nullptr) {
        return *value->pbstrVal;
    }
    return nullptr;
}

void cancel(const VARIANT& argument) {
    if (argument.vt == (VT_BYREF | VT_BOOL) && argument.pboolVal != nullptr) {
        *argument.pboolVal = VARIANT_TRUE;
    }
}

}  // namespace

BrowserHost* BrowserHost::create(HWND container) {
    auto* host = new BrowserHost(container);
    if (!host->start()) {
        host->close();
        host->Release();
        return nullptr;
    }
    return host;
}

bool BrowserHost::start() {
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&object_))) ||
        object_ == nullptr) {
        object_ = nullptr;
        return false;
    }
    if (FAILED(object_->SetClientSite(this))) {
        return false;
    }
    OleSetContainedObject(object_, TRUE);
    RECT area;
    GetClientRect(container_, &area);
    if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, container_, &area))) {
        return false;
    }
    if (FAILED(object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_))) ||
        browser_ == nullptr) {
        browser_ = nullptr;
        return false;
    }
    // The browser goes to the network and may show its own dialogs, script errors among them.
    browser_->put_Offline(VARIANT_FALSE);
    browser_->put_Silent(VARIANT_FALSE);

    IConnectionPointContainer* points = nullptr;
    if (SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer,
                                           reinterpret_cast<void**>(&points))) &&
        points != nullptr) {
        if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &events_)) &&
            events_ != nullptr) {
            if (FAILED(events_->Advise(static_cast<IDispatch*>(this), &events_cookie_))) {
                events_->Release();
                events_ = nullptr;
            }
        } else {
            events_ = nullptr;
        }
        points->Release();
    }
    return true;
}

void BrowserHost::navigate(std::string_view url) {
    // Without the browser's events, nothing could hold a page's own navigation to web pages;
    // the program's own addresses are checked here in any case.
    if (browser_ == nullptr || !is_web_address(url)) {
        return;
    }
    BSTR address = SysAllocString(to_wide(url).c_str());
    if (address == nullptr) {
        return;
    }
    VARIANT empty;
    VariantInit(&empty);
    browser_->Navigate(address, &empty, &empty, &empty, &empty);
    SysFreeString(address);
    apply_text_size();
}

void BrowserHost::apply_text_size() {
    // The zoom applies to the document loaded; it is set again whenever a page is complete.
    if (browser_ == nullptr) {
        return;
    }
    VARIANT level;
    VariantInit(&level);
    level.vt = VT_I4;
    level.lVal = kTextSizeLevel;
    browser_->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &level, nullptr);
}

void BrowserHost::take_focus() {
    if (object_ == nullptr) {
        return;
    }
    RECT area;
    GetClientRect(container_, &area);
    object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, this, 0, container_, &area);
}

bool BrowserHost::contains(HWND window) const {
    return object_ != nullptr && window != nullptr && IsChild(container_, window);
}

bool BrowserHost::translate_key(MSG& message) {
    if (object_ == nullptr) {
        return false;
    }
    IOleInPlaceActiveObject* active = nullptr;
    if (FAILED(object_->QueryInterface(IID_IOleInPlaceActiveObject,
                                       reinterpret_cast<void**>(&active))) ||
        active == nullptr) {
        return false;
    }
    const bool taken = active->TranslateAccelerator(&message) == S_OK;
    active->Release();
    return taken;
}

void BrowserHost::close() {
    if (events_ != nullptr) {
        events_->Unadvise(events_cookie_);
        events_->Release();
        events_ = nullptr;
    }
    if (browser_ != nullptr) {
        browser_->Stop();
        browser_->Release();
        browser_ = nullptr;
    }
    if (object_ != nullptr) {
        IOleInPlaceObject* in_place = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject,
                                              reinterpret_cast<void**>(&in_place))) &&
            in_place != nullptr) {
            in_place->InPlaceDeactivate();
            in_place->Release();
        }
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_->Release();
        object_ = nullptr;
    }
}

HRESULT STDMETHODCALLTYPE BrowserHost::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
        *object = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
        *object = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
        *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
        *object = static_cast<IDispatch*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE BrowserHost::AddRef() {
    return ++references_;
}

ULONG STDMETHODCALLTYPE BrowserHost::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE BrowserHost::SaveObject() {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE BrowserHost::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker != nullptr) {
        *moniker = nullptr;
    }
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE BrowserHost::GetContainer(IOleContainer** container) {
    if (container != nullptr) {
        *container = nullptr;
    }
    return E_NOINTERFACE;
}
HRESULT STDMETHODCALLTYPE BrowserHost::ShowObject() {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::OnShowWindow(BOOL) {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::RequestNewObjectLayout() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BrowserHost::GetWindow(HWND* window) {
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = container_;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BrowserHost::CanInPlaceActivate() {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::OnInPlaceActivate() {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::OnUIActivate() {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::GetWindowContext(IOleInPlaceFrame** frame,
                                                        IOleInPlaceUIWindow** document,
                                                        LPRECT position, LPRECT clip,
                                                        LPOLEINPLACEFRAMEINFO info) {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
        info == nullptr) {
        return E_POINTER;
    }
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    GetClientRect(container_, position);
    GetClientRect(container_, clip);
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(container_, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::Scroll(SIZE) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE BrowserHost::OnUIDeactivate(BOOL) {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::OnInPlaceDeactivate() {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::DiscardUndoState() {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE BrowserHost::DeactivateAndUndo() {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE BrowserHost::OnPosRectChange(LPCRECT position) {
    // The view never moves, but the browser may ask; it gets the rectangle it asked for.
    if (object_ == nullptr || position == nullptr) {
        return S_OK;
    }
    IOleInPlaceObject* in_place = nullptr;
    if (SUCCEEDED(
            object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&in_place))) &&
        in_place != nullptr) {
        in_place->SetObjectRects(position, position);
        in_place->Release();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BrowserHost::GetBorder(LPRECT) {
    return INPLACE_E_NOTOOLSPACE;
}
HRESULT STDMETHODCALLTYPE BrowserHost::RequestBorderSpace(LPCBORDERWIDTHS) {
    return INPLACE_E_NOTOOLSPACE;
}
HRESULT STDMETHODCALLTYPE BrowserHost::SetBorderSpace(LPCBORDERWIDTHS) {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BrowserHost::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::SetMenu(HMENU, HOLEMENU, HWND) {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::RemoveMenus(HMENU) {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::SetStatusText(LPCOLESTR) {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::EnableModeless(BOOL) {
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::TranslateAccelerator(LPMSG, WORD) {
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE BrowserHost::GetTypeInfoCount(UINT* count) {
    if (count != nullptr) {
        *count = 0;
    }
    return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserHost::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE BrowserHost::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BrowserHost::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                              VARIANT*, EXCEPINFO*, UINT*) {
    // Arguments stand in reverse order in rgvarg.
    const auto argument = [parameters](UINT index_from_last) -> const VARIANT* {
        if (parameters == nullptr || parameters->rgvarg == nullptr ||
            index_from_last >= parameters->cArgs) {
            return nullptr;
        }
        return &parameters->rgvarg[index_from_last];
    };
    switch (id) {
        case DISPID_BEFORENAVIGATE2: {
            // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel): only web pages,
            // and the browser's own blank page.
            const VARIANT* url = argument(5);
            const VARIANT* stop = argument(0);
            if (url != nullptr && stop != nullptr) {
                const std::string address = from_wide(event_text(*url));
                if (!is_web_address(address) && address != "about:blank") {
                    cancel(*stop);
                }
            }
            break;
        }
        case DISPID_NEWWINDOW2: {
            // (ppDisp, Cancel): no window of the browser's own.
            if (const VARIANT* stop = argument(0)) {
                cancel(*stop);
            }
            break;
        }
        case DISPID_NEWWINDOW3: {
            // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl): a page that asks for a new
            // window is shown in this view instead.
            const VARIANT* stop = argument(3);
            const VARIANT* url = argument(0);
            if (stop != nullptr) {
                cancel(*stop);
            }
            if (url != nullptr) {
                navigate(from_wide(event_text(*url)));
            }
            break;
        }
        case DISPID_DOCUMENTCOMPLETE:
            apply_text_size();
            break;
        default:
            break;
    }
    return S_OK;
}

}  // namespace quavik::win32
