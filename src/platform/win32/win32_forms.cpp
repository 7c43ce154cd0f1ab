// win32_forms.cpp: the window host of the control model.
#include "platform/win32/win32_forms.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/win32/win32_platform.h"

namespace mj::platform::win32 {

namespace {

constexpr wchar_t FormClass[] = L"MjForm";

int px(double units, double unitsPerPixel) { return ui::toPixels(units, unitsPerPixel); }

COLORREF rgb(ui::Color c) { return RGB(c.r, c.g, c.b); }

// The fonts the windows name may be missing under Wine; a CJK font from the
// system's packages stands in for them.
std::wstring faceFor(const std::string& name) {
    static std::map<std::string, std::wstring> cache;
    auto it = cache.find(name);
    if (it != cache.end()) return it->second;
    std::wstring face = widen(name);
    HDC dc = GetDC(nullptr);
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(
        dc, &lf,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM p) -> int {
            *reinterpret_cast<bool*>(p) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    if (!found) face = L"Noto Sans CJK SC";
    cache[name] = face;
    return face;
}

// A new font the caller owns (the native controls keep theirs).
HFONT makeFont(const ui::Font& f) {
    const int height = -static_cast<int>(std::lround(f.size * 96.0 / 72.0));
    return CreateFontW(height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH,
                       faceFor(f.name).c_str());
}

// The fonts are made once and kept: a paint of one label should not pay for
// making and realising its font each time. The windows use a handful; should
// they use many, all are dropped at once (none may be selected then).
HFONT fontFor(const ui::Font& f) {
    static std::map<std::tuple<std::string, double, bool>, HFONT> cache;
    const auto key = std::make_tuple(f.name, f.size, f.bold);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() >= 64) {
        for (auto& [k, font] : cache) DeleteObject(font);
        cache.clear();
    }
    HFONT made = makeFont(f);
    cache.emplace(key, made);
    return made;
}

struct Canvas {
    HDC dc;
    std::uint32_t* pixels;
    int w, h;
};

void fillRect(Canvas& c, RECT r, ui::Color col) {
    HBRUSH b = CreateSolidBrush(rgb(col));
    FillRect(c.dc, &r, b);
    DeleteObject(b);
}

// Copies a picture into the canvas (stretched to the rectangle), leaving
// transparent pixels as they are, clipped to `clip`.
void drawPicture(Canvas& c, const ui::Picture& p, RECT dst, RECT clip) {
    GdiFlush();
    const int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
    if (dw <= 0 || dh <= 0 || p.width <= 0 || p.height <= 0) return;
    const int x0 = std::max({dst.left, clip.left, 0L}), x1 = std::min({dst.right, clip.right, static_cast<LONG>(c.w)});
    const int y0 = std::max({dst.top, clip.top, 0L}), y1 = std::min({dst.bottom, clip.bottom, static_cast<LONG>(c.h)});
    for (int y = y0; y < y1; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y - dst.top) * p.height / dh);
        const std::uint32_t* row = &p.pixels[static_cast<std::size_t>(sy) * p.width];
        std::uint32_t* out = &c.pixels[static_cast<std::size_t>(y) * c.w];
        for (int x = x0; x < x1; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x - dst.left) * p.width / dw);
            const std::uint32_t v = row[sx];
            if ((v >> 24) != 0) out[x] = v & 0x00FFFFFF;
        }
    }
}

