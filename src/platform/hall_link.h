// hall_link.h: the game hall's main window, found by its title and spoken to
// with posted window messages and system commands.
#pragma once
#include <cstdint>
#include <string_view>

namespace mj::platform {

// An opaque window handle; 0 means "no window".
using WindowHandle = std::uintptr_t;

class HallLink {
public:
    virtual ~HallLink() = default;
    // The top-level window whose title is exactly `title` (UTF-8), or 0; 0
    // for a blank title, however many untitled windows there are.
    [[nodiscard]] virtual WindowHandle findWindow(std::string_view title) const = 0;
    // Posts a message; false when the window is gone.
    virtual bool post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // The system commands restore and minimise, sent to the window.
    virtual void restore(WindowHandle window) = 0;
    virtual void minimize(WindowHandle window) = 0;
};

}  // namespace mj::platform
