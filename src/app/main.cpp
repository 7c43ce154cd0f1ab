// main.cpp: the Windows entry point: builds the Win32 platform, the client
// object and the window host, starts the client and runs the message loop.
#include <windows.h>

#include "link/client.h"
#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_picture_decoder.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_resources.h"
#include "platform/win32/win32_sound.h"

using namespace mj::platform;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    win32::Win32Clock clock;
    win32::Win32Socket socket;
    win32::Win32Process process;
    win32::Win32Codec codec;
    win32::Win32Ini ini(codec);
    win32::Win32Files files;
    win32::Win32Hall hall;
    win32::Win32SoundDevice sound;
    win32::Win32Resources resources;
    win32::Win32PictureDecoder pictures;
    win32::StandInComponents components(process);
    Platform platform{clock, socket, process, codec, ini, files, hall, sound, resources, pictures, components};

    mj::link::Client client(platform);
    win32::FormHost host;
    host.onHandlerError = [&client](const std::exception_ptr& e) {
        client.trapped("window event", [&e] { std::rethrow_exception(e); });
    };
    host.onFormChanged = [&components](const mj::ui::Form& form) { components.formChanged(form); };
    host.attach(client.mainForm);
    host.attach(*client.results.score);
    host.attach(*client.results.hero);
    client.shell.attachForm = [&host](mj::ui::Form& form) { host.attach(form); };
    client.shell.detachForm = [&host](mj::ui::Form& form) { host.detach(form); };
    client.formLoad();
    return clock.runMessageLoop();
}
