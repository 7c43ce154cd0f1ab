// win32_native_controls.cpp: edit and list child windows for the control
// model's native text and list boxes; layering and shaping of pop-ups.
#include "platform/win32/win32_native_controls.h"

#include <cmath>

#include "platform/win32/win32_platform.h"

namespace mj::platform::win32 {
namespace {

constexpr wchar_t ChildProp[] = L"MjChild";
constexpr wchar_t OldProcProp[] = L"MjOldProc";
constexpr wchar_t ShapeProp[] = L"MjShape";

int px(double units, double unitsPerPixel) { return static_cast<int>(std::lround(units / unitsPerPixel)); }

// The control's place in the form's client pixels, and whether it and every
// container above it are visible.
bool placeOf(const ui::Control& c, RECT& r) {
    double x = 0, y = 0;
    const ui::Control* at = &c;
    bool shown = true;
    while (at->parent()) {
        const ui::Container* box = at->parent();
        x += px(at->left(), box->unitsPerPixel());
        y += px(at->top(), box->unitsPerPixel());
        shown = shown && at->visible();
        at = box;
    }
    const double upp = c.parent() ? c.parent()->unitsPerPixel() : 15.0;
    r = RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x) + px(c.width(), upp),
             static_cast<LONG>(y) + px(c.height(), upp)};
    return shown;
}

void collect(const ui::Container& box, std::vector<ui::Control*>& out) {
    for (ui::Control* c : box.children()) {
        if (c->native() && (c->kind() == ui::Kind::TextBox || c->kind() == ui::Kind::ListBox)) out.push_back(c);
        if (auto* inner = dynamic_cast<ui::Container*>(c)) collect(*inner, out);
    }
}

std::string windowText(HWND h) {
    const int n = GetWindowTextLengthW(h);
    std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(h, w.data(), n + 1);
    w.resize(static_cast<std::size_t>(n));
    return narrow(w);
}

// The edit control counts UTF-16 units, the model characters.
int charsBefore(HWND edit, DWORD units) {
    const int n = GetWindowTextLengthW(edit);
    std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(edit, w.data(), n + 1);
    int chars = 0;
    for (DWORD i = 0; i < units && i < static_cast<DWORD>(n); ++i)
        if (w[i] < 0xDC00 || w[i] > 0xDFFF) ++chars;
    return chars;
}

DWORD unitsBefore(const std::string& text, int chars) {
    std::size_t bytes = 0;
    for (int seen = 0; bytes < text.size(); ++bytes) {
        if ((static_cast<unsigned char>(text[bytes]) & 0xC0) != 0x80 && seen++ == chars) break;
    }
    return static_cast<DWORD>(widen(text.substr(0, bytes)).size());
}

void readSelection(HWND edit, ui::TextBox& box) {
    DWORD from = 0, to = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    box.setSelStart(charsBefore(edit, from));
    box.setSelLength(charsBefore(edit, to) - box.selStart());
}

LRESULT callOld(HWND h, UINT msg, WPARAM w, LPARAM l) {
    // Alt released in the chat box or a list would put the window in the
    // menu mode of its system menu, which swallows the next key.
    if (msg == WM_SYSCOMMAND && (w & 0xFFF0) == SC_KEYMENU && l != ' ') return 0;
    auto old = reinterpret_cast<WNDPROC>(GetPropW(h, OldProcProp));
    return old ? CallWindowProcW(old, h, msg, w, l) : DefWindowProcW(h, msg, w, l);
}

}  // namespace

NativeControls::~NativeControls() {
    for (auto& [ctl, c] : children_) {
        if (c.hwnd) DestroyWindow(c.hwnd);
        if (c.font) DeleteObject(c.font);
        if (c.brush) DeleteObject(c.brush);
    }
}

