// win32_forms.h: shows the control model's forms as real windows: paints them
// double-buffered with GDI and turns mouse and key input into control events.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <memory>

#include "platform/controls.h"
#include "platform/win32/win32_native_controls.h"

namespace mj::platform::win32 {

class FormHost {
public:
    FormHost();
    ~FormHost();
    // Shows the form as a window while it is visible; the form must outlive the
    // host or be detached first.
    void attach(ui::Form& form);
    void detach(ui::Form& form);
    [[nodiscard]] HWND windowOf(const ui::Form& form) const;
    // Called with what a control's event handler threw: no exception may cross
    // the window procedure. Without it the error is dropped.
    std::function<void(const std::exception_ptr&)> onHandlerError;
    // Draws the form into a 32-bit top-down pixel buffer (for tests).
    static void render(const ui::Form& form, int widthPx, int heightPx, std::uint32_t* pixels);

private:
    struct Entry {
        ui::Form* form = nullptr;
        HWND hwnd = nullptr;
        ui::Control* pressed = nullptr;
        ui::Control* hover = nullptr;
        std::unique_ptr<NativeControls> native;
    };
    static LRESULT CALLBACK wndProc(HWND, UINT, WPARAM, LPARAM);
    void sync(Entry& e);
    LRESULT handle(Entry& e, UINT msg, WPARAM w, LPARAM l);
    std::map<ui::Form*, Entry> entries_;
};

}  // namespace mj::platform::win32
