// win32_camera.h: our camera. There is no capture device on the machines
// this is built for, so it paints a test card instead: colour bars in a hue
// of its own, the name it was given and a running clock, one frame every
// 125 ms while capturing. Frames arrive as timer messages on the window
// thread. With MJ_NO_CAMERA=1 in the environment it reports no camera.
#pragma once
#include <windows.h>

#include <string>

#include "platform/components.h"

namespace mj::platform::win32 {

class Win32TestCardCamera : public Camera {
public:
    Win32TestCardCamera();
    ~Win32TestCardCamera() override;
    Win32TestCardCamera(const Win32TestCardCamera&) = delete;
    Win32TestCardCamera& operator=(const Win32TestCardCamera&) = delete;

    void setEvents(CameraEvents* events) override { events_ = events; }
    void setLabel(const std::string& text) override { label_ = text; }
    void initCapture() override {}
    void setOptions(const CaptureOptions& options) override { options_ = options; }
    [[nodiscard]] int startCapture() override;
    void stopCapture() override;
    void freeCapture() override { stopCapture(); }
    [[nodiscard]] int videoFormat() const override { return 1; }
    [[nodiscard]] int videoMode() const override { return options_.videoMode; }

    static constexpr int Width = 160;
    static constexpr int Height = 120;

private:
    static LRESULT CALLBACK wndProc(HWND, UINT, WPARAM, LPARAM);
    void frame();
    HWND window_ = nullptr;
    CameraEvents* events_ = nullptr;
    std::string label_;
    CaptureOptions options_;
    bool capturing_ = false;
    unsigned frames_ = 0;
};

}  // namespace mj::platform::win32
