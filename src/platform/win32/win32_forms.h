// win32_forms.h: shows the control model's forms as real windows: paints them
// double-buffered with GDI and turns mouse and key input into control events.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/controls.h"
#include "platform/win32/win32_native_controls.h"

namespace mj::platform::win32 {

// A form's picture kept between paints: a 32-bit top-down DIB section the size
// of the window. A paint draws the form again only inside the rectangles that
// changed, each clipped, in stacking order; the rest stays as it was.
class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // Gives the buffer this size. True when it was made anew: its content is
    // then undefined until painted whole.
    bool resize(int w, int h);
    // Draws the form again inside these rectangles (window pixels).
    void paint(const ui::Form& form, const std::vector<RECT>& rects);
    void paintAll(const ui::Form& form);

    [[nodiscard]] HDC dc() const { return dc_; }
    [[nodiscard]] const std::uint32_t* pixels() const { return pixels_; }
    [[nodiscard]] int width() const { return w_; }
    [[nodiscard]] int height() const { return h_; }

private:
    void release();
    HDC dc_ = nullptr;
    HBITMAP bmp_ = nullptr;
    HGDIOBJ oldBmp_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
    int w_ = 0, h_ = 0;
};

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
    // After every change of a form the window follows: child windows of
    // others (the browser panes) follow it too.
    std::function<void(const ui::Form&)> onFormChanged;
    // Draws the form from scratch into a 32-bit top-down pixel buffer (for
    // tests and screenshots).
    static void render(const ui::Form& form, int widthPx, int heightPx, std::uint32_t* pixels);
    // The picture the window was last painted from, nullptr before its first
    // paint (for tests and benchmarks).
    [[nodiscard]] const BackBuffer* backBufferOf(const ui::Form& form) const;

private:
    struct Entry {
        ui::Form* form = nullptr;
        HWND hwnd = nullptr;
        ui::Control* pressed = nullptr;
        ui::Control* hover = nullptr;
        std::unique_ptr<BackBuffer> buffer;
        // Changed since the last paint; the back buffer is behind there even
        // when the window was not asked to paint it (hidden, minimised).
        ui::DirtyRegion pending;
        std::unique_ptr<NativeControls> native;
        // The painted control with the keyboard focus inside the window (the
        // last pressed list or picture box), nullptr before any.
        ui::Control* focus = nullptr;
        // A press held on a list's scroll bar: the part pressed, the list's
        // top left in window pixels and where on the thumb it was taken.
        struct Scroll {
            ui::ListBox* list = nullptr;
            ui::ListBox::ScrollPart part = ui::ListBox::ScrollPart::None;
            int originX = 0, originY = 0;
            int grab = 0;
        } scroll;
        // Wheel turns smaller than a notch, kept until they make one.
        int wheelRest = 0;
    };
    static LRESULT CALLBACK wndProc(HWND, UINT, WPARAM, LPARAM);
    void sync(Entry& e);
    void formChanged(Entry& e);
    // The window repaints and re-places what the change touched.
    void repaintChanged(Entry& e);
    void paint(Entry& e);
    LRESULT handle(Entry& e, UINT msg, WPARAM w, LPARAM l);
    ui::Control* focused(Entry& e);
    void takeFocus(Entry& e, ui::Control* pressed);
    void startScroll(Entry& e, ui::ListBox& list, ui::ListBox::ScrollPart part, int originX, int originY, int listY);
    void scrollDrag(Entry& e, int windowY);
    void scrollRepeat(Entry& e);
    void endScroll(Entry& e);
    std::map<ui::Form*, Entry> entries_;
};

}  // namespace mj::platform::win32
