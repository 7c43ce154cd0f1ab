// win32_native_controls.h: the parts of a form the system draws itself: edit
// and list boxes as child windows, and a window's layering and shape.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace mj::platform::win32 {

class NativeControls {
public:
    NativeControls() = default;
    NativeControls(const NativeControls&) = delete;
    NativeControls& operator=(const NativeControls&) = delete;
    ~NativeControls();

    // Creates, places and fills the child windows of the form's native text
    // and list boxes.
    void sync(HWND parent, ui::Form& form);
    // WM_COMMAND from a child: text changes, focus, list choices. True when handled.
    bool command(WPARAM w, LPARAM l);
    // WM_CTLCOLOREDIT / WM_CTLCOLORLISTBOX: the control's colours, or nullptr.
    HBRUSH colors(HDC dc, HWND child);
    // Makes the children's fonts (the host's font choice).
    std::function<HFONT(const ui::Font&)> makeFont;

private:
    struct Child {
        ui::Control* control = nullptr;
        HWND hwnd = nullptr;
        HFONT font = nullptr;
        HBRUSH brush = nullptr;
        int appliedSel = -1;
        int appliedTop = -1;
        std::vector<std::string> shownItems;
        bool reading = false;   // the host takes in the user's typing
        bool updating = false;  // a change the host makes itself
    };
    static LRESULT CALLBACK editProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK listProc(HWND, UINT, WPARAM, LPARAM);
    void fill(Child& c);
    std::map<ui::Control*, Child> children_;
    int nextId_ = 1000;
};

// Layers the window with the form's alpha and cuts it to the form's region.
void applyWindowShape(HWND hwnd, const ui::Form& form);

}  // namespace mj::platform::win32
