// win32_sound.h: the sound device on DirectSound 8: the main buffer and four
// effect buffers, each filled whole from a PCM wave file.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <array>

#include "platform/sound.h"

namespace mj::platform::win32 {

class Win32SoundDevice : public SoundDevice {
public:
    // The window the device is bound to; nullptr binds it to the desktop
    // window (tests, or before the main window exists).
    explicit Win32SoundDevice(HWND window = nullptr) : window_(window) {}
    ~Win32SoundDevice() override;
    Win32SoundDevice(const Win32SoundDevice&) = delete;
    Win32SoundDevice& operator=(const Win32SoundDevice&) = delete;

    void setWindow(HWND window) { window_ = window; }

    bool init() override;
    [[nodiscard]] bool hasMain() const override { return main_ != nullptr; }
    bool releaseMain() override;
    bool createMain(const std::string& wavePath) override;
    bool playMain(bool loop) override;
    bool stopMain() override;
    bool setMainVolume(long hundredthsDb) override;
    bool playEffect(int slot, const std::string& wavePath, long hundredthsDb) override;

    // What the buffers are doing, as DirectSound reports it.
    struct BufferStatus {
        bool exists = false;
        bool playing = false;
        bool looping = false;
        long volume = 0;
        unsigned long position = 0;  // play cursor in bytes
    };
    [[nodiscard]] BufferStatus mainStatus() const;
    [[nodiscard]] BufferStatus effectStatus(int slot) const;

private:
    // A buffer holding the whole wave; nullptr when the file cannot be used.
    IDirectSoundBuffer* createBuffer(const std::string& wavePath, DWORD flags) const;
    static BufferStatus statusOf(IDirectSoundBuffer* buffer);

    HWND window_;
    IDirectSound8* device_ = nullptr;
    IDirectSoundBuffer* main_ = nullptr;
    std::array<IDirectSoundBuffer*, 4> effects_{};
};

}  // namespace mj::platform::win32