// Draws text in the control's font. With a row height, a font whose cell is
// taller than the row (the CJK stand-in fonts have tall cells) is shrunk until
// the text fits the row instead of being cut at its top and bottom.
//
// A label laid out for a font whose cell is as tall as its em (the sizes the
// windows are designed with) is shorter than the stand-in font's cell: its
// line is raised into the empty leading above the glyphs, so the glyphs'
// bottoms and descenders stay inside the label instead of being cut off.
void drawText(Canvas& c, const ui::Control& ctl, RECT r, const std::string& text, UINT format, int rowHeight = 0,
              const COLORREF* color = nullptr, bool raiseIntoLeading = false) {
    HGDIOBJ old = SelectObject(c.dc, fontFor(ctl.font()));
    RECT clip = r;
    if (raiseIntoLeading) {
        TEXTMETRICW tm{};
        GetTextMetricsW(c.dc, &tm);
        const LONG h = r.bottom - r.top;
        if (tm.tmHeight > h) {
            // The glyphs take about the cell less half its leading; a font a
            // little smaller where even they would not fit.
            const LONG ink = tm.tmHeight - tm.tmInternalLeading / 2;
            if (ink > h) {
                ui::Font smaller = ctl.font();
                smaller.size = smaller.size * h / ink;
                SelectObject(c.dc, old);
                SelectObject(c.dc, fontFor(smaller));
                GetTextMetricsW(c.dc, &tm);
            }
            const LONG missing = tm.tmHeight - h;
            if (missing > 0) r.top -= std::min<LONG>(missing, tm.tmInternalLeading);
        }
    }
    if (rowHeight > 0) {
        TEXTMETRICW tm{};
        GetTextMetricsW(c.dc, &tm);
        if (tm.tmHeight > rowHeight) {
            ui::Font smaller = ctl.font();
            smaller.size = smaller.size * rowHeight / tm.tmHeight;
            // Deselected first: making the smaller font may drop the others.
            SelectObject(c.dc, old);
            SelectObject(c.dc, fontFor(smaller));
        }
    }
    SetBkMode(c.dc, TRANSPARENT);
    SetTextColor(c.dc, color ? *color : rgb(ctl.foreColor()));
    const std::wstring w = widen(text);
    if (raiseIntoLeading && r.top != clip.top) {
        // Only the empty leading lies above the label: nothing is drawn there.
        const int saved = SaveDC(c.dc);
        IntersectClipRect(c.dc, clip.left, clip.top, clip.right, clip.bottom);
        DrawTextW(c.dc, w.c_str(), static_cast<int>(w.size()), &r, format | DT_NOPREFIX | DT_NOCLIP);
        RestoreDC(c.dc, saved);
    } else {
        DrawTextW(c.dc, w.c_str(), static_cast<int>(w.size()), &r, format | DT_NOPREFIX);
    }
    SelectObject(c.dc, old);
}

