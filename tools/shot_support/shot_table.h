// shot_table.h: the client's table on the Win32 platform without a server, for
// the screenshot tools: a launch line and a screen size of our choosing, no
// sound, painting into pixels and BMP files, and a hand's wall laid.
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/client.h"
#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_picture_decoder.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_resources.h"
#include "table/hand_start_shows.h"

namespace mj::shots {

using Pixels = std::vector<std::uint32_t>;

// The real process, but with a launch line and a screen of our choosing.
class ShotProcess : public platform::Process {
public:
    ShotProcess(platform::Process& real, platform::ScreenSize screen) : real_(real), screen_(screen) {}
    [[nodiscard]] std::string commandLine() const override { return "zhang$pw$127.0.0.1$1$四人麻将$9$$0$$$0$$$0$0$"; }
    [[nodiscard]] bool anotherInstanceRunning() override { return false; }
    [[nodiscard]] std::string programFolder() const override { return real_.programFolder(); }
    void messageBox(std::string_view text, std::string_view) override { log(text); }
    [[nodiscard]] platform::ScreenSize screenSize() const override { return screen_; }
    void openInBrowser(std::string_view address) override { log(address); }
    void log(std::string_view line) override { std::fprintf(stderr, "%.*s\n", int(line.size()), line.data()); }
    void openFolder(const std::string&) override {}
    [[noreturn]] void endProcess(int exitCode) override { std::exit(exitCode); }

private:
    platform::Process& real_;
    platform::ScreenSize screen_;
};

class Silent : public platform::SoundDevice {
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

inline bool writeBmp(const std::string& path, int w, int h, const Pixels& px) {
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = -h;  // top-down rows
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    ih.biCompression = BI_RGB;
    const DWORD bytes = static_cast<DWORD>(px.size() * 4);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + bytes;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::fwrite(px.data(), 1, bytes, f);
    return std::fclose(f) == 0;
}

// One client started on a w x h screen.
struct ShotTable {
    ShotTable(int width, int height) : w(width), h(height), process(realProcess, {width, height}) { client.formLoad(); }

    Pixels render() {
        Pixels px(static_cast<std::size_t>(w) * h);
        platform::win32::FormHost::render(client.mainForm, w, h, px.data());
        return px;
    }
    bool shoot(const std::string& path) { return writeBmp(path, w, h, render()); }

    // Four seated players and a hand's wall built, the compass facing the own seat.
    void layWall() {
        const char* names[4] = {"zhang", "李四", "王五", "赵六"};
        for (int v = 0; v < 4; ++v) {
            if (auto* nid = client.mainForm.find("Nid", v)) nid->setCaption(names[v]);
            if (auto* cash = client.mainForm.find("Cash", v)) cash->setCaption("金币: 12000");
        }
        client.table.custom[0].seat = 2;
        client.resetHandDisplay(client);
        client.resetTableForHand(client);
        table::showCompass(client);
        table::showWallBuilding(client);
    }

    int w, h;
    platform::win32::Win32Clock clock;
    platform::win32::Win32Socket socket;
    platform::win32::Win32Process realProcess;
    ShotProcess process;
    platform::win32::Win32Codec codec;
    platform::win32::Win32Ini ini{codec};
    platform::win32::Win32Files files;
    platform::win32::Win32Hall hall;
    Silent sound;
    platform::win32::Win32Resources resources;
    platform::win32::Win32PictureDecoder pictures;
    platform::win32::StandInComponents components{process};
    platform::Platform platform{clock, socket, process,   codec,    ini,       files,
                                hall,  sound,  resources, pictures, components};
    link::Client client{platform};
};

}  // namespace mj::shots