LRESULT CALLBACK NativeControls::editProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    auto* child = reinterpret_cast<Child*>(GetPropW(h, ChildProp));
    // No exception may cross the window procedure; the client's handlers
    // trap their own, so anything left here is dropped.
    if (child && msg == WM_CHAR) try {
            auto& box = static_cast<ui::TextBox&>(*child->control);
            child->reading = true;
            readSelection(h, box);
            child->reading = false;
            child->appliedSel = box.selStart();
            int key = static_cast<int>(w);
            if (box.onKeyPress) box.onKeyPress(key);
            // A single-line edit beeps at Enter; the handler has used it.
            if (key == 0 || key == '\r') return 0;
            w = static_cast<WPARAM>(key);
        } catch (...) {
            return 0;
        }
    // The chat box's own keys (F1, the plug-in's keys) before the edit sees them.
    if (child && (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && child->control->onKeyDown) try {
            int key = static_cast<int>(w);
            const int shift = ((GetKeyState(VK_SHIFT) < 0) ? 1 : 0) | ((GetKeyState(VK_CONTROL) < 0) ? 2 : 0);
            child->control->onKeyDown(key, shift);
        } catch (...) {
            return 0;
        }
    return callOld(h, msg, w, l);
}

LRESULT CALLBACK NativeControls::listProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    auto* child = reinterpret_cast<Child*>(GetPropW(h, ChildProp));
    // Alt comes as a system key: the history's Alt-then-C needs it too.
    if (child && (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && child->control->onKeyDown) try {
            int key = static_cast<int>(w);
            const int shift = ((GetKeyState(VK_SHIFT) < 0) ? 1 : 0) | ((GetKeyState(VK_CONTROL) < 0) ? 2 : 0) |
                              ((GetKeyState(VK_MENU) < 0) ? 4 : 0);
            child->control->onKeyDown(key, shift);
        } catch (...) {
            return 0;
        }
    return callOld(h, msg, w, l);
}

void NativeControls::fill(Child& c) {
    c.updating = true;
    if (c.control->kind() == ui::Kind::TextBox) {
        auto& box = static_cast<ui::TextBox&>(*c.control);
        if (windowText(c.hwnd) != box.text()) SetWindowTextW(c.hwnd, widen(box.text()).c_str());
        // While the host reads the user's own typing the edit's caret is right.
        if (box.selStart() != c.appliedSel && !c.reading) {
            const DWORD at = unitsBefore(box.text(), box.selStart());
            SendMessageW(c.hwnd, EM_SETSEL, at, at);
            c.appliedSel = box.selStart();
        }
    } else {
        auto& list = static_cast<ui::ListBox&>(*c.control);
        if (list.items() != c.shownItems) {
            SendMessageW(c.hwnd, WM_SETREDRAW, FALSE, 0);
            SendMessageW(c.hwnd, LB_RESETCONTENT, 0, 0);
            for (const auto& item : list.items())
                SendMessageW(c.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
            SendMessageW(c.hwnd, WM_SETREDRAW, TRUE, 0);
            c.shownItems = list.items();
            c.appliedTop = -1;
        }
        if (list.topIndex() != c.appliedTop) {
            SendMessageW(c.hwnd, LB_SETTOPINDEX, static_cast<WPARAM>(list.topIndex()), 0);
            c.appliedTop = list.topIndex();
        }
        if (static_cast<int>(SendMessageW(c.hwnd, LB_GETCURSEL, 0, 0)) != list.listIndex())
            SendMessageW(c.hwnd, LB_SETCURSEL, static_cast<WPARAM>(list.listIndex()), 0);
    }
    c.updating = false;
}

void NativeControls::sync(HWND parent, ui::Form& form) {
    std::vector<ui::Control*> wanted;
    collect(form, wanted);
    for (ui::Control* ctl : wanted) {
        Child& c = children_[ctl];
        RECT r;
        const bool shown = placeOf(*ctl, r) && form.visible();
        if (!c.hwnd) {
            c.control = ctl;
            const bool edit = ctl->kind() == ui::Kind::TextBox;
            const DWORD style =
                WS_CHILD | WS_TABSTOP | (edit ? ES_AUTOHSCROLL : LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL);
            c.hwnd = CreateWindowExW(0, edit ? L"EDIT" : L"LISTBOX", L"", style, r.left, r.top, r.right - r.left,
                                     r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId_++)),
                                     GetModuleHandleW(nullptr), nullptr);
            if (!c.hwnd) continue;
            SetPropW(c.hwnd, ChildProp, &c);
            SetPropW(c.hwnd, OldProcProp,
                     reinterpret_cast<HANDLE>(SetWindowLongPtrW(
                         c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(edit ? &editProc : &listProc))));
            if (makeFont) {
                c.font = makeFont(ctl->font());
                SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), TRUE);
            }
            const ui::Color b = ctl->backColor();
            c.brush = CreateSolidBrush(RGB(b.r, b.g, b.b));
            if (edit) {
                HWND h = c.hwnd;
                static_cast<ui::TextBox*>(ctl)->onFocusRequest = [h] { SetFocus(h); };
            }
        }
        SetWindowPos(c.hwnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
        fill(c);
        if (static_cast<bool>(IsWindowVisible(c.hwnd)) != shown) ShowWindow(c.hwnd, shown ? SW_SHOWNA : SW_HIDE);
    }
}