RECT intersect(RECT a, RECT b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

void drawChildren(Canvas& c, const ui::Container& box, int ox, int oy, RECT clip);

// A list's vertical scroll bar in the system's own look: two arrow buttons,
// the track and the thumb.
void drawScrollBar(Canvas& c, const ui::ListBox::ScrollBar& b, int ox, int oy) {
    const int l = ox + b.left, rgt = l + b.width;
    RECT up{l, oy, rgt, oy + b.arrow};
    RECT down{l, oy + b.height - b.arrow, rgt, oy + b.height};
    const COLORREF track = GetSysColor(COLOR_SCROLLBAR);
    fillRect(c, RECT{l, oy + b.arrow, rgt, oy + b.height - b.arrow},
             ui::Color{GetRValue(track), GetGValue(track), GetBValue(track)});
    DrawFrameControl(c.dc, &up, DFC_SCROLL, DFCS_SCROLLUP);
    DrawFrameControl(c.dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN);
    if (b.thumbHeight > 0) {
        RECT thumb{l, oy + b.thumbTop, rgt, oy + b.thumbTop + b.thumbHeight};
        DrawFrameControl(c.dc, &thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
    }
}

void drawControl(Canvas& c, const ui::Control& ctl, double upp, int ox, int oy, RECT clip) {
    if (!ctl.visible()) return;
    RECT r{ox + px(ctl.left(), upp), oy + px(ctl.top(), upp), 0, 0};
    r.right = r.left + px(ctl.width(), upp);
    r.bottom = r.top + px(ctl.height(), upp);
    const RECT vis = intersect(r, clip);
    if (vis.right <= vis.left || vis.bottom <= vis.top) return;
    HRGN rgn = CreateRectRgn(vis.left, vis.top, vis.right, vis.bottom);
    SelectClipRgn(c.dc, rgn);
    switch (ctl.kind()) {
    case ui::Kind::PictureBox: {
        fillRect(c, r, ctl.backColor());
        if (ctl.picture()) {
            const auto& p = *ctl.picture();
            drawPicture(c, p, RECT{r.left, r.top, r.left + p.width, r.top + p.height}, vis);
        }
        SelectClipRgn(c.dc, nullptr);
        DeleteObject(rgn);
        drawChildren(c, static_cast<const ui::Container&>(ctl), r.left, r.top, vis);
        return;
    }
    case ui::Kind::Image:
        if (ctl.picture()) drawPicture(c, *ctl.picture(), r, vis);
        break;
    case ui::Kind::Label: {
        if (!ctl.transparentBack()) fillRect(c, r, ctl.backColor());
        UINT fmt = DT_WORDBREAK;
        if (ctl.alignment() == ui::Control::Align::Center) fmt |= DT_CENTER;
        if (ctl.alignment() == ui::Control::Align::Right) fmt |= DT_RIGHT;
        drawText(c, ctl, r, ctl.caption(), fmt, 0, nullptr, true);
        break;
    }
    case ui::Kind::TextBox:
        fillRect(c, r, ctl.backColor());
        drawText(c, ctl, RECT{r.left + 2, r.top + 1, r.right - 2, r.bottom}, ctl.caption(), DT_SINGLELINE | DT_VCENTER);
        break;
    case ui::Kind::ListBox: {
        const auto& list = static_cast<const ui::ListBox&>(ctl);
        fillRect(c, r, ctl.backColor());
        const int line = std::max(1, px(list.itemHeight(), upp));
        const ui::ListBox::ScrollBar bar = list.scrollBar();
        const LONG textRight = r.right - bar.width;
        int y = r.top;
        for (int i = list.topIndex(); i < list.listCount() && y < r.bottom; ++i, y += line) {
            const RECT row{r.left + 2, y, textRight, y + line};
            // The selected row in the system's selection colours, as a list
            // box of the system shows it.
            if (i == list.listIndex()) {
                const COLORREF back = GetSysColor(COLOR_HIGHLIGHT);
                fillRect(c, RECT{r.left, y, textRight, std::min(y + line, static_cast<int>(r.bottom))},
                         ui::Color{GetRValue(back), GetGValue(back), GetBValue(back)});
                const COLORREF text = GetSysColor(COLOR_HIGHLIGHTTEXT);
                drawText(c, ctl, row, list.items()[static_cast<std::size_t>(i)], DT_SINGLELINE | DT_VCENTER, line,
                         &text);
                continue;
            }
            drawText(c, ctl, row, list.items()[static_cast<std::size_t>(i)], DT_SINGLELINE | DT_VCENTER, line);
        }
        if (bar.width > 0) drawScrollBar(c, bar, r.left, r.top);
        break;
    }
    case ui::Kind::Component:
        if (ctl.picture()) drawPicture(c, *ctl.picture(), r, vis);
        break;
    case ui::Kind::Form:
        break;
    }
    SelectClipRgn(c.dc, nullptr);
    DeleteObject(rgn);
}

void drawChildren(Canvas& c, const ui::Container& box, int ox, int oy, RECT clip) {
    for (const ui::Control* child : box.children()) drawControl(c, *child, box.unitsPerPixel(), ox, oy, clip);
}

// The front-most visible and enabled control under the point, searching into
// picture boxes; coordinates in pixels relative to the container. A disabled
// control in front gives none and sets `blocked`.
ui::Control* hitTest(const ui::Container& box, int x, int y, int& localX, int& localY, bool* blocked = nullptr) {
    const auto kids = box.children();
    const double upp = box.unitsPerPixel();
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
        ui::Control* c = *it;
        if (!c->visible()) continue;
        const int l = px(c->left(), upp), t = px(c->top(), upp);
        const int w = px(c->width(), upp), h = px(c->height(), upp);
        if (x < l || y < t || x >= l + w || y >= t + h) continue;
        if (c->isHit && !c->isHit((x - l) * upp, (y - t) * upp)) continue;
        if (c->kind() == ui::Kind::PictureBox) {
            if (ui::Control* inner = hitTest(static_cast<ui::Container&>(*c), x - l, y - t, localX, localY, blocked)) {
                return inner;
            }
            if (blocked && *blocked) return nullptr;
        }
        if (!c->enabled()) {
            if (blocked) *blocked = true;
            return nullptr;
        }
        localX = x - l;
        localY = y - t;
        return c;
    }
    return nullptr;
}

// The pointer the control under the mouse asks for; the class arrow elsewhere.
void showPointer(const ui::Control* c) {
    const int p = c ? c->mousePointer() : ui::PointerDefault;
    const LPCWSTR id = p == ui::PointerCustom ? IDC_HAND : p == ui::PointerSizeAll ? IDC_SIZEALL : IDC_ARROW;
    SetCursor(LoadCursorW(nullptr, id));
}

// Whether the control is still part of the box (controls of an array may be
// unloaded while the host remembers one).
bool holds(const ui::Container& box, const ui::Control* c) {
    for (ui::Control* child : box.children()) {
        if (child == c) return true;
        if (child->kind() == ui::Kind::PictureBox && holds(static_cast<const ui::Container&>(*child), c)) return true;
    }
    return false;
}

bool shownAndEnabled(const ui::Control& c) {
    for (const ui::Control* at = &c; at && at->parent(); at = at->parent())
        if (!at->visible() || !at->enabled()) return false;
    return true;
}

// What takes the keyboard focus when the control is pressed: a painted list
// itself, otherwise the nearest picture box around it (the table picture for
// its tiles). Labels and images on the form itself leave the focus where it is.
ui::Control* focusTargetOf(ui::Control* c) {
    for (ui::Control* at = c; at && at->parent(); at = at->parent()) {
        if (at->kind() == ui::Kind::ListBox) return at->native() ? nullptr : at;
        if (at->kind() == ui::Kind::PictureBox) return at;
    }
    return nullptr;
}

bool isPaintedList(const ui::Control* c) { return c && c->kind() == ui::Kind::ListBox && !c->native(); }

constexpr UINT_PTR ScrollRepeatTimer = 0x4D4A;
constexpr UINT ScrollRepeatFirst = 400, ScrollRepeatNext = 50;

// A form and a picture box count in their own units, any other control in
// its container's: a list on a form hears twips, an image in the table pixels.
// A component hears its own pixels wherever it sits.
ui::MouseEvent mouseEvent(const ui::Control& c, WPARAM w, int lx, int ly, int button) {
    const bool container = c.kind() == ui::Kind::Form || c.kind() == ui::Kind::PictureBox;
    const double upp = container                         ? static_cast<const ui::Container&>(c).unitsPerPixel()
                       : c.kind() == ui::Kind::Component ? 1.0
                       : c.parent()                      ? c.parent()->unitsPerPixel()
                                                         : 15.0;
    ui::MouseEvent e;
    e.button = button;
    e.shift = ((w & MK_SHIFT) ? 1 : 0) | ((w & MK_CONTROL) ? 2 : 0);
    e.x = lx * upp;
    e.y = ly * upp;
    return e;
}

}  // namespace

