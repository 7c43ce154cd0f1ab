// win32_web_browser.cpp: the system's web browser control in a pane.
//
// The control is an OLE object embedded in place: we are its client site, its
// in-place site and frame, and answer its ambient-property questions (through
// the site's IDispatch) with "no such property". It needs the window thread's
// single-threaded apartment and raises its events only while messages are
// pumped, some of them (BeforeNavigate2) inside Navigate itself; so the events
// are queued and handed to the pane from the message loop.
#include "platform/win32/win32_web_browser.h"

#include <ole2.h>
// ole2 first: the browser headers need its types.
#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>

#include <deque>
#include <exception>
#include <utility>

#include "platform/win32/win32_platform.h"

namespace mj::platform::win32 {

PageLoadWatch::Report PageLoadWatch::error() {
    if (state_ == State::Failed) return Report::None;
    state_ = State::Failed;
    return Report::Failed;
}

PageLoadWatch::Report PageLoadWatch::complete() {
    if (state_ == State::Failed || state_ == State::Idle) return Report::None;
    state_ = State::Complete;
    return Report::Complete;
}

PageLoadWatch::Report PageLoadWatch::timeout() {
    if (state_ != State::Loading) return Report::None;
    state_ = State::Failed;
    return Report::Failed;
}

void BrowserPanes::follow(const ui::Form& form) {
    for (WebBrowserPane* p : live_) {
        const ui::Control* pane = p->pane();
        if (pane && const_cast<ui::Control*>(pane)->form() == &form) p->follow();
    }
}

WebBrowserOptions defaultWebBrowserOptions() {
    WebBrowserOptions o;
    o.control = CLSID_WebBrowser;
    return o;
}

namespace {

constexpr wchar_t PaneClass[] = L"MjBrowserPane";
constexpr UINT DeliverMessage = WM_APP + 0x31;
constexpr UINT_PTR BoundTimer = 1;

// A COM pointer released when it goes.
template <class T>
struct Com {
    T* p = nullptr;
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() { reset(); }
    void reset() {
        if (p) p->Release();
        p = nullptr;
    }
    T** out() {
        reset();
        return &p;
    }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

// A BSTR freed when it goes.
struct Bstr {
    BSTR s = nullptr;
    explicit Bstr(const std::wstring& w) : s(SysAllocStringLen(w.data(), static_cast<UINT>(w.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(s); }
};

// An event argument, looking through a by-reference variant.
const VARIANT* argument(const DISPPARAMS* params, UINT fromLast) {
    if (!params || fromLast >= params->cArgs) return nullptr;
    const VARIANT* v = &params->rgvarg[params->cArgs - 1 - fromLast];
    if (V_VT(v) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(v)) v = V_VARIANTREF(v);
    return v;
}

std::string textOf(const VARIANT* v) {
    if (!v) return {};
    if (V_VT(v) == VT_BSTR && V_BSTR(v)) return narrow(V_BSTR(v));
    if (V_VT(v) == (VT_BSTR | VT_BYREF) && V_BSTRREF(v) && *V_BSTRREF(v)) return narrow(*V_BSTRREF(v));
    return {};
}

int numberOf(const VARIANT* v) {
    if (!v) return 0;
    switch (V_VT(v)) {
    case VT_I4:
        return static_cast<int>(V_I4(v));
    case VT_I4 | VT_BYREF:
        return V_I4REF(v) ? static_cast<int>(*V_I4REF(v)) : 0;
    case VT_UI4:
        return static_cast<int>(V_UI4(v));
    default:
        return 0;
    }
}

}  // namespace

struct WebBrowserPane::Impl : public IOleClientSite,
                              public IOleInPlaceSite,
                              public IOleInPlaceFrame,
                              public IDocHostUIHandler,
                              public IDispatch {
    // The control's events arrive here.
    struct Events : public IDispatch {
        Impl& owner;
        explicit Events(Impl& o) : owner(o) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
            if (!out) return E_POINTER;
            if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2) {
                *out = static_cast<IDispatch*>(this);
                return S_OK;
            }
            *out = nullptr;
            return E_NOINTERFACE;
        }
        // Owned by the pane; the control's references only count.
        ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
        HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
            if (n) *n = 0;
            return S_OK;
        }
        HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                         UINT*) override {
            owner.event(id, params);
            return S_OK;
        }
    };

