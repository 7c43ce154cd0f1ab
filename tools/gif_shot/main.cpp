// gif_shot: starts the client's table on the Win32 platform without a server,
// lays a hand's wall and plays the consecutive-wild animation (resource 420)
// on `bombPlayer` as the client does, then paints the window with the window
// host into BMP files: the animation's first frame, and a later frame once the
// control's own timer has moved it on. Fails when the animation does not show
// over the table or never moves.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "link/client.h"
#include "link/picture_resources.h"
#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_picture_decoder.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_resources.h"
#include "table/hand_start_shows.h"

namespace {

using namespace mj::platform;
using Pixels = std::vector<std::uint32_t>;

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

bool writeBmp(const std::string& path, int w, int h, const Pixels& px) {
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

Pixels render(mj::link::Client& client, int w, int h) {
    Pixels px(static_cast<std::size_t>(w) * h);
    win32::FormHost::render(client.mainForm, w, h, px.data());
    return px;
}

// The share of pixels inside the control's rectangle (window pixels) that
// differ between two paintings of the window.
double changedShare(const mj::ui::Control& ctl, int w, const Pixels& a, const Pixels& b) {
    const int x0 = static_cast<int>(ctl.left()), y0 = static_cast<int>(ctl.top());
    const int x1 = x0 + static_cast<int>(ctl.width()), y1 = y0 + static_cast<int>(ctl.height());
    int changed = 0, all = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x, ++all) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            if ((a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF)) ++changed;
        }
    }
    return all ? static_cast<double>(changed) / all : 0;
}

bool fail(const std::string& why) {
    std::fprintf(stderr, "gif_shot: %s\n", why.c_str());
    return false;
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

    // As the client plays it: the control in front, its background and the
    // control shown, resource 420 loaded, one pass.
    if (!client.bombPlayer) return fail("no bombPlayer");
    auto& bomb = *client.bombPlayer;
    mj::ui::Control* bg = client.mainForm.find("Img_bg");
    mj::ui::Control* view = client.mainForm.find("bombPlayer");
    const auto bytes = resources.bytes(mj::link::BombAnimationId, "GIF");
    if (!bg || !view || !bytes) return fail("no Img_bg, bombPlayer or resource 420");
    view->bringToFront();
    bg->setVisible(true);
    view->setVisible(true);
    const Pixels before = render(client, w, h);
    if (!bomb.loadAnimatedGifArray(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size())))
        return fail("resource 420 did not load");
    bomb.setLoops(1);
    const Pixels first = render(client, w, h);
    bool ok = writeBmp(prefix + "_frame1.bmp", w, h, first);

    // The picture the animation's own timer puts up next, waited for through
    // the window messages; the bound only keeps a broken timer from hanging.
    const mj::ui::PictureRef shownFirst = view->picture();
    for (int i = 0; i < 500 && view->picture() == shownFirst && bomb.action() == 1; ++i) clock.pumpEvents(Millis(10));
    if (view->picture() == shownFirst) ok = fail(prefix + ": the animation never moved on");
    const Pixels later = render(client, w, h);
    ok = writeBmp(prefix + "_later.bmp", w, h, later) && ok;

    // Frame 1 covers a good part of its square; the next frame differs.
    if (changedShare(*view, w, before, first) < 0.2) ok = fail(prefix + ": frame 1 barely shows over the table");
    if (changedShare(*view, w, first, later) < 0.01) ok = fail(prefix + ": the later frame looks like frame 1");

    // Nothing stays once the hand is reset.
    client.resetTableForHand(client);
    if (view->picture() || bomb.action() != 0) ok = fail(prefix + ": the hand reset left the animation");
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    bool ok = run(1024, 768, dir + "/bomb_1024x768");
    ok = run(800, 600, dir + "/bomb_800x600") && ok;
    return ok ? 0 : 1;
}