FormHost::FormHost() {
    WNDCLASSW wc{};
    // Double-clicks arrive as such: the result boards' rows reopen a hand on one.
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &FormHost::wndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = FormClass;
    RegisterClassW(&wc);
}

FormHost::~FormHost() {
    for (auto& [f, e] : entries_) {
        f->onChanged = nullptr;
        f->moveWithMouse = nullptr;
        f->onFocusRequest = nullptr;
        if (e.hwnd) DestroyWindow(e.hwnd);
    }
}

void FormHost::attach(ui::Form& form) {
    Entry& e = entries_[&form];
    e.form = &form;
    form.onChanged = [this, &form] {
        auto it = entries_.find(&form);
        if (it != entries_.end()) formChanged(it->second);
    };
    // The system moves the window with the mouse, as if its caption were
    // pressed, until the button is released.
    form.moveWithMouse = [this, &form] {
        auto it = entries_.find(&form);
        if (it == entries_.end() || !it->second.hwnd) return;
        // The pointer the pressed control asks for now (the frame's four-way
        // arrow) stays for the whole move: the system's move loop sets none.
        if (ui::Control* p = it->second.pressed; p && holds(form, p)) showPointer(p);
        it->second.pressed = nullptr;
        ReleaseCapture();
        SendMessageW(it->second.hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    };
    form.onFocusRequest = [this, &form] {
        auto it = entries_.find(&form);
        if (it == entries_.end() || !it->second.hwnd) return;
        SetForegroundWindow(it->second.hwnd);
        SetFocus(it->second.hwnd);
    };
    // Whatever was noted before is painted with the first, whole paint.
    (void)form.takeDirty();
    sync(e);
}

void FormHost::formChanged(Entry& e) {
    repaintChanged(e);
    if (onFormChanged) onFormChanged(*e.form);
}

void FormHost::repaintChanged(Entry& e) {
    const ui::DirtyRegion d = e.form->takeDirty();
    e.pending.add(d);
    // Only a change of the form itself can touch the window's own state.
    if (d.all() || !e.hwnd) {
        sync(e);
        return;
    }
    // Measuring aid only: MJ_FULL_REPAINT=1 repaints the whole window on every
    // change, as before partial repaints, so the two costs can be compared.
    static const bool fullRepaint = [] {
        const char* v = std::getenv("MJ_FULL_REPAINT");
        return v && std::string_view(v) == "1";
    }();
    if (fullRepaint) {
        e.pending.addAll();
        InvalidateRect(e.hwnd, nullptr, FALSE);
        return;
    }
    for (const ui::PixelRect& r : d.rects()) {
        const RECT rc{r.left, r.top, r.right, r.bottom};
        InvalidateRect(e.hwnd, &rc, FALSE);
    }
    // The system's own edit and list windows carry their text and place
    // themselves; they follow every change of their controls.
    if (e.native) e.native->sync(e.hwnd, *e.form);
}

const BackBuffer* FormHost::backBufferOf(const ui::Form& form) const {
    auto it = entries_.find(const_cast<ui::Form*>(&form));
    return it == entries_.end() ? nullptr : it->second.buffer.get();
}

void FormHost::detach(ui::Form& form) {
    auto it = entries_.find(&form);
    if (it == entries_.end()) return;
    form.onChanged = nullptr;
    form.moveWithMouse = nullptr;
    form.onFocusRequest = nullptr;
    if (it->second.hwnd) DestroyWindow(it->second.hwnd);
    entries_.erase(it);
}

HWND FormHost::windowOf(const ui::Form& form) const {
    auto it = entries_.find(const_cast<ui::Form*>(&form));
    return it == entries_.end() ? nullptr : it->second.hwnd;
}

void FormHost::sync(Entry& e) {
    ui::Form& f = *e.form;
    if (!f.visible() && !e.hwnd) return;
    const int x = px(f.left(), 15), y = px(f.top(), 15), w = px(f.width(), 15), h = px(f.height(), 15);
    if (!e.hwnd) {
        const DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
        e.hwnd = CreateWindowExW(0, FormClass, widen(f.caption()).c_str(), style, x, y, w, h, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(e.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetPropW(e.hwnd, L"MjForm", reinterpret_cast<HANDLE>(e.form));
        f.windowHandle = reinterpret_cast<std::uintptr_t>(e.hwnd);
        e.native = std::make_unique<NativeControls>();
        e.native->makeFont = &makeFont;
    }
    wchar_t title[512] = {};
    GetWindowTextW(e.hwnd, title, 512);
    if (widen(f.caption()) != title) SetWindowTextW(e.hwnd, widen(f.caption()).c_str());
    RECT cur;
    GetWindowRect(e.hwnd, &cur);
    if (!IsIconic(e.hwnd) &&
        (cur.left != x || cur.top != y || cur.right - cur.left != w || cur.bottom - cur.top != h)) {
        SetWindowPos(e.hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const bool wantVisible = f.visible();
    if (wantVisible != static_cast<bool>(IsWindowVisible(e.hwnd))) ShowWindow(e.hwnd, wantVisible ? SW_SHOW : SW_HIDE);
    if (wantVisible) {
        const bool iconic = IsIconic(e.hwnd);
        const bool wantIconic = f.windowState() == ui::Form::WindowState::Minimized;
        if (iconic != wantIconic) ShowWindow(e.hwnd, wantIconic ? SW_MINIMIZE : SW_RESTORE);
        const bool topmost = (GetWindowLongW(e.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        if (topmost != f.topmost()) {
            SetWindowPos(e.hwnd, f.topmost() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    applyWindowShape(e.hwnd, f);
    e.native->sync(e.hwnd, f);
    InvalidateRect(e.hwnd, nullptr, FALSE);
}

BackBuffer::~BackBuffer() { release(); }

void BackBuffer::release() {
    if (dc_) {
        SelectObject(dc_, oldBmp_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
    }
    dc_ = nullptr;
    bmp_ = nullptr;
    oldBmp_ = nullptr;
    pixels_ = nullptr;
    w_ = h_ = 0;
}

bool BackBuffer::resize(int w, int h) {
    if (dc_ && w == w_ && h == h_) return false;
    release();
    if (w <= 0 || h <= 0) return true;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp_ || !bits) {
        DeleteDC(dc_);
        dc_ = nullptr;
        bmp_ = nullptr;
        return true;
    }
    oldBmp_ = SelectObject(dc_, bmp_);
    pixels_ = static_cast<std::uint32_t*>(bits);
    w_ = w;
    h_ = h;
    return true;
}

void BackBuffer::paint(const ui::Form& form, const std::vector<RECT>& rects) {
    if (!dc_) return;
    Canvas c{dc_, pixels_, w_, h_};
    const RECT all{0, 0, w_, h_};
    // Each rectangle is drawn as a whole paint would draw it: the form's back,
    // then every control over it, back to front, cut to the rectangle.
    for (const RECT& r : rects) {
        const RECT clip = intersect(r, all);
        if (clip.right <= clip.left || clip.bottom <= clip.top) continue;
        fillRect(c, clip, form.backColor());
        drawChildren(c, form, 0, 0, clip);
    }
    GdiFlush();
}

void BackBuffer::paintAll(const ui::Form& form) { paint(form, {RECT{0, 0, w_, h_}}); }

void FormHost::render(const ui::Form& form, int w, int h, std::uint32_t* pixels) {
    BackBuffer b;
    b.resize(w, h);
    b.paintAll(form);
    if (b.pixels()) std::copy(b.pixels(), b.pixels() + static_cast<std::size_t>(w) * h, pixels);
}

namespace {
// The rectangles of a region, none overlapping.
std::vector<RECT> rectsOf(HRGN rgn) {
    std::vector<RECT> out;
    const DWORD size = GetRegionData(rgn, 0, nullptr);
    if (size == 0) return out;
    std::vector<unsigned char> bytes(size);
    auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
    if (GetRegionData(rgn, size, data) == 0) return out;
    const auto* r = reinterpret_cast<const RECT*>(data->Buffer);
    out.assign(r, r + data->rdh.nCount);
    return out;
}
}  // namespace

void FormHost::paint(Entry& e) {
    HWND h = e.hwnd;
    // What Windows asks for (our rectangles and anything uncovered) plus what
    // changed while no paint came; taken before BeginPaint empties it.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(h, region, FALSE);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT cr;
    GetClientRect(h, &cr);
    if (!e.buffer) e.buffer = std::make_unique<BackBuffer>();
    if (e.buffer->resize(cr.right, cr.bottom)) e.pending.addAll();
    if (e.pending.all()) {
        SetRectRgn(region, 0, 0, cr.right, cr.bottom);
    } else {
        for (const ui::PixelRect& r : e.pending.rects()) {
            HRGN part = CreateRectRgn(r.left, r.top, r.right, r.bottom);
            CombineRgn(region, region, part, RGN_OR);
            DeleteObject(part);
        }
    }
    e.pending.clear();
    const std::vector<RECT> rects = rectsOf(region);
    DeleteObject(region);
    e.buffer->paint(*e.form, rects);
    // Rectangle by rectangle: two changes far apart (a tile leaving the hand
    // for the discards) do not copy all that lies between them.
    if (e.buffer->dc()) {
        for (const RECT& r : rects) {
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, e.buffer->dc(), r.left, r.top, SRCCOPY);
        }
    }
    EndPaint(h, &ps);
}

ui::Control* FormHost::focused(Entry& e) {
    ui::Control* t = e.focus;
    if (!t || !holds(*e.form, t) || !shownAndEnabled(*t)) return nullptr;
    return (isPaintedList(t) || t->onKeyDown || t->onKeyPress) ? t : nullptr;
}

void FormHost::takeFocus(Entry& e, ui::Control* pressed) {
    ui::Control* t = focusTargetOf(pressed);
    if (!t) return;
    e.focus = t;
    // The window takes the keyboard back from its edit and list windows (the
    // chat box), so the table's keys work again after a click on it.
    if (GetFocus() != e.hwnd) SetFocus(e.hwnd);
}

void FormHost::startScroll(Entry& e, ui::ListBox& list, ui::ListBox::ScrollPart part, int originX, int originY,
                           int listY) {
    e.scroll.list = &list;
    e.scroll.part = part;
    e.scroll.originX = originX;
    e.scroll.originY = originY;
    e.scroll.grab = listY - list.scrollBar().thumbTop;
    SetCapture(e.hwnd);
    if (part == ui::ListBox::ScrollPart::Thumb) return;
    list.scrollByPart(part);
    SetTimer(e.hwnd, ScrollRepeatTimer, ScrollRepeatFirst, nullptr);
}

void FormHost::scrollDrag(Entry& e, int windowY) {
    if (e.scroll.part != ui::ListBox::ScrollPart::Thumb || !holds(*e.form, e.scroll.list)) return;
    ui::ListBox& list = *e.scroll.list;
    const int top = list.topIndexForThumb(windowY - e.scroll.originY - e.scroll.grab);
    if (top != std::min(list.topIndex(), list.maxTopIndex())) list.setTopIndex(top);
}

// A held arrow or track goes on scrolling while the pointer stays on the part
// pressed, as the system's bars do; the track stops under the pointer.
void FormHost::scrollRepeat(Entry& e) {
    if (!e.scroll.list || !holds(*e.form, e.scroll.list)) {
        endScroll(e);
        return;
    }
    SetTimer(e.hwnd, ScrollRepeatTimer, ScrollRepeatNext, nullptr);
    POINT pt{};
    GetCursorPos(&pt);
    ScreenToClient(e.hwnd, &pt);
    ui::ListBox& list = *e.scroll.list;
    if (list.scrollPartAt(pt.x - e.scroll.originX, pt.y - e.scroll.originY) == e.scroll.part)
        list.scrollByPart(e.scroll.part);
}

void FormHost::endScroll(Entry& e) {
    KillTimer(e.hwnd, ScrollRepeatTimer);
    e.scroll = {};
    ReleaseCapture();
}

LRESULT CALLBACK FormHost::wndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    auto* host = reinterpret_cast<FormHost*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    auto* form = reinterpret_cast<ui::Form*>(GetPropW(h, L"MjForm"));
    if (host && form) {
        auto it = host->entries_.find(form);
        if (it != host->entries_.end()) {
            try {
                return host->handle(it->second, msg, w, l);
            } catch (...) {
                if (host->onHandlerError) host->onHandlerError(std::current_exception());
                return 0;
            }
        }
    }
    return DefWindowProcW(h, msg, w, l);
}

LRESULT FormHost::handle(Entry& e, UINT msg, WPARAM w, LPARAM l) {
    ui::Form& f = *e.form;
    HWND h = e.hwnd;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_COMMAND:
        if (e.native && e.native->command(w, l)) return 0;
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (HBRUSH b = e.native ? e.native->colors(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l)) : nullptr)
            return reinterpret_cast<LRESULT>(b);
        break;
    case WM_PAINT:
        paint(e);
        return 0;
    case WM_SIZE: {
        const auto state = w == SIZE_MINIMIZED   ? ui::Form::WindowState::Minimized
                           : w == SIZE_MAXIMIZED ? ui::Form::WindowState::Maximized
                                                 : ui::Form::WindowState::Normal;
        f.setWindowState(state);
        return 0;
    }
    case WM_CLOSE:
        if (f.onUnload)
            f.onUnload();
        else
            f.setVisible(false);
        return 0;
    case WM_SETCURSOR: {
        if (reinterpret_cast<HWND>(w) != h || LOWORD(l) != HTCLIENT) break;
        POINT pt{};
        GetCursorPos(&pt);
        ScreenToClient(h, &pt);
        int lx = 0, ly = 0;
        showPointer(hitTest(f, pt.x, pt.y, lx, ly));
        return TRUE;
    }
    case WM_SYSCOMMAND:
        // Alt pressed and released, or Alt with a letter, would put the window
        // in the menu mode of its system menu, which takes the next key: the
        // table's Alt-then-C needs the C. Alt+Space still opens the menu.
        if ((w & 0xFFF0) == SC_KEYMENU && l != ' ') return 0;
        break;
    case WM_TIMER:
        if (w != ScrollRepeatTimer) break;
        scrollRepeat(e);
        return 0;
    case WM_CAPTURECHANGED:
        if (e.scroll.list) {
            KillTimer(h, ScrollRepeatTimer);
            e.scroll = {};
        }
        break;
    case WM_MOUSEWHEEL: {
        POINT pt{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
        ScreenToClient(h, &pt);
        int lx = 0, ly = 0;
        ui::Control* under = hitTest(f, pt.x, pt.y, lx, ly);
        // The list under the pointer, else the one with the focus.
        ui::Control* target = isPaintedList(under) ? under : focused(e);
        if (!isPaintedList(target)) break;
        auto& list = static_cast<ui::ListBox&>(*target);
        e.wheelRest += GET_WHEEL_DELTA_WPARAM(w);
        const int notches = e.wheelRest / WHEEL_DELTA;
        e.wheelRest -= notches * WHEEL_DELTA;
        UINT lines = 3;
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        const int step = lines == WHEEL_PAGESCROLL ? list.visibleRows() : static_cast<int>(lines);
        list.scrollBy(-notches * step);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK: {
        const int x = static_cast<short>(LOWORD(l)), y = static_cast<short>(HIWORD(l));
        // A press on a list's scroll bar holds the mouse until it is released.
        if (e.scroll.list) {
            if (msg == WM_MOUSEMOVE) scrollDrag(e, y);
            if (msg == WM_LBUTTONUP) endScroll(e);
            return 0;
        }
        int lx = x, ly = y;
        bool blocked = false;
        ui::Control* c = hitTest(f, x, y, lx, ly, &blocked);
        // A disabled control swallows the press; where no control lies the
        // form itself is pressed: a video panel is dragged by its own surface.
        if (blocked) return 0;
        if (!c) {
            c = &f;
            lx = x;
            ly = y;
        }
        bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN;
        bool dbl = msg == WM_LBUTTONDBLCLK;
        // The second press of a double-click is a plain press for a control
        // that has no use for the double-click: quick clicks on tiles and
        // buttons stay clicks.
        if (msg == WM_RBUTTONDBLCLK || (dbl && !c->onDblClick)) {
            down = true;
            dbl = false;
        }
        const bool right = msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP || msg == WM_RBUTTONDBLCLK;
        const int button = right                 ? ui::ButtonRight
                           : msg == WM_MOUSEMOVE ? ((w & MK_LBUTTON) ? ui::ButtonLeft : ui::ButtonNone)
                                                 : ui::ButtonLeft;
        if (down || dbl) takeFocus(e, c);
        if ((down || dbl) && !right && isPaintedList(c)) {
            auto& list = static_cast<ui::ListBox&>(*c);
            const auto part = list.scrollPartAt(lx, ly);
            if (part != ui::ListBox::ScrollPart::None) {
                startScroll(e, list, part, x - lx, y - ly, ly);
                return 0;
            }
            // A press on a row selects it, as in the system's list boxes.
            const int line = std::max(1, px(list.itemHeight(), list.parent()->unitsPerPixel()));
            const int row = list.topIndex() + ly / line;
            if (row < list.listCount()) list.setListIndex(row);
        }
        const ui::MouseEvent ev = mouseEvent(*c, w, lx, ly, button);
        if (msg == WM_MOUSEMOVE) {
            if (c->onMouseMove) c->onMouseMove(ev);
            // The handler may have changed the pointer; show it without waiting
            // for the next move.
            showPointer(c);
        } else if (down) {
            e.pressed = c;
            SetCapture(h);
            if (c->onMouseDown) c->onMouseDown(ev);
        } else if (dbl) {
            // The release that ends a double-click is no click.
            e.pressed = nullptr;
            SetCapture(h);
            c->onDblClick();
        } else {
            ReleaseCapture();
            const bool same = e.pressed == c;
            e.pressed = nullptr;
            if (c->onMouseUp) c->onMouseUp(ev);
            if (same && msg == WM_LBUTTONUP && c->onClick) c->onClick();
        }
        return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        int key = static_cast<int>(w);
        const int shift = ((GetKeyState(VK_SHIFT) < 0) ? 1 : 0) | ((GetKeyState(VK_CONTROL) < 0) ? 2 : 0);
        if (ui::Control* t = focused(e)) {
            // The control's handler first; a list then moves by the key the
            // handler left it.
            if (t->onKeyDown) t->onKeyDown(key, shift);
            if (key != 0 && msg == WM_KEYDOWN && isPaintedList(t)) static_cast<ui::ListBox*>(t)->navigationKey(key);
        } else {
            // Until a control has been pressed, keys of the window go to its
            // table picture; text and list boxes are the system's own windows
            // and hear their keys there.
            for (ui::Control* c : f.children()) {
                if (c->kind() != ui::Kind::TextBox && c->kind() != ui::Kind::ListBox && c->onKeyDown) {
                    c->onKeyDown(key, shift);
                    break;
                }
            }
        }
        // Alt's own system processing stays with the system (its menu mode is
        // refused above).
        if (msg == WM_SYSKEYDOWN) break;
        return 0;
    }
    case WM_CHAR: {
        int key = static_cast<int>(w);
        if (ui::Control* t = focused(e)) {
            if (t->onKeyPress) t->onKeyPress(key);
            return 0;
        }
        for (ui::Control* c : f.children()) {
            if (c->kind() != ui::Kind::TextBox && c->kind() != ui::Kind::ListBox && c->onKeyPress) {
                c->onKeyPress(key);
                break;
            }
        }
        return 0;
    }
    default:
        break;
    }
    if (msg >= WM_USER && f.onWindowMessage) {
        if (f.onWindowMessage(msg, w, l, InSendMessage() != FALSE)) return 0;
    }
    // The hall's connect (0x16) and leave request (0x303) are below WM_USER.
    if (msg < WM_USER && f.onWindowMessage && (msg == 0x16 || msg == 0x303)) {
        if (f.onWindowMessage(msg, w, l, InSendMessage() != FALSE)) return 0;
    }
    return DefWindowProcW(h, msg, w, l);
}

}  // namespace mj::platform::win32
