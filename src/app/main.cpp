// main.cpp: the Windows entry point: builds the Win32 platform, the client
// object and the window host, starts the client and runs the message loop.
#include <windows.h>

#include <optional>
#include <string>

#include "link/client.h"
#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_platform.h"

namespace {

using namespace mj::platform;

// Until the DirectSound device is wired in, the client runs silent.
class SilentSound : public SoundDevice {
public:
    bool init() override { return false; }
    [[nodiscard]] bool hasMain() const override { return false; }
    bool releaseMain() override { return true; }
    bool createMain(const std::string&) override { return false; }
    bool playMain(bool) override { return false; }
    bool stopMain() override { return true; }
    bool setMainVolume(long) override { return true; }
    bool playEffect(int, const std::string&, long) override { return false; }
};

class NoResources : public Resources {
public:
    [[nodiscard]] std::optional<std::string> bytes(int, std::string_view) const override { return std::nullopt; }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    win32::Win32Clock clock;
    win32::Win32Socket socket;
    win32::Win32Process process;
    win32::Win32Codec codec;
    win32::Win32Ini ini(codec);
    win32::Win32Files files;
    win32::Win32Hall hall;
    SilentSound sound;
    NoResources resources;
    win32::StandInComponents components(process);
    Platform platform{clock, socket, process, codec, ini, files, hall, sound, resources, components};

    mj::link::Client client(platform);
    win32::FormHost host;
    host.attach(client.mainForm);
    client.formLoad();
    return clock.runMessageLoop();
}
