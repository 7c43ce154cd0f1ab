// gif_shot: starts the client's table on the Win32 platform without a server,
// lays a hand's wall and plays the consecutive-wild animation (resource 420)
// on `bombPlayer` as the client does, then paints the window with the window
// host into BMP files: the animation's first frame, and a later frame once the
// control's own timer has moved it on. Fails when the animation does not show
// over the table or never moves.
#include <cstdio>
#include <span>
#include <string>

#include "link/picture_resources.h"
#include "shot_support/shot_table.h"

namespace {

using mj::platform::Millis;
using mj::shots::Pixels;

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
    mj::shots::ShotTable shot(w, h);
    shot.layWall();
    auto& client = shot.client;

    // As the client plays it: the control in front, its background and the
    // control shown, resource 420 loaded, one pass.
    if (!client.bombPlayer) return fail("no bombPlayer");
    auto& bomb = *client.bombPlayer;
    mj::ui::Control* bg = client.mainForm.find("Img_bg");
    mj::ui::Control* view = client.mainForm.find("bombPlayer");
    const auto bytes = shot.resources.bytes(mj::link::BombAnimationId, "GIF");
    if (!bg || !view || !bytes) return fail("no Img_bg, bombPlayer or resource 420");
    view->bringToFront();
    bg->setVisible(true);
    view->setVisible(true);
    const Pixels before = shot.render();
    if (!bomb.loadAnimatedGifArray(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size())))
        return fail("resource 420 did not load");
    bomb.setLoops(1);
    const Pixels first = shot.render();
    bool ok = mj::shots::writeBmp(prefix + "_frame1.bmp", w, h, first);

    // The picture the animation's own timer puts up next, waited for through
    // the window messages; the bound only keeps a broken timer from hanging.
    const mj::ui::PictureRef shownFirst = view->picture();
    for (int i = 0; i < 500 && view->picture() == shownFirst && bomb.action() == 1; ++i)
        shot.clock.pumpEvents(Millis(10));
    if (view->picture() == shownFirst) ok = fail(prefix + ": the animation never moved on");
    const Pixels later = shot.render();
    ok = mj::shots::writeBmp(prefix + "_later.bmp", w, h, later) && ok;

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