bool NativeControls::command(WPARAM w, LPARAM l) {
    HWND h = reinterpret_cast<HWND>(l);
    auto* child = h ? reinterpret_cast<Child*>(GetPropW(h, ChildProp)) : nullptr;
    if (!child || child->updating) return false;
    const int code = HIWORD(w);
    if (child->control->kind() == ui::Kind::TextBox) {
        auto& box = static_cast<ui::TextBox&>(*child->control);
        if (code == EN_CHANGE) {
            // The text first, then the caret the typing left; a handler that
            // changes the box in between wins, and its caret is shown after.
            const std::string typed = windowText(h);
            child->reading = true;
            box.setText(typed);
            if (box.text() == typed) readSelection(h, box);
            child->reading = false;
            child->appliedSel = -1;
            fill(*child);
        } else if (code == EN_SETFOCUS || code == EN_KILLFOCUS) {
            box.focusChanged(code == EN_SETFOCUS);
        }
        return true;
    }
    auto& list = static_cast<ui::ListBox&>(*child->control);
    if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
        list.setListIndex(static_cast<int>(SendMessageW(h, LB_GETCURSEL, 0, 0)));
        if (code == LBN_DBLCLK && list.onDblClick) list.onDblClick();
    }
    return true;
}

HBRUSH NativeControls::colors(HDC dc, HWND child) {
    auto* c = reinterpret_cast<Child*>(GetPropW(child, ChildProp));
    if (!c || !c->brush) return nullptr;
    const ui::Color f = c->control->foreColor(), b = c->control->backColor();
    SetTextColor(dc, RGB(f.r, f.g, f.b));
    SetBkColor(dc, RGB(b.r, b.g, b.b));
    return c->brush;
}

void applyWindowShape(HWND hwnd, const ui::Form& form) {
    if (form.alpha() >= 0) {
        const LONG ex = GetWindowLongW(hwnd, GWL_EXSTYLE);
        if (!(ex & WS_EX_LAYERED)) SetWindowLongW(hwnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        SetLayeredWindowAttributes(hwnd, 0, static_cast<BYTE>(form.alpha()), LWA_ALPHA);
    }
    // The outline is cut once; the system owns the region afterwards.
    const auto& rects = form.region();
    if (rects.empty() || GetPropW(hwnd, ShapeProp)) return;
    HRGN all = CreateRectRgn(0, 0, 0, 0);
    for (const auto& r : rects) {
        HRGN one = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        CombineRgn(all, all, one, RGN_OR);
        DeleteObject(one);
    }
    if (SetWindowRgn(hwnd, all, TRUE))
        SetPropW(hwnd, ShapeProp, reinterpret_cast<HANDLE>(1));
    else
        DeleteObject(all);
}

}  // namespace mj::platform::win32