    enum class Kind { DownloadComplete, DocumentComplete, NavigateError };
    struct Pending {
        Kind kind;
        std::string url;
        int status = 0;
    };

    WebBrowserPane& self;
    WebBrowserOptions options;
    Events events{*this};
    // The child window the control sits in.
    HWND hwnd = nullptr;
    // Where the queued events and the bound's timer arrive, whether or not
    // the control could be made.
    HWND messages = nullptr;
    bool oleJoined = false;
    bool tried = false;
    Com<IOleObject> object;
    Com<IOleInPlaceObject> inPlace;
    Com<IWebBrowser2> web;
    Com<IConnectionPoint> point;
    DWORD cookie = 0;
    PageLoadWatch watch;
    std::string url;
    std::deque<Pending> queue;
    RECT placed{};
    bool shown = false;

    Impl(WebBrowserPane& s, WebBrowserOptions o) : self(s), options(o) {
        registerClass();
        messages = CreateWindowExW(0, PaneClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                   nullptr);
        if (messages) SetWindowLongPtrW(messages, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Impl() {
        release();
        if (messages) {
            SetWindowLongPtrW(messages, GWLP_USERDATA, 0);
            DestroyWindow(messages);
        }
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    [[nodiscard]] bool hosting() const { return static_cast<bool>(web); }

    // ---------------------------------------------------------- making it

    static void registerClass() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Impl::wndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = PaneClass;
        RegisterClassW(&wc);  // fails harmlessly when registered already
    }

    // The child window over the pane, then the control in it. Once: a control
    // that cannot be made is not asked for again.
    void create() {
        if (tried) return;
        ui::Control* pane = self.pane_;
        ui::Form* form = pane ? pane->form() : nullptr;
        const HWND parent = form ? reinterpret_cast<HWND>(form->windowHandle) : nullptr;
        if (!parent) return;  // asked again once the form has its window
        tried = true;
        hwnd = CreateWindowExW(0, PaneClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 1, 1, parent,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!hwnd) {
            self.process_.log("browser: no pane window (error " + std::to_string(GetLastError()) + ")");
            return;
        }
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        const HRESULT ole = OleInitialize(nullptr);
        oleJoined = SUCCEEDED(ole);
        const HRESULT hr = embed();
        if (FAILED(hr)) {
            self.process_.log("browser: the web browser control cannot be hosted (" + hex(hr) + "); no page is shown");
            release();
            return;
        }
        self.process_.log("browser: web browser control hosted");
    }

    static std::string hex(HRESULT hr) {
        char b[16];
        snprintf(b, sizeof b, "0x%08lX", static_cast<unsigned long>(hr));
        return b;
    }

    HRESULT embed() {
        HRESULT hr = CoCreateInstance(options.control, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                      IID_IOleObject, reinterpret_cast<void**>(object.out()));
        if (FAILED(hr)) return hr;
        hr = object->SetClientSite(static_cast<IOleClientSite*>(this));
        if (FAILED(hr)) return hr;
        (void)OleSetContainedObject(object.p, TRUE);
        RECT r{0, 0, 1, 1};
        GetClientRect(hwnd, &r);
        hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, hwnd, &r);
        if (FAILED(hr)) return hr;
        hr = object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(inPlace.out()));
        if (FAILED(hr)) return hr;
        hr = object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(web.out()));
        if (FAILED(hr)) return hr;
        (void)web->put_Silent(VARIANT_TRUE);  // no script-error or security dialogs over the table
        Com<IConnectionPointContainer> points;
        hr = object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(points.out()));
        if (FAILED(hr)) return hr;
        hr = points->FindConnectionPoint(DIID_DWebBrowserEvents2, point.out());
        if (FAILED(hr)) return hr;
        return point->Advise(static_cast<IDispatch*>(&events), &cookie);
    }

    void release() {
        KillTimer(messages, BoundTimer);
        if (point && cookie) point->Unadvise(cookie);
        cookie = 0;
        point.reset();
        web.reset();
        inPlace.reset();
        if (object) {
            object->Close(OLECLOSE_NOSAVE);
            object->SetClientSite(nullptr);
        }
        object.reset();
        if (hwnd) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            if (IsWindow(hwnd)) DestroyWindow(hwnd);
            hwnd = nullptr;
        }
        if (oleJoined) OleUninitialize();
        oleJoined = false;
    }

    // ---------------------------------------------------------- loading

    void navigate(const std::string& address) {
        create();
        url = address;
        watch.start();
        if (!hosting()) return failLater(NoBrowserControl);
        if (address.empty()) {
            // Nothing to load: the pane would stay white until the bound.
            if (watch.error() == PageLoadWatch::Report::Failed) post({Kind::NavigateError, url, NoBrowserControl});
            return;
        }
        SetTimer(messages, BoundTimer, options.completionLimitMs, nullptr);
        const Bstr target(widen(address));
        VARIANT none;
        VariantInit(&none);
        const HRESULT hr = web->Navigate(target.s, &none, &none, &none, &none);
        if (FAILED(hr)) {
            self.process_.log("browser: navigate refused (" + hex(hr) + ")");
            if (watch.error() == PageLoadWatch::Report::Failed) post({Kind::NavigateError, url, static_cast<int>(hr)});
        }
    }

    // Without a control the page fails, from the message loop as a loading
    // page would.
    void failLater(int status) {
        self.process_.log("browser: navigate " + url + " (no page engine)");
        if (watch.error() == PageLoadWatch::Report::Failed) post({Kind::NavigateError, url, status});
    }

    void post(Pending p) {
        queue.push_back(std::move(p));
        PostMessageW(messages, DeliverMessage, 0, 0);
    }

    void event(DISPID id, DISPPARAMS* params) {
        switch (id) {
        case DISPID_BEFORENAVIGATE2:
            // Raised inside Navigate: nothing may happen here.
            break;
        case DISPID_DOWNLOADCOMPLETE:
            post({Kind::DownloadComplete, url, 0});
            break;
        case DISPID_DOCUMENTCOMPLETE:
            if (watch.complete() == PageLoadWatch::Report::Complete) {
                KillTimer(messages, BoundTimer);
                post({Kind::DocumentComplete, textOf(argument(params, 1)), 0});
            }
            break;
        case DISPID_NAVIGATEERROR: {
            const int status = numberOf(argument(params, 3));
            self.process_.log("browser: navigate error " + hex(static_cast<HRESULT>(status)) + " for " +
                              textOf(argument(params, 1)));
            if (watch.error() == PageLoadWatch::Report::Failed) {
                KillTimer(messages, BoundTimer);
                post({Kind::NavigateError, textOf(argument(params, 1)), status});
            }
            break;
        }
        default:
            break;
        }
    }

    void timedOut() {
        KillTimer(messages, BoundTimer);
        if (watch.timeout() != PageLoadWatch::Report::Failed) return;
        self.process_.log("browser: " + url + " did not load in time");
        if (web) (void)web->Stop();
        post({Kind::NavigateError, url, NavigationTimedOut});
    }

    // Hands the queued events to the pane's handlers; none may throw into the
    // window procedure.
    void deliver() {
        while (!queue.empty()) {
            const Pending p = std::move(queue.front());
            queue.pop_front();
            try {
                switch (p.kind) {
                case Kind::DownloadComplete:
                    if (self.onDownloadComplete) self.onDownloadComplete();
                    break;
                case Kind::DocumentComplete:
                    if (self.onDocumentComplete) self.onDocumentComplete(p.url);
                    break;
                case Kind::NavigateError:
                    if (self.onNavigateError) self.onNavigateError(p.url, p.status);
                    break;
                }
            } catch (...) {
                self.process_.log("browser: an event handler failed");
            }
        }
    }

    static LRESULT CALLBACK wndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
        auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (impl) {
            switch (msg) {
            case DeliverMessage:
                impl->deliver();
                return 0;
            case WM_TIMER:
                if (w == BoundTimer) {
                    impl->timedOut();
                    return 0;
                }
                break;
            case WM_DESTROY:
                // The form's window goes first at the end of the run: the
                // control is let go with it.
                if (impl->hwnd == h) impl->hwnd = nullptr;
                break;
            default:
                break;
            }
        }
        return DefWindowProcW(h, msg, w, l);
    }

    // ---------------------------------------------------------- placing

    void follow() {
        if (!hwnd) return;
        const ui::Control* pane = self.pane_;
        const ui::PixelRect r = pane ? pane->paintedRect() : ui::PixelRect{};
        const bool show = !r.empty();
        const RECT want{r.left, r.top, r.right, r.bottom};
        if (show && !EqualRect(&want, &placed)) {
            placed = want;
            SetWindowPos(hwnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
            RECT inside{0, 0, r.right - r.left, r.bottom - r.top};
            if (inPlace) inPlace->SetObjectRects(&inside, &inside);
        }
        if (show != shown) {
            shown = show;
            ShowWindow(hwnd, show ? SW_SHOWNA : SW_HIDE);
        }
    }

    // ---------------------------------------------------------- IUnknown

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
            *out = static_cast<IOleClientSite*>(this);
        } else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) {
            *out = static_cast<IOleInPlaceSite*>(this);
        } else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame) {
            *out = static_cast<IOleInPlaceFrame*>(this);
        } else if (riid == IID_IDocHostUIHandler) {
            *out = static_cast<IDocHostUIHandler*>(this);
        } else if (riid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
        } else {
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    // Owned by the pane, which outlives the control's references.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // ---------------------------------------------------------- IOleClientSite

    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** m) override {
        if (m) *m = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override {
        if (c) *c = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // ---------------------------------------------------------- IOleWindow

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = hwnd;
        return hwnd ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }

    // ---------------------------------------------------------- IOleInPlaceSite

    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        if (frame) *frame = static_cast<IOleInPlaceFrame*>(this);
        if (doc) *doc = nullptr;
        RECT r{0, 0, 1, 1};
        if (hwnd) GetClientRect(hwnd, &r);
        if (pos) *pos = r;
        if (clip) *clip = r;
        if (info) {
            info->fMDIApp = FALSE;
            info->hwndFrame = hwnd;
            info->haccel = nullptr;
            info->cAccelEntries = 0;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT r) override {
        if (inPlace && r) inPlace->SetObjectRects(r, r);
        return S_OK;
    }

    // ---------------------------------------------------------- IOleInPlaceFrame

    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // ---------------------------------------------------------- IDocHostUIHandler

    // The pages show no context menu.
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override {
        if (!info) return E_POINTER;
        info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key) *key = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }

    // ---------------------------------------------------------- IDispatch (ambient properties)

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    // Every ambient property keeps the control's own default.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};

WebBrowserPane::WebBrowserPane(Process& process, BrowserPanes& panes, WebBrowserOptions options)
    : process_(process), panes_(panes), impl_(std::make_unique<Impl>(*this, options)) {
    panes_.live_.insert(this);
}

WebBrowserPane::~WebBrowserPane() {
    panes_.live_.erase(this);
    impl_.reset();
}

void WebBrowserPane::setPane(ui::Control* pane) {
    if (pane == pane_) return;
    pane_ = pane;
    follow();
}

void WebBrowserPane::navigate(const std::string& url) {
    impl_->navigate(url);
    follow();
}

bool WebBrowserPane::hostsControl() const { return impl_->hosting(); }
HWND WebBrowserPane::window() const { return impl_->hwnd; }
void WebBrowserPane::follow() { impl_->follow(); }

}  // namespace mj::platform::win32
