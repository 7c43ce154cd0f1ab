// table_shot: starts the client's table on the Win32 platform without a
// server, at 1024 x 768 and on an 800 x 600 screen, and paints it with the
// window host into BMP files: the empty table after start-up, and the table
// with the wall laid and the indicator tile turned.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "link/client.h"
#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_picture_decoder.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_resources.h"
#include "table/hand_reset.h"
#include "table/hand_start_shows.h"

namespace {

using namespace mj::platform;

// The real process, but with a launch line and a screen of our choosing.
class ShotProcess : public Process {
public:
    ShotProcess(Process& real, ScreenSize screen) : real_(real), screen_(screen) {}
    [[nodiscard]] std::string commandLine() const override { return "zhang$pw$127.0.0.1$1$四人麻将$9$$0$$$0$$$0$0$"; }
    [[nodiscard]] bool anotherInstanceRunning() override { return false; }
    [[nodiscard]] std::string programFolder() const override { return real_.programFolder(); }
    void messageBox(std::string_view text, std::string_view) override { log(text); }
    [[nodiscard]] ScreenSize screenSize() const override { return screen_; }
    void log(std::string_view line) override { std::fprintf(stderr, "%.*s\n", int(line.size()), line.data()); }
    [[noreturn]] void endProcess(int exitCode) override { std::exit(exitCode); }

private:
    Process& real_;
    ScreenSize screen_;
};

class Silent : public SoundDevice {
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

bool writeBmp(const std::string& path, int w, int h, const std::vector<std::uint32_t>& px) {
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

bool shoot(mj::link::Client& client, int w, int h, const std::string& path) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
    win32::FormHost::render(client.mainForm, w, h, px.data());
    return writeBmp(path, w, h, px);
}

bool run(int w, int h, const std::string& prefix) {
    win32::Win32Clock clock;
    win32::Win32Socket socket;
    win32::Win32Process realProcess;
    ShotProcess process(realProcess, {w, h});
    win32::Win32Codec codec;
    win32::Win32Ini ini(codec);
    win32::Win32Files files;
    win32::Win32Hall hall;
    Silent sound;
    win32::Win32Resources resources;
    win32::Win32PictureDecoder pictures;
    win32::StandInComponents components(process);
    Platform platform{clock, socket, process, codec, ini, files, hall, sound, resources, pictures, components};

    mj::link::Client client(platform);
    client.formLoad();
    bool ok = shoot(client, w, h, prefix + "_empty.bmp");

    // A hand starts: the wall is laid and built, the compass faces the own
    // seat, and the wild tile's command turns the indicator tile.
    const char* names[4] = {"zhang", "李四", "王五", "赵六"};
    for (int v = 0; v < 4; ++v) {
        if (auto* nid = client.mainForm.find("Nid", v)) nid->setCaption(names[v]);
        if (auto* cash = client.mainForm.find("Cash", v)) cash->setCaption("金币: 12000");
    }
    client.table.custom[0].seat = 2;
    client.resetHandDisplay(client);
    client.resetTableForHand(client);
    mj::table::showCompass(client);
    mj::table::showWallBuilding(client);
    client.table.wallStart = 40;
    client.table.indicatorOffset = 5;
    client.table.piziTile1 = 0x45;
    mj::table::turnIndicatorTile(client);
    ok = shoot(client, w, h, prefix + "_wall.bmp") && ok;
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    bool ok = run(1024, 768, dir + "/table_1024x768");
    ok = run(800, 600, dir + "/table_800x600") && ok;
    return ok ? 0 : 1;
}
